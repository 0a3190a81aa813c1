#!/usr/bin/env bash
# The checks that take longer than a test run, for before a change lands: every other preset built
# whole (the release build at -O3, tests and benchmarks included, catches warnings the -O0 builds
# never see), clang-tidy over the sanitizer build's sources and the benchmark suite's dry run (it
# measures nothing, so the script cannot rot). Run scripts/test.sh first: this reuses its build/asan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test bench
[ -f build/asan/compile_commands.json ] || { echo "no build/asan: run scripts/test.sh first" >&2; exit 2; }
for preset in release debug tsan; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
scripts/run-clang-tidy.sh build/asan
bench/run --quick --dry-run --build-dir build/asan
