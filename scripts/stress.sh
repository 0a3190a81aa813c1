#!/usr/bin/env bash
# The stress run in full, apart from the test command (it takes minutes): a 100,000-picture tree of
# hard links dropped on a release Pimrose on a private Xvfb, then 1,000 slider changes and 100 more
# drops in quick succession. Fails on a crash, a sanitizer report, peak memory over the budget, a UI
# stall over 100 ms or a wrong thumbnail on screen; prints one STRESS line with what it measured.
#   scripts/stress.sh [PRESET]   the CMake preset to build and run (release unless named: asan, debug)
# STRESS_PICTURES, STRESS_SLIDER_CHANGES, STRESS_DROPS, STRESS_PEAK_MB and STRESS_MAX_STALL_MS
# change the sizes and limits.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-release}
scripts/install-deps.sh build test
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target pimrose pimrose_drag_source
exec bash tests/e2e/stress/stress_run.sh "build/$preset/src/pimrose" "build/$preset/pimrose_drag_source"
