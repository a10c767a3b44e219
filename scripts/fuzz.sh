#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a number of seconds (default 60).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
bash "$here/scripts/install-deps.sh"
build="$here/build-fuzz"
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILVANE_FUZZ=ON -DQUILVANE_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)"
for target in "$build"/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name="$(basename "$target")"
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  seeds="$here/fuzz/seeds/${name#fuzz_}"
  echo "== $name for ${seconds}s"
  if [ -d "$seeds" ]; then
    "$target" -max_total_time="$seconds" -rss_limit_mb=2048 "$corpus" "$seeds"
  else
    "$target" -max_total_time="$seconds" -rss_limit_mb=2048 "$corpus"
  fi
done
