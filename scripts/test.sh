#!/usr/bin/env bash
# Installs what is missing, checks the layer order of the libraries and the formatting, builds
# Pimrose under AddressSanitizer + UndefinedBehaviorSanitizer and runs every test (unit, widget,
# end-to-end under Xvfb, the fuzz corpora's replays, the benchmark tools' own) while every fuzz target
# runs live for a few seconds in its own clang build beside them; then builds the threaded parts
# under ThreadSanitizer and runs their tests again. A stage that runs no test fails.
#
# The slower checks (clang-tidy, the benchmark suite's dry run) are in scripts/deep-check.sh: run it
# before landing a change.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test fuzz
scripts/check-layers.py
scripts/check-format.sh

export CTEST_PARALLEL_LEVEL=2
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
chmod 700 "$XDG_RUNTIME_DIR"

cmake --preset asan >/dev/null
cmake --build --preset asan

# Much of the test run waits (end-to-end steps, a file system that answers slowly), so the fuzz
# build and its smoke run use the cores meanwhile; both must pass.
mkdir -p build
fuzz/run smoke >build/fuzz-smoke.log 2>&1 &
fuzz_smoke=$!
tests_status=0
ctest --preset asan --no-tests=error || tests_status=$?
fuzz_status=0
wait "$fuzz_smoke" || fuzz_status=$?
cat build/fuzz-smoke.log
[ "$tests_status" -eq 0 ] || { echo "the tests failed" >&2; exit "$tests_status"; }
[ "$fuzz_status" -eq 0 ] || { echo "the fuzz smoke run failed" >&2; exit "$fuzz_status"; }

cmake --preset tsan >/dev/null
cmake --build --preset tsan --target test_thumbnails test_browsing test_system test_platform test_codecs test_ui \
  test_viewing test_commands test_app
ctest --preset tsan --no-tests=error
