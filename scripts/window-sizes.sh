#!/usr/bin/env bash
# The real window on three screens under Xvfb with a window manager: the size
# it opens at, clicks mapped through the scale (the option panel's gear, music
# row and close box, checked in the "option" file the game writes), a tile
# picked by a click, resizes to 700x1000, 1100x1600 and 700x700 (those the
# screen holds), and F11 to the whole screen and back: the same X window
# throughout, showing the picture whole each time.
# Screenshots of each step go to BUILD/window-sizes/ for people to look at.
set -euo pipefail
build=${1:-build}
source "$(dirname "$0")/scratch-run-folder.sh"
out="$root/$build/window-sizes"
rm -rf "$out"
mkdir -p "$out"

# screen, and the window size it should open at: scaled down, 1x, 2x.
for case in 1024x768:426x728 1920x1080:600x1024 3840x2160:1200x2048; do
  screen=${case%%:*}
  export SIZES_WORK="$work" SIZES_OUT="$out/$screen" SIZES_SCREEN="$screen" SIZES_OPEN="${case##*:}"
  mkdir -p "$SIZES_OUT"
  WINDOW_HELPERS="$(cd "$(dirname "$0")" && pwd)/window-helpers.sh" \
    xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
  set -euo pipefail
  cd "$SIZES_WORK"
  printf "\x01\x01" > option
  openbox >/dev/null 2>&1 & wm=$!
  sleep 1
  SDL_AUDIODRIVER=dummy ./swapsprint 2>/dev/null & pid=$!
  source "$WINDOW_HELPERS"
  fail() { echo "sizes $SIZES_SCREEN: $1"; kill $pid 2>/dev/null || true; kill $wm 2>/dev/null || true; exit 1; }
  wait_for_window $pid sizes || fail "no window"
  first=$wid
  # The window must never be replaced (a player dragging its edge would lose
  # it): after each change, the one window there is is still the first one.
  same_window() {
    sleep "$1"
    local ids
    ids=$(xdotool search --name "Swap & Sprint" | tr "\n" " ")
    [ "$ids" = "$first " ] || fail "$2: the window is now ${ids:-gone}, not $first"
  }
  size() { xdotool getwindowgeometry "$wid" | sed -n "s/.*Geometry: //p"; }
  shot() { import -window root "$SIZES_OUT/$1.png"; }
  # The picture whole in the window: every eighth of it, top to bottom, holds
  # the game'"'"'s many colours, and the bars beside or below it are one colour.
  whole() {
    import -window "$wid" "$SIZES_OUT/$1-window.png"
    python3 - "$SIZES_OUT/$1-window.png" "$(size)" "$1" <<PY || fail "$1: the picture is not whole"
import subprocess, sys
path, (w, h), label = sys.argv[1], map(int, sys.argv[2].split("x")), sys.argv[3]
if w * 1024 <= h * 600: sw, sh = w, w * 1024 // 600
else: sw, sh = h * 600 // 1024, h
x0, y0 = (w - sw) // 2, (h - sh) // 2
def colours(bw, bh, x, y):
    r = subprocess.run(["convert", f"{path}[{bw}x{bh}+{x}+{y}]", "-format", "%k", "info:"],
                       capture_output=True, text=True, check=True)
    return int(r.stdout)
bands = [colours(sw, sh // 8, x0, y0 + i * sh // 8) for i in range(8)]
bars = [colours(x0, h, 0, 0)] if x0 > 0 else [colours(w, y0, 0, 0)] if y0 > 0 else []
print(f"{label}: {w}x{h}, colours in each eighth {bands}, in the bars {bars}")
sys.exit(0 if min(bands) >= 16 and all(b == 1 for b in bars) else 1)
PY
  }
  # Resized to each of these sizes the screen holds, last to the one the
  # panel and F11 are checked at.
  resize() {
    [ "${1%x*}" -le "${SIZES_SCREEN%x*}" ] && [ "${1#*x}" -le "${SIZES_SCREEN#*x}" ] || return 0
    xdotool windowmove "$wid" 0 0 windowsize "$wid" "${1%x*}" "${1#*x}"
    same_window 1.5 "resized to $1"
    [ "$(size)" = "$1" ] || fail "resized to $(size), not $1"
    whole "5-resized-$1"
  }
  # Window point of client pixel (x, y): the picture fitted whole, centred.
  at() {
    python3 - "$(size)" "$1" "$2" <<PY
import sys
w, h = map(int, sys.argv[1].split("x")); gx, gy = int(sys.argv[2]), int(sys.argv[3])
if w * 1024 <= h * 600: sw, sh = w, w * 1024 // 600
else: sw, sh = h * 600 // 1024, h
print((w - sw) // 2 + (2 * gx + 1) * sw // 1200, (h - sh) // 2 + (2 * gy + 1) * sh // 2048)
PY
  }
  click() { xdotool mousemove --window "$wid" $(at "$1" "$2"); sleep 0.15; xdotool mousedown 1; sleep 0.05; xdotool mouseup 1; sleep 0.3; }
  # Gear, music row, close box: the panel opens, the music switch flips and
  # the file is written with it.
  panel_check() {
    local before after
    before=$(od -An -tx1 option | tr -d " \n")
    click 570 30
    shot "$1-panel"
    click 250 490
    click 388 470
    after=$(od -An -tx1 option | tr -d " \n")
    [ "$after" = "${before:0:2}$([ "${before:2:2}" = 01 ] && echo 00 || echo 01)" ] ||
      fail "$1: the clicks missed the panel (option $before, then $after)"
  }
  # Share of the pixels that differ between two shots of the window, in the
  # client box LEFT TOP W H (client pixels, mapped through the scale).
  changed() {
    python3 - "$1" "$2" "$(size)" "$3" "$4" "$5" "$6" <<PY
import subprocess, sys
w, h = map(int, sys.argv[3].split("x"))
if w * 1024 <= h * 600: sw, sh = w, w * 1024 // 600
else: sw, sh = h * 600 // 1024, h
s = sw / 600
left, top, bw, bh = (int(v) for v in sys.argv[4:8])
bw, bh = max(1, int(bw * s)), max(1, int(bh * s))
box = f"{bw}x{bh}+{(w - sw) // 2 + int(left * s)}+{(h - sh) // 2 + int(top * s)}"
r = subprocess.run(["compare", "-metric", "AE", "-fuzz", "8%", sys.argv[1] + "[" + box + "]",
                    sys.argv[2] + "[" + box + "]", "null:"], capture_output=True, text=True)
print(float(r.stderr.split()[0]) / (bw * bh))
PY
  }
  # The tile at column 2, row 5 before and after a click on it, as the window
  # shows it. A loaded machine can miss the whole-second ticks of the countdown, so
  # play may start late, and its banner vanish between the two pictures: try
  # again, after a click off the grid that drops any pick, until a click picks.
  tile_check() {
    local picked other try
    for try in $(seq 1 30); do
      click 100 1000
      import -window "$wid" "$SIZES_OUT/$1-before.png"
      click 196 791
      sleep 0.3
      import -window "$wid" "$SIZES_OUT/$1-picked.png"
      picked=$(changed "$SIZES_OUT/$1-before.png" "$SIZES_OUT/$1-picked.png" 164 759 64 64)
      other=$(changed "$SIZES_OUT/$1-before.png" "$SIZES_OUT/$1-picked.png" 371 552 64 64)
      python3 - "$picked" "$other" <<PY && { shot "$1-picked-screen"; return 0; }
import sys
picked, other = map(float, sys.argv[1:3])
print(f"tile picked: {picked:.0%} of its pixels changed, a tile elsewhere {other:.0%}")
sys.exit(0 if picked > 0.1 and other < picked / 2 else 1)
PY
      sleep 1
    done
    shot "$1-picked-screen"
    fail "$1: the tile was not picked"
  }

  same_window 2 "opened"
  [ "$(size)" = "$SIZES_OPEN" ] || fail "opened at $(size), not $SIZES_OPEN"
  shot 1-opened
  whole 1-opened
  panel_check 2
  click 40 20   # skip
  sleep 7       # the countdown, about four seconds on a machine keeping up
  shot 3-play
  tile_check 4

  for to in 700x1000 1100x1600 700x700; do resize $to; done
  shot 5-resized
  panel_check 6

  xdotool mousemove --window "$wid" 10 10
  xdotool key F11
  same_window 2 "F11"
  [ "$(size)" = "$SIZES_SCREEN" ] || fail "F11 gave $(size), not the whole $SIZES_SCREEN screen"
  shot 7-fullscreen
  whole 7-fullscreen
  tile_check 8-fullscreen
  xdotool key F11
  same_window 2 "F11 again"
  [ "$(size)" = "700x700" ] || fail "F11 again gave $(size), not the window of 700x700"
  shot 9-windowed
  whole 9-windowed

  xdotool windowclose "$wid"
  for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then fail "game did not exit"; fi
  status=0; wait $pid || status=$?
  kill $wm 2>/dev/null || true
  [ $status -eq 0 ] || { echo "sizes $SIZES_SCREEN: exit status $status"; exit 1; }
  echo "sizes $SIZES_SCREEN: opened at $SIZES_OPEN, clicks reach the panel and the tiles at every scale, resizes and F11 keep the one window $first, the picture whole"
'
done
echo "sizes: screenshots in $out"
