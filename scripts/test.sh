#!/usr/bin/env bash
# Installs what is missing, builds Pimrose under AddressSanitizer + UndefinedBehaviorSanitizer and runs
# every test; then builds the threaded parts under ThreadSanitizer and runs their tests again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test

export CTEST_PARALLEL_LEVEL=2
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"

cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
scripts/install-deps.sh bench && bench/run --quick --dry-run  # the benchmark suite still starts; measures nothing

cmake --preset tsan >/dev/null
cmake --build --preset tsan --target test_pictures
ctest --preset tsan
