#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
# GUI tests run on Qt's offscreen platform, so no display is needed.
#
#   bash scripts/run-tests.sh             # the RelWithDebInfo build in ./build
#   bash scripts/run-tests.sh --sanitize  # AddressSanitizer and UBSan, in ./build-sanitize
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
if [ "${1:-}" = "--sanitize" ]; then
  build="${ORTHOVANE_SANITIZE_BUILD_DIR:-build-sanitize}"
  # Debug keeps the reports readable; the application itself is not needed for the tests.
  ORTHOVANE_BUILD_DIR="$build" bash scripts/configure.sh -DCMAKE_BUILD_TYPE=Debug -DORTHOVANE_SANITIZE=ON
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
else
  build="${ORTHOVANE_BUILD_DIR:-build}"
  bash scripts/configure.sh
fi
cmake --build "$build" -j2
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 600
