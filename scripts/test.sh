#!/usr/bin/env bash
# Installs what is missing, checks the layer order of the libraries, builds Pimrose under AddressSanitizer
# + UndefinedBehaviorSanitizer, runs clang-tidy over that build's compile commands and every test (the
# benchmark tools' own included), checks that the benchmark suite starts, runs every fuzz target
# briefly; then builds the threaded parts under ThreadSanitizer and runs their tests again. A stage
# that runs no test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test bench fuzz
scripts/check-layers.py

export CTEST_PARALLEL_LEVEL=2
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"

cmake --preset asan >/dev/null
cmake --build --preset asan
scripts/run-clang-tidy.sh build/asan
ctest --preset asan --no-tests=error
bench/run --quick --dry-run --build-dir build/asan  # the benchmark suite still starts; it measures nothing here
fuzz/run smoke  # every fuzz target for a few seconds (about 60 s in all), in its own clang build

cmake --preset tsan >/dev/null
cmake --build --preset tsan --target test_thumbnails test_browsing test_system test_platform
ctest --preset tsan --no-tests=error
