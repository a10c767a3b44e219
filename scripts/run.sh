#!/usr/bin/env bash
# Builds Quilvane (Release) and starts it.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/install-deps.sh"
build="$here/build-release"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILVANE_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)"
exec "$build/app/quilvane" "$@"
