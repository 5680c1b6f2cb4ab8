#!/usr/bin/env bash
# The real game under Xvfb against hostile and unlucky files: one row per file
# kind and file. Each row starts the game in a scratch run folder, plays to
# the ranking where the row needs it, and checks that the game kept running,
# that the files are what they must be (the stored list byte for byte where
# it must not change), that its memory stayed bounded, and that closing the
# window ends it promptly.
#   hostile-files.sh [BUILD_DIR] [ROW...]      (rows by name; all by default)
# Run as root, the game runs as an unprivileged player, as a player would
# (root reads any file whatever its mode). The play music is left out of the
# scratch folders, so the runner leaves as soon as play ends; the rows about
# sounds use other sounds.
set -euo pipefail
build=${1:-build}
shift || true
root="$(cd "$(dirname "$0")/.." && pwd)"
case "$build" in /*) out="$build" ;; *) out="$root/$build" ;; esac
game="$out/game"
[ -x "$game/swapsprint" ] || { echo "hostile: build the game first (scripts/build.sh $build)"; exit 1; }

if [ -z "${HOSTILE_IN_X:-}" ]; then
  # One X server for every row; -ac lets the unprivileged player connect.
  HOSTILE_IN_X=1 exec xvfb-run -a -s "-ac -screen 0 1280x1100x24" "$0" "$build" "$@"
fi

player=()
if [ "$(id -u)" -eq 0 ]; then player=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi
memory_limit_kb=$((600 * 1024))  # far above the game's own 112 MB
results=()
scratches=()
trap 'for d in "${scratches[@]}"; do chmod -R u+rwX "$d" 2>/dev/null; rm -rf "$d"; done' EXIT

# ---- The run folder and the game

# $work: the binary, each picture and sound linked one by one (so a row can
# put something else in one's place), sound on, and a list of ten entries
# scored -1, so any score opens the name entry.
scratch() {
  outer=$(mktemp -d /tmp/swapsprint-hostile.XXXXXX)
  scratches+=("$outer")
  work="$outer/game"
  mkdir -p "$work/img" "$work/soundfile"
  for f in "$game"/img/*; do ln -s "$f" "$work/img/"; done
  for f in "$game"/soundfile/*; do [ "${f##*/}" = playbgm.mp3 ] || ln -s "$f" "$work/soundfile/"; done
  ln -s "$game/fonts" "$work/fonts"
  cp "$game/swapsprint" "$work/"
  printf '\x01\x01' >"$work/option"
  python3 -c 'import struct,sys; sys.stdout.buffer.write(struct.pack("<10ii", *[99]*10, -1) * 10)' >"$work/ranker.list"
  log="$outer/stderr"
  : >"$log"
}

