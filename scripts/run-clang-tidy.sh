#!/usr/bin/env bash
# Runs clang-tidy (checks in .clang-tidy) over the libraries' sources in a build's
# compile_commands.json, two files at a time; fails on any finding.
# Usage: scripts/run-clang-tidy.sh [build-dir]   (default build/asan)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/asan}
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json: configure first" >&2; exit 2; }
command -v run-clang-tidy >/dev/null || { echo "run-clang-tidy is missing: scripts/install-deps.sh test" >&2; exit 2; }

# src/ only: generated sources (moc, resources) are not ours, and tests would double the time for
# little. The GCC options of a sanitizer build are fine for clang.
started=$(date +%s)
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
run-clang-tidy -p "$build" -j 2 -quiet "$(pwd)/src/" >"$log" 2>&1 || status=$?
grep -v -e '^clang-tidy' -e 'warnings\? generated\.$' -e '^Suppressed' -e '^Use -header-filter' "$log" || true
echo "clang-tidy: $(($(date +%s) - started)) s, $([ "$status" -eq 0 ] && echo clean || echo findings)"
exit "$status"
