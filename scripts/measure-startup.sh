#!/usr/bin/env bash
# Measures the real binary under Xvfb: the time from launch to the first frame
# shown, and the peak resident memory once every picture is loaded (after a
# whole game: intro, play, ranking). Prints figures; asserts nothing.
#
# The first frame is taken as the return of the first present to the window
# (SDL_UpdateWindowSurface, or SDL_RenderPresent for a scaled window), seen by
# a small preloaded library built here: the game itself stays as shipped.
# usage: measure-startup.sh [build folder] [runs]
set -euo pipefail
build=${1:-build}
runs=${2:-7}
root="$(cd "$(dirname "$0")/.." && pwd)"
game="$root/$build/game"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/firstframe.c" <<'C'
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

/* Writes the wall-clock time in nanoseconds, once, after the first present. */
static void mark(void) {
    static int seen;
    if (seen) return;
    seen = 1;
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    const char* out = getenv("FIRST_FRAME_OUT");
    FILE* f = out ? fopen(out, "w") : NULL;
    if (!f) return;
    fprintf(f, "%lld\n", (long long)t.tv_sec * 1000000000LL + t.tv_nsec);
    fclose(f);
}

void SDL_RenderPresent(void* renderer) {
    static void (*real)(void*);
    if (!real) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_RenderPresent");
    real(renderer);
    mark();
}

int SDL_UpdateWindowSurface(void* window) {
    static int (*real)(void*);
    if (!real) real = (int (*)(void*))dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface");
    int result = real(window);
    mark();
    return result;
}
C
cc -O2 -shared -fPIC -o "$work/firstframe.so" "$work/firstframe.c" -ldl

mkdir "$work/run"
for d in img soundfile fonts; do ln -s "$game/$d" "$work/run/$d"; done
cp "$game/swapsprint" "$work/run/"
printf '\x01\x01' > "$work/run/option"

export MEASURE_WORK="$work" MEASURE_RUNS="$runs"
xvfb-run -a -s "-screen 0 1280x1100x24" bash -c '
  set -euo pipefail
  cd "$MEASURE_WORK/run"
  export SDL_AUDIODRIVER=dummy
  hwm() { awk "/VmHWM/ {print int(\$2 / 1024)}" /proc/$1/status; }
  window() {
    for i in $(seq 1 100); do
      xdotool search --name "Swap & Sprint" 2>/dev/null | head -n1 && return
      sleep 0.05
    done
  }
  close() {
    xdotool windowclose "$2"
    for i in $(seq 1 50); do kill -0 $1 2>/dev/null || break; sleep 0.1; done
    wait $1 || true
  }

  times=()
  for run in $(seq 1 "$MEASURE_RUNS"); do
    out="$MEASURE_WORK/first.$run"
    start=$(date +%s%N)
    FIRST_FRAME_OUT="$out" LD_PRELOAD="$MEASURE_WORK/firstframe.so" ./swapsprint & pid=$!
    for i in $(seq 1 500); do [ -s "$out" ] && break; sleep 0.01; done
    [ -s "$out" ] || { echo "no frame shown"; kill $pid; exit 1; }
    ms=$(( ($(cat "$out") - start) / 1000000 ))
    times+=("$ms")
    echo "run $run: first frame after $ms ms, resident peak so far $(hwm $pid) MB"
    close $pid "$(window)"
  done
  sorted=$(printf "%s\n" "${times[@]}" | sort -n)
  echo "first frame: median $(echo "$sorted" | sed -n "$(( (MEASURE_RUNS + 1) / 2 ))p") ms," \
       "best $(echo "$sorted" | head -n1) ms, worst $(echo "$sorted" | tail -n1) ms"

  # Every picture: the intro, play and the ranking each load their own. Ten
  # entries scored -1 make any score open the name entry.
  python3 -c "
import struct
with open(\"ranker.list\", \"wb\") as f:
    for _ in range(10): f.write(struct.pack(\"<10ii\", *([99] * 10), -1))"
  ./swapsprint & pid=$!
  wid=$(window)
  listed=$(stat -c %i ranker.list)
  sleep 1.5
  xdotool mousemove --window "$wid" 40 20; sleep 0.1
  xdotool mousedown 1; sleep 0.05; xdotool mouseup 1   # skip
  sleep 8
  xdotool key --delay 100 1                            # end play
  for i in $(seq 1 200); do
    sleep 0.5
    [ "$(stat -c %i ranker.list)" != "$listed" ] && break
  done
  [ "$(stat -c %i ranker.list)" != "$listed" ] || { echo "the ranking never opened"; kill $pid; exit 1; }
  sleep 2
  echo "resident peak with every picture loaded (intro, play, ranking): $(hwm $pid) MB"
  close $pid "$wid"
'
