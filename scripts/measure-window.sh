#!/usr/bin/env bash
# The whole cost of showing frames: the real binary under Xvfb with a window
# manager, its CPU time and the X server's (both from /proc) divided by the
# frames shown, with a memcpy of one 600 x 1024 frame timed in the same
# session for scale. Frames are counted by a small preloaded library built
# here (present-hooks.c). Prints figures; asserts nothing.
#
#   - At 1x, the intro's last stage (after 20 s) and plain play with no input.
#     With a second build folder the two builds take turns, run by run, under
#     the same load.
#   - The scales other than 1x, with the option panel held open so every frame
#     draws the same frozen scene: 2x, scaled down on a small screen, and the
#     whole of a 4K screen (F11).
# usage: measure-window.sh [build folder] [seconds per case] [build folder to compare] [runs]
set -euo pipefail
build=${1:-build}
seconds=${2:-10}
other=${3:-}
runs=${4:-2}
root="$(cd "$(dirname "$0")/.." && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/frames.c" <<'C'
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>

/* Counts the frames shown; the count is read from a file at any moment,
   written aside and renamed so a reader never finds it half written. */
static long frames;
static void onPresent(void) {
    const char* out = getenv("FRAME_COUNT_OUT");
    char aside[4096];
    if (++frames % 10 != 0 || !out || snprintf(aside, sizeof aside, "%s.new", out) >= (int)sizeof aside) return;
    FILE* f = fopen(aside, "w");
    if (f && fprintf(f, "%ld\n", frames) > 0 && fclose(f) == 0) rename(aside, out);
}
#include "present-hooks.c"
C
cc -O2 -shared -fPIC -I "$root/scripts" -o "$work/frames.so" "$work/frames.c" -ldl
cat > "$work/copy.c" <<'C'
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
/* The least time of 200 copies of w x h 32-bit pixels, in microseconds. */
int main(int argc, char** argv) {
    size_t n = (size_t)atoi(argv[1]) * atoi(argv[2]) * 4;
    char* a = malloc(n); char* b = malloc(n);
    memset(a, 1, n); memset(b, 2, n);
    double best = 1e9;
    for (int i = 0; i < 200; ++i) {
        struct timespec s, e;
        clock_gettime(CLOCK_MONOTONIC, &s);
        memcpy(b, a, n);
        clock_gettime(CLOCK_MONOTONIC, &e);
        double us = (e.tv_sec - s.tv_sec) * 1e6 + (e.tv_nsec - s.tv_nsec) / 1e3;
        if (us < best) best = us;
        a[i] = b[n - 1 - i];
    }
    printf("%.1f\n", best);
    return 0;
}
C
cc -O2 -o "$work/copy" "$work/copy.c"

# A run folder per build: the binary beside links to its data.
folder() {
  mkdir "$work/$1"
  for d in img soundfile fonts; do ln -s "$2/$d" "$work/$1/$d"; done
  cp "$2/swapsprint" "$work/$1/"
}
# A build folder given relative to the project or absolute.
game_of() { echo "$(cd "$root" && cd "$1" && pwd)/game"; }
folder run "$(game_of "$build")"
[ -z "$other" ] || folder other "$(game_of "$other")"

# Run inside each Xvfb session: starts the window manager and the game
# (started), and measures CPU per frame over some seconds (per_frame LABEL).
cat > "$work/session.sh" <<'SH'
set -euo pipefail
cd "$MEASURE_WORK/$MEASURE_FOLDER"
printf "\x01\x01" > option
openbox >/dev/null 2>&1 & wm=$!
sleep 1
SDL_AUDIODRIVER=dummy FRAME_COUNT_OUT="$MEASURE_WORK/frames" LD_PRELOAD="$MEASURE_WORK/frames.so" \
  ./swapsprint 2>/dev/null & pid=$!
# The X server of this session: the Xvfb whose first argument is our display.
xpid=$(ps -C Xvfb -o pid=,args= | awk -v d="$DISPLAY" '$3 == d { print $1 }')
hz=$(getconf CLK_TCK)
ticks() { awk "{print \$14 + \$15}" /proc/$1/stat; }
wid=""
for i in $(seq 1 100); do
  wid=$(xdotool search --name "Swap & Sprint" 2>/dev/null | head -n1 || true)
  [ -n "$wid" ] && break
  sleep 0.1
done
stop() { kill $pid; wait $pid 2>/dev/null || true; kill $wm 2>/dev/null || true; }
# per_frame LABEL: "LABEL frames game_us xvfb_us memcpy_us", per frame
per_frame() {
  local t0 x0 f0 t1 x1 f1 copy
  copy=$("$MEASURE_WORK/copy" 600 1024)
  t0=$(ticks $pid); x0=$(ticks $xpid); f0=$(cat "$MEASURE_WORK/frames")
  sleep "$MEASURE_SECONDS"
  t1=$(ticks $pid); x1=$(ticks $xpid); f1=$(cat "$MEASURE_WORK/frames")
  local f=$(( f1 - f0 > 0 ? f1 - f0 : 1 ))
  echo "$1 $f $(( (t1 - t0) * 1000000 / hz / f )) $(( (x1 - x0) * 1000000 / hz / f )) $copy"
}
SH

# One game at 1x: the intro's last stage, then plain play.
one_game() {
  MEASURE_WORK="$work" MEASURE_FOLDER="$1" MEASURE_SECONDS="$seconds" \
    xvfb-run -a -s "-screen 0 1920x1080x24" bash -c '
    source "$MEASURE_WORK/session.sh"
    sleep 19                                               # the intro reaches its pulsing button
    per_frame intro
    xdotool mousemove --window "$wid" 457 515; sleep 0.1
    xdotool mousedown 1; sleep 0.05; xdotool mouseup 1     # play
    sleep 8                                                # past the countdown
    per_frame play
    stop'
}
show() {  # show BUILD-LABEL < lines of per_frame
  while read -r stage frames game xvfb copy; do
    awk -v b="$1" -v s="$stage" -v f="$frames" -v g="$game" -v x="$xvfb" -v c="$copy" -v t="$seconds" 'BEGIN {
      printf "%s, %s: %.0f frames/s; per frame %d us game + %d us Xvfb = %d us = %.1fx a %.0f us memcpy of the frame\n",
             b, s, f / t, g, x, g + x, (g + x) / c, c }'
  done
}
for run in $(seq 1 "$runs"); do
  echo "== run $run at 1x"
  one_game run | show "$build"
  [ -z "$other" ] || one_game other | show "$other"
done

# screen, keys pressed after the start, what that shows
echo "== other scales, the option panel open"
for case in "3840x2160::2x, each pixel repeated" "1024x768::0.71x" "3840x2160:F11:2.11x full screen"; do
  IFS=: read -r screen keys label <<<"$case"
  MEASURE_WORK="$work" MEASURE_FOLDER=run MEASURE_SECONDS="$seconds" MEASURE_KEYS="$keys" \
    xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
    source "$MEASURE_WORK/session.sh"
    sleep 2
    xdotool mousemove --window "$wid" 20 200
    [ -n "$MEASURE_KEYS" ] && xdotool key "$MEASURE_KEYS" && sleep 2
    size=$(xdotool getwindowgeometry "$wid" | sed -n "s/.*Geometry: //p")
    xdotool key Escape
    sleep 2
    per_frame "$size"
    stop' | show "$label"
done
