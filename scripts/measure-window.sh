#!/usr/bin/env bash
# CPU per frame of the real binary under Xvfb (with a window manager) at each
# way of showing the picture: 1x from memory shared with the X server, 2x
# copied straight into the window, and
# scaled through the renderer (scaled down on a small screen, the whole of a
# 4K screen). The option panel is held open so every frame draws the same
# frozen scene; the frames are counted by a small preloaded library built
# here, the CPU time read from /proc. A memcpy of each frame's window bytes is
# timed in the same run for scale. Prints figures; asserts nothing.
# usage: measure-window.sh [build folder] [seconds per case]
set -euo pipefail
build=${1:-build}
seconds=${2:-10}
root="$(cd "$(dirname "$0")/.." && pwd)"
game="$root/$build/game"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/frames.c" <<'C'
#define _GNU_SOURCE
#include <stdio.h>
#include <stdlib.h>

/* Counts the frames shown; the count is read from a file at any moment. */
static long frames;
static void onPresent(void) {
    const char* out = getenv("FRAME_COUNT_OUT");
    if (++frames % 10 != 0 || !out) return;
    FILE* f = fopen(out, "w");
    if (f) { fprintf(f, "%ld\n", frames); fclose(f); }
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
    printf("%.0f\n", best);
    return 0;
}
C
cc -O2 -o "$work/copy" "$work/copy.c"

mkdir "$work/run"
for d in img soundfile fonts; do ln -s "$game/$d" "$work/run/$d"; done
cp "$game/swapsprint" "$work/run/"

# screen, keys pressed after the start, what that shows
for case in "1920x1080::1x, shared memory" "3840x2160::2x, each pixel repeated" \
            "1024x768::0.71x, renderer" "3840x2160:F11:2.11x full screen, renderer"; do
  IFS=: read -r screen keys label <<<"$case"
  export MEASURE_WORK="$work" MEASURE_KEYS="$keys" MEASURE_SECONDS="$seconds"
  result=$(xvfb-run -a -s "-screen 0 ${screen}x24" bash -c '
    set -euo pipefail
    cd "$MEASURE_WORK/run"
    printf "\x01\x01" > option
    openbox >/dev/null 2>&1 & wm=$!
    sleep 1
    SDL_AUDIODRIVER=dummy FRAME_COUNT_OUT="$MEASURE_WORK/frames" LD_PRELOAD="$MEASURE_WORK/frames.so" \
      ./swapsprint 2>/dev/null & pid=$!
    sleep 2
    wid=$(xdotool search --name "Swap & Sprint" | tail -n1)
    xdotool mousemove --window "$wid" 20 200
    [ -n "$MEASURE_KEYS" ] && xdotool key "$MEASURE_KEYS" && sleep 2
    wid=$(xdotool search --name "Swap & Sprint" | tail -n1)
    size=$(xdotool getwindowgeometry "$wid" | sed -n "s/.*Geometry: //p")
    xdotool key Escape
    sleep 2
    ticks() { awk "{print \$14 + \$15}" /proc/$pid/stat; }
    t0=$(ticks); f0=$(cat "$MEASURE_WORK/frames")
    sleep "$MEASURE_SECONDS"
    t1=$(ticks); f1=$(cat "$MEASURE_WORK/frames")
    kill $pid; wait $pid 2>/dev/null || true
    kill $wm 2>/dev/null || true
    echo "$size $(( f1 - f0 )) $(( (t1 - t0) * 1000000 / $(getconf CLK_TCK) ))"
  ')
  read -r size frames cpu_us <<<"$result"
  w=${size%x*}; h=${size#*x}
  echo "$label (window $size): $(( frames / seconds )) frames/s, $(( cpu_us / (frames > 0 ? frames : 1) )) us CPU per frame; memcpy of a window frame $("$work/copy" "$w" "$h") us, of the 600x1024 picture $("$work/copy" 600 1024) us"
done
