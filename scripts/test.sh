#!/usr/bin/env bash
# Installs what is missing, checks the layer order of the libraries and the formatting, builds
# Pimrose under AddressSanitizer + UndefinedBehaviorSanitizer and runs every test (unit, widget,
# end-to-end under Xvfb, the fuzz corpora's replays, the benchmark tools' own); then builds the
# threaded parts under ThreadSanitizer and runs their tests again. A stage that runs no test fails.
#
# The slower checks (clang-tidy, the benchmark suite's dry run, every fuzz target live) are in
# scripts/deep-check.sh: run it before landing a change.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
scripts/check-layers.py
scripts/check-format.sh

export CTEST_PARALLEL_LEVEL=2
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan --no-tests=error

cmake --preset tsan >/dev/null
cmake --build --preset tsan --target test_thumbnails test_browsing test_system test_platform
ctest --preset tsan --no-tests=error
