#!/usr/bin/env bash
# Installs what is missing, builds Pimrose under AddressSanitizer + UndefinedBehaviorSanitizer and runs
# every test (the benchmark tools' own included), checks that the benchmark suite starts; then builds the
# threaded parts under ThreadSanitizer and runs their tests again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test bench

export CTEST_PARALLEL_LEVEL=2
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
bench/run --quick --dry-run --build-dir build/asan  # the benchmark suite still starts; it measures nothing here

cmake --preset tsan >/dev/null
cmake --build --preset tsan --target test_pictures test_system
ctest --preset tsan
