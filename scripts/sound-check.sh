#!/usr/bin/env bash
# What the player hears, checked for clipping. The real game runs under Xvfb
# with SDL's disk audio driver, which writes every mixed sample to a file; a
# busy stretch of play (drags that swap tiles into combos and clears, the
# debug key '0' throwing obstacles at the runner so it jumps) is played with
# xdotool, and the file is read back: not one sample may sit at full scale,
# and the peak must stay under the mixer's limiter, which would otherwise have
# had to act. Also prints the loudness and peak of every sound the game plays
# (the SoundLevels test). usage: sound-check.sh [build folder] [seconds of play]
set -euo pipefail
build=${1:-build}
seconds=${2:-25}
source "$(dirname "$0")/scratch-run-folder.sh"

echo "== the generated sounds, as the game decodes them"
"$root/$build/tests/test_assetgen" --gtest_filter='SoundLevels.*' --gtest_brief=1 | grep -v '^\(Running\|Note\|\[\)' || true

export CHECK_WORK="$work" CHECK_SECONDS="$seconds" CHECK_SHOT="$root/$build/sound-check.png"
WINDOW_HELPERS="$(cd "$(dirname "$0")" && pwd)/window-helpers.sh" xvfb-run -a -s "-screen 0 1280x1100x24" bash -c '
  set -euo pipefail
  cd "$CHECK_WORK"
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$CHECK_WORK/heard.raw" ./swapsprint 2>"$CHECK_WORK/stderr.txt" & pid=$!
  source "$WINDOW_HELPERS"
  wait_for_window $pid sound-check
  sleep 1.5
  xdotool mousemove --window "$wid" 40 20 mousedown 1 sleep 0.05 mouseup 1   # skip the intro
  sleep 5                                                                   # the countdown; the music starts
  # The grid: 8 x 8 cells of about 70 pixels from (21, 409). A drag of 40
  # pixels from a cell towards a neighbour asks for a swap; about one in six
  # random ones makes a line, often enough to build combos.
  drags=0 obstacles=0
  end=$(( $(date +%s) + CHECK_SECONDS ))
  while [ "$(date +%s)" -lt "$end" ]; do
    col=$(( RANDOM % 8 )) row=$(( RANDOM % 8 ))
    x=$(( 21 + col * 70 + 35 )) y=$(( 409 + row * 70 + 35 ))
    case $(( RANDOM % 4 )) in
      0) [ $col -lt 7 ] && dx=40 dy=0 || dx=-40 dy=0 ;;
      1) [ $col -gt 0 ] && dx=-40 dy=0 || dx=40 dy=0 ;;
      2) [ $row -lt 7 ] && dx=0 dy=40 || dx=0 dy=-40 ;;
      *) [ $row -gt 0 ] && dx=0 dy=-40 || dx=0 dy=40 ;;
    esac
    xdotool mousemove --window "$wid" $x $y mousedown 1 sleep 0.04 \
            mousemove --window "$wid" $(( x + dx )) $(( y + dy )) sleep 0.04 mouseup 1
    drags=$(( drags + 1 ))
    if [ $(( drags % 6 )) -eq 0 ]; then
      xdotool key 0
      obstacles=$(( obstacles + 1 ))
    fi
    sleep 0.08
  done
  import -window root "$CHECK_SHOT"
  xdotool key 1   # ends play: the score file is written
  sleep 1
  xdotool windowclose "$wid"
  for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then echo "sound-check: the game did not exit"; kill -9 $pid; exit 1; fi
  wait $pid || { echo "sound-check: the game failed"; cat "$CHECK_WORK/stderr.txt"; exit 1; }
  echo "sound-check: $drags drags, $obstacles obstacles thrown in $CHECK_SECONDS s of play"
'

python3 - "$work/heard.raw" "$work/new.score" <<'PY'
import array, math, struct, sys
samples = array.array("h")
with open(sys.argv[1], "rb") as f:
    samples.frombytes(f.read())
if sys.byteorder != "little":
    samples.byteswap()
rate = 44100
frames = len(samples) // 2
clipped = sum(1 for v in samples if v >= 32767 or v <= -32767)
peak = max((abs(v) for v in samples), default=0) / 32768
# The loudest 400 ms, and how much of the capture is sound at all.
window = int(0.4 * rate) * 2
loudest = 0.0
for at in range(0, max(len(samples) - window, 0) + 1, window // 4):
    chunk = samples[at:at + window]
    if chunk:
        loudest = max(loudest, sum(v * v for v in chunk) / len(chunk))
try:
    score = struct.unpack("<i", open(sys.argv[2], "rb").read(4))[0]
except (OSError, struct.error):
    score = -1
db = lambda v: 20 * math.log10(max(v, 1e-9))
print(f"sound-check: {frames / rate:.1f} s heard, score {score}; peak {db(peak):.1f} dBFS, "
      f"loudest 400 ms at {10 * math.log10(max(loudest, 1e-9) / 32768**2):.1f} dBFS RMS, {clipped} clipped samples")
failed = []
if clipped:
    failed.append(f"{clipped} samples at full scale")
if peak >= 0.89:
    failed.append("the peak reached the limiter's ceiling (-1 dBFS): the mix has no headroom")
if peak < 0.01:
    failed.append("nothing was heard")
if score <= 0:
    failed.append("play cleared nothing, so the stretch was not busy")
if failed:
    print("sound-check: FAILED: " + "; ".join(failed))
    sys.exit(1)
PY
