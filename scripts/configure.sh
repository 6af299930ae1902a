#!/usr/bin/env bash
# Configures the build tree in ./build (or $ORTHOVANE_BUILD_DIR) once; later runs reuse it.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${ORTHOVANE_BUILD_DIR:-build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
