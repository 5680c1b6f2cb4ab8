#!/usr/bin/env bash
# Measures the real binary in a real window under Xvfb. Prints figures; asserts
# nothing.
#
#   - Start-up: from launch to the window's first paint (its background) and
#     to the first frame shown, for the game, for the
#     game without its sound files (music decoding is part of start-up), and
#     for a bare SDL window of the same size that paints one white frame: the
#     floor any SDL game pays here. The three are interleaved, run by run.
#   - CPU per frame: the process's CPU time (utime + stime from /proc, every
#     thread, the mixer's included) over some seconds divided by the frames
#     shown, with the intro's last stage on screen and in plain play with no
#     input; each also as a multiple of a memcpy of one 600 x 1024 frame,
#     measured in the same session.
#   - The heaviest frames: the main thread's CPU time of every frame, so the
#     frames that enter play and the ranking show what a player gets.
#   - The resident peak once every picture is loaded (intro, play, ranking).
#
# Frames are seen by a small preloaded library built here (the game itself
# stays as shipped): it hooks the present to the window (SDL's update of the
# window surface, in rectangles or whole; the puts and renderer presents of
# builds from before the window drew into that surface, for comparing), tells
# the window's background from its first frame (present-hooks.c), and notes
# the times of both and each frame's main-thread CPU time in a mapped file.
#
# With a second build folder (another version of the game, say the one before
# a change), its start-up is interleaved with the others run by run, and its
# whole game is measured right after this build's, under the same load.
# usage: measure-startup.sh [build folder] [runs] [build folder to compare]
set -euo pipefail
build=${1:-build}
runs=${2:-7}
root="$(cd "$(dirname "$0")/.." && pwd)"
game="$root/$build/game"
other=""
if [ -n "${3:-}" ]; then other="$(cd "$3" && pwd)/game"; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/frames.c" <<'C'
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

/* FIRST_PAINT_OUT gets the wall-clock time in nanoseconds of the window's
   first paint (its background, or else its first frame), FIRST_FRAME_OUT
   that of the first frame. FRAME_LOG, when set, is a mapped file: word 0
   counts presents, then per frame i the main thread's CPU nanoseconds since
   the previous present, at word 1 + i (the first 65536 frames). */
enum { kFrames = 65536 };
static uint64_t* frameLog;
static uint64_t lastCpu;

static uint64_t now(clockid_t clock) {
    struct timespec t;
    clock_gettime(clock, &t);
    return (uint64_t)t.tv_sec * 1000000000ull + (uint64_t)t.tv_nsec;
}

static void noteTime(const char* variable) {
    const char* out = getenv(variable);
    FILE* f = out ? fopen(out, "w") : NULL;
    if (f) {
        fprintf(f, "%llu\n", (unsigned long long)now(CLOCK_REALTIME));
        fclose(f);
    }
}

static int painted;
static void onBackground(void) {
    if (!painted) noteTime("FIRST_PAINT_OUT");
    painted = 1;
}

