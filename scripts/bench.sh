#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs them.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/install-deps.sh"
build="$here/build-bench"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILVANE_BENCH=ON -DQUILVANE_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)"
for b in "$build"/bench/bench_*; do if [ -f "$b" ] && [ -x "$b" ]; then "$b"; fi; done
