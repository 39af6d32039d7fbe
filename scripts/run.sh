#!/usr/bin/env bash
# Builds and starts the client from the program folder build/stage/. Uses the
# user's X display when there is one, otherwise a private Xvfb, so it also
# works on a headless machine. Arguments go to the client (e.g. -autostart).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
stage="${TESK_BUILD_DIR:-$root/build}/stage"
cd "$stage"
# The browser engine's sandbox is off for this program (and it cannot run as root).
export QTWEBENGINE_DISABLE_SANDBOX=1
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec ./tesk "$@"
fi
echo "No X display: running the client under a private Xvfb." >&2
exec xvfb-run -a -s "-screen 0 1920x1080x24" ./tesk "$@"