static void onPresent(void) {
    static int seen;
    if (!seen) {
        seen = 1;
        onBackground();
        noteTime("FIRST_FRAME_OUT");
        const char* log = getenv("FRAME_LOG");
        int fd = log ? open(log, O_RDWR | O_CREAT, 0644) : -1;
        if (fd >= 0 && ftruncate(fd, 8 * (kFrames + 1)) == 0) {
            void* m = mmap(NULL, 8 * (kFrames + 1), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (m != MAP_FAILED) frameLog = m;
        }
        if (fd >= 0) close(fd);
    }
    if (!frameLog) return;
    const uint64_t cpu = now(CLOCK_THREAD_CPUTIME_ID);
    const uint64_t n = frameLog[0];
    if (n < kFrames) frameLog[1 + n] = cpu - lastCpu;
    lastCpu = cpu;
    __atomic_store_n(&frameLog[0], n + 1, __ATOMIC_RELEASE);
}

#define WITH_BACKGROUND_HOOK
#include "present-hooks.c"
C
cc -O2 -shared -fPIC -I "$root/scripts" -o "$work/frames.so" "$work/frames.c" -ldl

# The bare window: opened as the game opens its own (same size, same hints),
# painted white once, then kept open until closed.
cat > "$work/bare.c" <<'C'
#include <SDL.h>
int main(void) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 1;
    SDL_Window* w = SDL_CreateWindow("Bare window", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                     600, 1024, SDL_WINDOW_SHOWN);
    if (!w) return 1;
    SDL_Surface* s = SDL_GetWindowSurface(w);
    SDL_FillRect(s, NULL, SDL_MapRGB(s->format, 255, 255, 255));
    SDL_UpdateWindowSurface(w);
    for (SDL_Event e;;) {
        if (SDL_WaitEvent(&e) && (e.type == SDL_QUIT ||
            (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE))) break;
    }
    SDL_DestroyWindow(w);
    SDL_Quit();
    return 0;
}
C
cc -O2 -o "$work/bare" "$work/bare.c" $(pkg-config --cflags --libs sdl2)

# One 600 x 1024 frame copied with memcpy: the median of many copies, once
# with both frames in the caches (copied again and again) and once from
# memory (64 MB walked over between copies, as a frame's own pictures do).
cat > "$work/memcpy.c" <<'C'
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
static int cmp(const void* a, const void* b) {
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}
enum { kBytes = 600 * 1024 * 4, kRuns = 200, kFlush = 64 << 20 };
static double median(char* a, char* b, char* flush) {
    double t[kRuns];
    for (int i = 0; i < kRuns; ++i) {
        if (flush) memset(flush, i, kFlush);
        struct timespec s, e;
        clock_gettime(CLOCK_MONOTONIC, &s);
        memcpy(i & 1 ? a : b, i & 1 ? b : a, kBytes);
        clock_gettime(CLOCK_MONOTONIC, &e);
        __asm__ volatile("" ::"r"(a), "r"(b) : "memory");
        t[i] = (e.tv_sec - s.tv_sec) * 1e6 + (e.tv_nsec - s.tv_nsec) / 1e3;
    }
    qsort(t, kRuns, sizeof t[0], cmp);
    return t[kRuns / 2];
}
int main(void) {
    char* a = malloc(kBytes);
    char* b = malloc(kBytes);
    char* flush = malloc(kFlush);
    memset(a, 1, kBytes);
    memset(b, 2, kBytes);
    printf("%.1f %.1f\n", median(a, b, NULL), median(a, b, flush));
    return 0;
}
C
cc -O2 -o "$work/memcpy" "$work/memcpy.c"

for variant in run quiet ${other:+other}; do
  from="$game"
  [ "$variant" = other ] && from="$other"
  mkdir "$work/$variant"
  for d in img fonts; do ln -s "$from/$d" "$work/$variant/$d"; done
  cp "$from/swapsprint" "$work/$variant/"
  printf '\x01\x01' > "$work/$variant/option"
done
ln -s "$game/soundfile" "$work/run/soundfile"   # "quiet" has no sound files
[ -z "$other" ] || ln -s "$other/soundfile" "$work/other/soundfile"