# Hands the scratch folder to the player the game runs as.
own() { [ ${#player[@]} -eq 0 ] || chown -R -h 65534:65534 "$outer"; }

# Starts a game in $work; sets pid and wid (the pid's window).
start() {
  (cd "$work" && exec "${player[@]}" env SDL_AUDIODRIVER=dummy ./swapsprint) 2>>"$log" &
  pid=$!
  wid=""
  for _ in $(seq 1 100); do
    wid=$(xdotool search --all --pid "$pid" --name "Swap & Sprint" 2>/dev/null | head -n1 || true)
    [ -n "$wid" ] && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

alive() { kill -0 "$pid" 2>/dev/null; }
click() {
  xdotool mousemove --window "$wid" "$1" "$2"
  sleep 0.1
  xdotool mousedown 1
  sleep 0.05
  xdotool mouseup 1
  sleep 0.2
}
key() { xdotool windowfocus "$wid" 2>/dev/null || true; xdotool key --delay 100 "$1"; sleep 0.2; }

# The ranking saves its list as it opens: the list is replaced (a new inode),
# or its lock file appears, or the game says on stderr why it was not saved.
mark() {
  list_id=$(stat -c %i "$work/ranker.list" 2>/dev/null || echo none)
  said_lines=$(wc -l <"$log")
}
reached() {
  [ -e "$work/ranker.list.lock" ] || [ "$(stat -c %i "$work/ranker.list" 2>/dev/null || echo none)" != "$list_id" ] ||
    tail -n +$((said_lines + 1)) "$log" | grep -q 'ranker.list'
}

# Skips the intro and ends play at once (the debug key '1'), both again every
# two seconds, since a busy machine may lose a click on a window just shown;
# then waits for the ranking.
to_ranking() {
  mark
  sleep 1
  for i in $(seq 1 160); do
    reached && { sleep 1; return 0; }
    alive || return 1
    if [ $((i % 8)) -eq 1 ]; then
      click 40 20
      key 1
    fi
    sleep 0.25
  done
  return 1
}

# Clears the name, spells one glyph and confirms it. The clear comes first:
# a "1" sent to end play can land after the ranking opened, when it types.
enter_name() {
  click 418 795
  click $((75 + 50 * $1)) 385
  click 418 835
  sleep 1
}

peak_kb() { awk '/VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0; }

# Closes the window; the game must be gone within 3 s.
close_promptly() {
  xdotool windowclose "$wid" 2>/dev/null || true
  for _ in $(seq 1 30); do
    alive || { wait "$pid" 2>/dev/null || true; return 0; }
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
  return 1
}

# The names stored in a list (entries scored 0 or more), by their first
# glyph: "0 3" and so on; fails unless every other entry is one of the ten
# the list started with (letters empty, score -1): none was lost.
names_in() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
records = [struct.unpack_from("<10ii", data, 44 * i) for i in range(len(data) // 44)]
names = [str(r[0]) for r in records if r[10] >= 0]
old = [r for r in records if r[10] < 0]
ok = len(records) == 10 and all(r == tuple([99] * 10 + [-1]) for r in old)
print(" ".join(names) if ok else "a damaged list")
PY
}

fail() {
  problem="$1"
  return 1
}

# Plays the row's standard course: runs, reaches the ranking, enters glyph 3,
# stays within memory and closes promptly.
play_through() {
  start || fail "no window appeared" || return 1
  to_ranking || fail "never reached the ranking" || return 1
  enter_name 3
  alive || fail "stopped running" || return 1
  local peak
  peak=$(peak_kb)
  detail="peak $((peak / 1024)) MB"
  [ "$peak" -lt "$memory_limit_kb" ] || fail "peak memory $((peak / 1024)) MB" || return 1
  close_promptly || fail "did not close within 3 s" || return 1
}

said() { grep -q "$1" "$log" || fail "nothing said on stderr about $1"; }
# The list holds the names given (by first glyph) and all it held before.
stored() {
  local names
  names=$(names_in "${list:-$work/ranker.list}" | tr ' ' '\n' | sort | xargs)
  [ "$names" = "$*" ] || fail "the list holds: ${names:-no name}, not: $*"
}
same_bytes() { cmp -s "$1" "$2" || fail "$(basename "$1") changed"; }

# ---- The rows: file kind, file, what is checked.

row_baseline() {
  play_through && stored 3
}

row_png_49_bytes() {
  rm "$work/img/skip.png"
  python3 - "$work/img/skip.png" <<'PY'
import struct, sys, zlib
def chunk(kind, data): return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
head = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 80, 36, 8, 6, 0, 0, 0))
open(sys.argv[1], "wb").write(head + struct.pack(">I", 0x7FFFFFF0) + b"tEXtkey\0abcd")
PY
  play_through && stored 3 && said skip.png
}

row_png_truncated() {
  rm "$work/img/homebutton.png"
  head -c "$(($(stat -L -c %s "$game/img/homebutton.png") / 2))" "$game/img/homebutton.png" >"$work/img/homebutton.png"
  play_through && stored 3 && said homebutton.png
}

row_fifo_option() {
  rm "$work/option"
  mkfifo "$work/option"
  start || fail "no window appeared (blocked on the FIFO?)" || return 1
  sleep 1
  key Escape  # the option panel opens
  key Escape  # and closing it saves
  alive || fail "stopped running" || return 1
  [ -p "$work/option" ] || fail "the FIFO was replaced" || return 1
  close_promptly || fail "did not close within 3 s" || return 1
  said option
}

row_fifo_bmp() {
  rm "$work/img/bg.bmp"
  mkfifo "$work/img/bg.bmp"
  play_through && stored 3 && said bg.bmp
}

row_fifo_mp3() {
  rm "$work/soundfile/ranking.mp3"
  mkfifo "$work/soundfile/ranking.mp3"
  play_through && stored 3 && said ranking.mp3
}

row_dev_zero_sound() {
  rm "$work/soundfile/ranking.mp3"
  ln -s /dev/zero "$work/soundfile/ranking.mp3"
  play_through && stored 3 && said ranking.mp3
}

row_junk_200mb_tile() {
  rm "$work/img/block1.bmp"
  head -c 4096 /dev/urandom >"$work/img/block1.bmp"
  truncate -s 200M "$work/img/block1.bmp"
  play_through && stored 3 && said block1.bmp
}

row_bmp_16384_1bit() {
  rm "$work/img/bg.bmp"
  python3 - "$work/img/bg.bmp" <<'PY'
import struct, sys
side, stride = 16384, 2048
head = b"BM" + struct.pack("<IHHI", 62 + stride * side, 0, 0, 62)
head += struct.pack("<IiiHHIIiiII", 40, side, side, 1, 1, 0, stride * side, 2835, 2835, 2, 0) + b"\0\x80\0\0\xff\xff\xff\0"
with open(sys.argv[1], "wb") as f:
    f.write(head)
    f.truncate(62 + stride * side)
PY
  play_through && stored 3
}

row_unreadable_list() {
  cp "$work/ranker.list" "$outer/before"
  chmod 000 "$work/ranker.list"
  play_through || return 1
  chmod 644 "$work/ranker.list"
  same_bytes "$work/ranker.list" "$outer/before" && said ranker.list
}

row_dangling_link_list() {
  rm "$work/ranker.list"
  ln -s "$outer/unmounted/ranker.list" "$work/ranker.list"
  play_through || return 1
  [ -L "$work/ranker.list" ] && [ ! -e "$outer/unmounted" ] || fail "the link was replaced or followed" || return 1
  said ranker.list
}

row_planted_temp_links() {
  printf 'victim' >"$outer/victim"
  [ ${#player[@]} -eq 0 ] || chown 65534:65534 "$outer/victim"  # writable by the game, were it to follow a link
  local n
  for n in ranker.list.tmp option.tmp new.score.tmp; do ln -s "$outer/victim" "$work/$n"; done
  start || fail "no window appeared" || return 1
  # The game's own temporary names, now that its process id is known.
  for n in ranker.list option new.score; do ln -s "$outer/victim" "$work/$n.tmp.$pid"; done
  key Escape
  key Escape  # closing the panel saves the options
  to_ranking || fail "never reached the ranking" || return 1
  enter_name 3
  close_promptly || fail "did not close within 3 s" || return 1
  printf victim | cmp -s - "$outer/victim" || fail "a planted link was written through" || return 1
  stored 3
}

row_readonly_list() {
  cp "$work/ranker.list" "$outer/before"
  chmod 444 "$work/ranker.list"
  play_through || return 1
  same_bytes "$work/ranker.list" "$outer/before" || return 1
  [ "$(stat -c %a "$work/ranker.list")" = 444 ] || fail "the mode changed" || return 1
  said ranker.list
}

row_readonly_option() {
  chmod 444 "$work/option"
  start || fail "no window appeared" || return 1
  sleep 1
  key Escape
  click 250 490  # the music switch
  key Escape     # closing the panel saves the options
  alive || fail "stopped running" || return 1
  close_promptly || fail "did not close within 3 s" || return 1
  [ "$(od -An -tx1 "$work/option" | tr -d ' ')" = 0101 ] || fail "option changed" || return 1
  [ "$(stat -c %a "$work/option")" = 444 ] || fail "the mode changed" || return 1
  said option
}

row_readonly_folder() {
  cp "$work/ranker.list" "$outer/before"
  [ ${#player[@]} -eq 0 ] || chown -R -h 65534:65534 "$outer"
  chmod 555 "$work"
  play_through || return 1
  chmod 755 "$work"
  same_bytes "$work/ranker.list" "$outer/before" && said "not saved"
}

row_link_list() {
  mkdir "$outer/elsewhere"
  mv "$work/ranker.list" "$outer/elsewhere/ranker.list"
  own
  ln -s ../elsewhere/ranker.list "$work/ranker.list"
  play_through || return 1
  [ -L "$work/ranker.list" ] || fail "the link was replaced" || return 1
  list="$outer/elsewhere/ranker.list" stored 3
}

row_two_games() {
  start || fail "no first window" || return 1
  local pid_a=$pid wid_a=$wid
  start || fail "no second window" || return 1
  local pid_b=$pid wid_b=$wid
  xdotool windowmove "$wid_a" 0 0
  xdotool windowmove "$wid_b" 640 0
  sleep 0.5
  # One after the other to the ranking (the lock file, removed between them
  # while nobody holds it, tells when each is there); both then hold the list
  # they read, and each enters a name.
  pid=$pid_a wid=$wid_a
  to_ranking || fail "the first game never reached the ranking" || return 1
  rm -f "$work/ranker.list.lock"
  pid=$pid_b wid=$wid_b
  to_ranking || fail "the second game never reached the ranking" || return 1
  pid=$pid_a wid=$wid_a enter_name 0
  pid=$pid_b wid=$wid_b enter_name 1
  for p in "$pid_a:$wid_a" "$pid_b:$wid_b"; do
    pid=${p%%:*} wid=${p##*:}
    close_promptly || fail "a game did not close within 3 s" || return 1
  done
  stored 0 1
}

row_no_such_display() {
  local status=0
  (cd "$work" && DISPLAY=:298 timeout 10 ./swapsprint) 2>>"$log" || status=$?
  [ "$status" -ne 124 ] || fail "did not give up" || return 1
  [ "$status" -ne 0 ] || fail "exited with status 0" || return 1
  grep -q 'x11' "$log" || fail "SDL's reason not said: $(tail -n1 "$log")"
}

# Row name, file, kind.
table=(
  "baseline|-|the run folder as built"
  "png_49_bytes|img/skip.png|49-byte PNG: a chunk runs past the end"
  "png_truncated|img/homebutton.png|PNG cut in half"
  "fifo_option|option|FIFO"
  "fifo_bmp|img/bg.bmp|FIFO"
  "fifo_mp3|soundfile/ranking.mp3|FIFO"
  "dev_zero_sound|soundfile/ranking.mp3|link to /dev/zero"
  "junk_200mb_tile|img/block1.bmp|200 MB of junk"
  "bmp_16384_1bit|img/bg.bmp|16384 x 16384 1-bit BMP (32 MB)"
  "unreadable_list|ranker.list|no read permission"
  "dangling_link_list|ranker.list|link to nothing"
  "planted_temp_links|ranker.list, option, new.score|links planted at the temporary names"
  "readonly_list|ranker.list|read-only (444)"
  "readonly_option|option|read-only (444)"
  "readonly_folder|the run folder|read-only folder"
  "link_list|ranker.list|link to a list in another folder"
  "two_games|ranker.list, new.score|two games at once in one folder"
  "no_such_display|DISPLAY=:298|no X server there"
)

status=0
printf '%-20s | %-32s | %-40s | %s\n' row file kind result
for entry in "${table[@]}"; do
  IFS='|' read -r name file kind <<<"$entry"
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  scratch
  [ "$name" = readonly_folder ] || own
  problem=""
  detail=""
  pid=""
  began=$(date +%s)
  if "row_$name"; then
    result="ok"
  else
    result="FAILED: $problem"
    status=1
    import -window root "$out/hostile-$name.png" 2>/dev/null || true
  fi
  # A game the row left running (only ours: the id must still name the game).
  if [ -n "$pid" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = swapsprint ]; then kill -9 "$pid"; fi
  printf '%-20s | %-32s | %-40s | %s (%ss%s)\n' "$name" "$file" "$kind" "$result" $(($(date +%s) - began)) \
    "${detail:+, $detail}"
  # What the game said about it, once.
  grep -v XDG_RUNTIME_DIR "$log" | sort -u | head -n 3 | sed 's/^/      stderr: /' || true
done
exit $status
