#!/usr/bin/env bash
# Builds the client and the tests, then runs the whole suite under a private
# Xvfb (GUI and browser tests need a real X server). Extra arguments go to ctest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
build="${TESK_BUILD_DIR:-$root/build}"
cd "$build"
export QTWEBENGINE_DISABLE_SANDBOX=1
# -noreset: the server must not reset whenever its last client leaves, or a
# test that connects at that moment finds no display.
exec xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp -noreset" \
  ctest --output-on-failure --timeout 600 -j 2 "$@"