export MEASURE_WORK="$work" MEASURE_RUNS="$runs" MEASURE_OTHER="${other:+yes}"
xvfb-run -a -s "-screen 0 1280x1100x24" bash -c '
  set -euo pipefail
  export SDL_AUDIODRIVER=dummy
  hwm() { awk "/VmHWM/ {print int(\$2 / 1024)}" /proc/$1/status; }
  window() {
    for i in $(seq 1 100); do
      xdotool search --name "$1" 2>/dev/null | head -n1 && return
      sleep 0.05
    done
  }
  close() {
    xdotool windowclose "$2"
    for i in $(seq 1 50); do kill -0 $1 2>/dev/null || break; sleep 0.1; done
    wait $1 || true
  }
  # start-up NAME FOLDER COMMAND: milliseconds to the first paint of the
  # window (its background) and to its first frame, as "paint frame"
  startup() {
    local paint="$MEASURE_WORK/paint" out="$MEASURE_WORK/first" start pid
    rm -f "$out" "$paint"
    start=$(date +%s%N)
    # The game paints its background before its first frame; the bare
    # window paints only its frame.
    local background=1
    [ "$1" = bare ] && background=0
    (cd "$2" && FIRST_PAINT_OUT="$paint" FIRST_FRAME_OUT="$out" PRESENT_BACKGROUND_FIRST=$background \
       LD_PRELOAD="$MEASURE_WORK/frames.so" exec $3 2>/dev/null) & pid=$!
    for i in $(seq 1 1000); do [ -s "$out" ] && break; sleep 0.005; done
    [ -s "$out" ] || { echo "$1: no frame shown" >&2; kill $pid; exit 1; }
    kill -TERM $pid   # SDL turns it into a quit
    wait $pid || true
    echo $(( ($(cat "$paint") - start) / 1000000 )) $(( ($(cat "$out") - start) / 1000000 ))
  }
  median() { printf "%s\n" "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
  spread() { printf "%s\n" "$@" | sort -n | sed -n "1p;\$p" | paste -sd- ; }

  bare=(); paint=(); full=(); quietPaint=(); quiet=(); comparedPaint=(); compared=()
  for run in $(seq 1 "$MEASURE_RUNS"); do
    read -r _ b < <(startup bare "$MEASURE_WORK" "$MEASURE_WORK/bare"); bare+=("$b")
    read -r p f < <(startup game "$MEASURE_WORK/run" ./swapsprint); paint+=("$p"); full+=("$f")
    read -r p f < <(startup quiet "$MEASURE_WORK/quiet" ./swapsprint); quietPaint+=("$p"); quiet+=("$f")
    line="run $run: bare window $b ms; game painted ${paint[-1]} ms, first frame ${full[-1]} ms"
    line="$line; without sound files ${quietPaint[-1]} / ${quiet[-1]} ms"
    if [ -n "$MEASURE_OTHER" ]; then
      read -r p f < <(startup other "$MEASURE_WORK/other" ./swapsprint); comparedPaint+=("$p"); compared+=("$f")
      line="$line; compared build ${comparedPaint[-1]} / ${compared[-1]} ms"
    fi
    echo "$line"
  done
  b=$(median "${bare[@]}")
  # figures LABEL PAINTS... -- FRAMES...: medians, spreads and ratios
  figures() {
    local label=$1; shift
    local p=() f=()
    while [ "$1" != "--" ]; do p+=("$1"); shift; done; shift
    f=("$@")
    local mp mf
    mp=$(median "${p[@]}"); mf=$(median "${f[@]}")
    awk -v l="$label" -v b=$b -v p=$mp -v f=$mf -v sp="$(spread "${p[@]}")" -v sf="$(spread "${f[@]}")" \
      "BEGIN { printf \"%s: window painted %d ms (%s) = %.2fx the bare window; first frame %d ms (%s) = %.2fx\n\", l, p, sp, p / b, f, sf, f / b }"
  }
  echo "start-up, medians of $MEASURE_RUNS (best-worst): bare window $b ms ($(spread "${bare[@]}"))"
  figures "game" "${paint[@]}" -- "${full[@]}"
  figures "game without sound files" "${quietPaint[@]}" -- "${quiet[@]}"
  [ -z "$MEASURE_OTHER" ] || figures "compared build" "${comparedPaint[@]}" -- "${compared[@]}"

  # One game with the frame log: the intro to its last stage, play, the ranking.
  # whole_game FOLDER LABEL
  whole_game() {
  echo "== $2"
  cd "$1"
  python3 -c "
import struct
with open(\"ranker.list\", \"wb\") as f:
    for _ in range(10): f.write(struct.pack(\"<10ii\", *([99] * 10), -1))"
  log="$MEASURE_WORK/frames.log"
  rm -f "$log"
  FRAME_LOG="$log" PRESENT_BACKGROUND_FIRST=1 LD_PRELOAD="$MEASURE_WORK/frames.so" ./swapsprint & pid=$!
  wid=$(window "Swap & Sprint")
  frames() { python3 -c "import struct,sys; print(struct.unpack(\"<Q\", open(sys.argv[1], \"rb\").read(8))[0])" "$log"; }
  ticks() { awk "{print \$14 + \$15}" /proc/$1/stat; }
  hz=$(getconf CLK_TCK)
  read -r memcpy_us cold_us < <("$MEASURE_WORK/memcpy")
  # cpu-per-frame LABEL SECONDS
  cpu_per_frame() {
    local t0 f0 t1 f1
    t0=$(ticks $pid); f0=$(frames)
    sleep "$2"
    t1=$(ticks $pid); f1=$(frames)
    awk -v l="$1" -v t=$((t1 - t0)) -v f=$((f1 - f0)) -v hz=$hz -v m=$memcpy_us -v c=$cold_us -v s="$2" "BEGIN {
      us = t * 1e6 / hz / f
      printf \"%s: %d frames in %d s (%.1f per second), %.0f us of CPU per frame = %.1fx a memcpy of the frame in cache, %.1fx from memory\n\", l, f, s, f / s, us, us / m, us / c }"
  }
  echo "memcpy of one 600 x 1024 frame: $memcpy_us us in cache, $cold_us us from memory (medians of 200)"
  sleep 20                                               # the intro reaches its pulsing button
  cpu_per_frame "intro, last stage" 10
  entered_play=$(frames)
  xdotool mousemove --window "$wid" 457 515; sleep 0.1
  xdotool mousedown 1; sleep 0.05; xdotool mouseup 1     # play
  sleep 8                                                # past the countdown
  cpu_per_frame "plain play, no input" 10
  listed=$(stat -c %i ranker.list)
  xdotool key --delay 100 1                              # end play
  for i in $(seq 1 200); do
    sleep 0.5
    [ "$(stat -c %i ranker.list)" != "$listed" ] && break
  done
  [ "$(stat -c %i ranker.list)" != "$listed" ] || { echo "the ranking never opened"; kill $pid; exit 1; }
  sleep 2
  echo "resident peak with every picture loaded (intro, play, ranking): $(hwm $pid) MB"
  close $pid "$wid"
  python3 - "$log" "$entered_play" "$memcpy_us" "$cold_us" <<PY
import struct, sys
data = open(sys.argv[1], "rb").read()
n = min(struct.unpack("<Q", data[:8])[0], 65535)
cpu = [v / 1000 for v in struct.unpack("<%dQ" % n, data[8:8 + 8 * n])]
entered, memcpy, cold = int(sys.argv[2]), float(sys.argv[3]), float(sys.argv[4])
# Frame 0 is the whole start-up; the rest are frames of the game.
frames = cpu[1:]
top = sorted(range(len(frames)), key=lambda i: -frames[i])[:5]
print("main thread CPU per frame over %d frames: median %.0f us; heaviest: %s" % (
    len(frames), sorted(frames)[len(frames) // 2],
    ", ".join("frame %d %.0f us (%.1fx / %.1fx)" % (i + 1, frames[i], frames[i] / memcpy, frames[i] / cold) for i in top)))
play = max(range(entered, min(entered + 120, len(cpu))), key=lambda i: cpu[i])
print("entering play (frame %d): %.0f us = %.1fx a memcpy of the frame in cache, %.1fx from memory" % (
    play, cpu[play], cpu[play] / memcpy, cpu[play] / cold))
PY

  }
  whole_game "$MEASURE_WORK/run" "this build"
  [ -z "$MEASURE_OTHER" ] || whole_game "$MEASURE_WORK/other" "compared build"
'
