#!/usr/bin/env bash
# Installs what is missing, builds the application and starts it with an untitled document
# (the model house in four views). Arguments are passed on: project files to open.
# Without a desktop (neither DISPLAY nor WAYLAND_DISPLAY set) it runs on a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/configure.sh
build="${ORTHOVANE_BUILD_DIR:-build}"
cmake --build "$build" -j2 --target orthovane
app="$build/src/app/orthovane"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$app" "$@"
fi
echo "No display: Orthovane runs on a virtual X server (xvfb-run) until you press Ctrl+C." >&2
exec xvfb-run -a -s "-screen 0 1600x1000x24" "$app" "$@"
