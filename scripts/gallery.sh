#!/usr/bin/env bash
# Builds the control gallery and runs it under a virtual X display: one picture of each visible
# control goes into the folder given (build-gallery/shots when none).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/install-deps.sh"
build="$here/build-gallery"
shots="${1:-$build/shots}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILVANE_TESTS=ON
cmake --build "$build" --parallel "$(nproc)" --target quilvane_gallery
xvfb-run -a -s "-screen 0 1024x768x24" "$build/gallery/quilvane_gallery" "$shots"
