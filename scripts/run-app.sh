#!/usr/bin/env bash
# Installs what is missing, builds the application and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/configure.sh
build="${ORTHOVANE_BUILD_DIR:-build}"
cmake --build "$build" -j2 --target orthovane
exec "$build/src/app/orthovane" "$@"
