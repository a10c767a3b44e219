#!/usr/bin/env bash
# Builds the shell tests as scripts/test.sh does and runs the main window's picture test under a
# virtual X display: main-window.png (two client files open) and open-file-dialog.png (the Open
# dialog marking a file held by another workstation) go into the folder given
# (build-tests/shell-shots when none).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$here/scripts/install-deps.sh"
build="${QUILVANE_TEST_BUILD:-$here/build-tests}"
shots="$(realpath -m "${1:-$build/shell-shots}")"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILVANE_SANITIZE=ON \
      -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" -DQUILVANE_TESTS=ON
cmake --build "$build" --parallel 3 --target quilvane_shell_tests
mkdir -p "$shots"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$here/tests/sanitizers/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=xcb
export QUILVANE_SHOT_DIR="$shots"
tests="$(find "$build/tests" -name quilvane_shell_tests -type f -perm -u+x | head -n 1)"
xvfb-run -a -s "-screen 0 1024x768x24" "$tests" --gtest_filter='MainWindowTest.TheMainWindowWithTwoFilesOpenIsPictured'
ls -l "$shots/main-window.png" "$shots/open-file-dialog.png"
