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
# The first free display number from 99 on, named so that the user can look at the screen.
display=99
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
# The display's key is kept in the build folder, where a screenshot tool can find it.
auth="$(pwd)/$build/xvfb.auth"
echo "No display: Orthovane runs on the virtual X display :${display} (xvfb-run) until you press Ctrl+C." >&2
echo "To see it: DISPLAY=:${display} XAUTHORITY=$auth import -window root shot.png" >&2
echo "           (import is ImageMagick's: apt-get install imagemagick)" >&2
exec xvfb-run -n "$display" -f "$auth" -s "-screen 0 1600x1000x24" "$app" "$@"
