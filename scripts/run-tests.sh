#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite.
# GUI tests run on Qt's offscreen platform, so no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/configure.sh
build="${ORTHOVANE_BUILD_DIR:-build}"
cmake --build "$build" -j2
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 600
