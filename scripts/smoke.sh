#!/usr/bin/env bash
# Runs the real binary in a real window under Xvfb, checks that it draws, and
# that it exits with status 0 when the window is closed.
set -euo pipefail
build=${1:-build}
source "$(dirname "$0")/scratch-run-folder.sh"

export SMOKE_WORK="$work" SMOKE_OUT="$root/$build/smoke.png"
WINDOW_HELPERS="$(cd "$(dirname "$0")" && pwd)/window-helpers.sh" xvfb-run -a -s "-screen 0 1280x1100x24" bash -c '
  set -euo pipefail
  cd "$SMOKE_WORK"
  SDL_AUDIODRIVER=dummy ./swapsprint & pid=$!
  source "$WINDOW_HELPERS"
  wait_for_window $pid smoke
  sleep 2
  import -window root "$SMOKE_OUT"
  xdotool windowclose "$wid" 2>/dev/null || xdotool key --window "$wid" alt+F4
  for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then echo "smoke: game did not exit"; kill -9 $pid; exit 1; fi
  status=0; wait $pid || status=$?
  [ $status -eq 0 ] || { echo "smoke: exit status $status"; exit 1; }
'
# The screenshot must show something other than one flat colour.
colors=$(convert "$SMOKE_OUT" -format %k info:)
[ "$colors" -gt 1 ] || { echo "smoke: the window shows nothing"; exit 1; }
echo "smoke: window opened, drew ($colors colours) and closed cleanly"
