#!/usr/bin/env bash
# The stress run in small (scripts/stress.sh runs it in full): 5,000 pictures, 50 slider changes,
# 5 further drops. Usage: stress_smoke.sh PIMROSE_BINARY DRAG_SOURCE_BINARY
# The test command runs it on the AddressSanitizer build, whose shadow memory about quadruples the
# resident size (about 450 MiB where a debug build peaks near 55 MiB): the budget grows to match.
export STRESS_PICTURES=5000 STRESS_SLIDER_CHANGES=50 STRESS_DROPS=5 STRESS_PEAK_MB=1024
exec bash "$(dirname "$0")/stress/stress_run.sh" "$1" "$2"
