#!/usr/bin/env bash
# The game's command line and start-up folders, without a window (an unknown
# video driver makes the window fail right after the folders are settled):
# startup_test.sh BINARY DATA_FROM_BINARY VERSION
set -euo pipefail
binary=$1 from_binary=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() {  # check WHAT COMMAND...
  local what=$1; shift
  if ! "$@"; then
    echo "startup test: $what"; sed 's/^/  | /' "$work/err"; failures=$((failures + 1))
  fi
}
# start FOLDER_OF_BINARY [ENV...]: runs the copy there from $work/cwd.
start() {
  local dir=$1; shift
  mkdir -p "$dir" "$work/cwd"
  [ -x "$dir/swapsprint" ] || cp "$binary" "$dir/swapsprint"
  code=0
  (cd "$work/cwd" && env -u XDG_DATA_HOME HOME="$work/home" SDL_VIDEODRIVER=none SDL_AUDIODRIVER=dummy \
     "$@" "$dir/swapsprint" > "$work/out" 2> "$work/err") || code=$?
}
bytes() { od -An -tx1 "$1" 2>/dev/null | tr -d ' \n'; }
says() { grep -qF -- "$1" "$work/err"; }

"$binary" --help > "$work/out" 2> "$work/err" && code=0 || code=$?
check "--help exits 0 with a usage line" [ $code -eq 0 ]
check "--help shows the usage" grep -q '^Usage: swapsprint' "$work/out"
"$binary" --version > "$work/out" 2> "$work/err" && code=0 || code=$?
check "--version prints the version" [ $code -eq 0 -a "$(cat "$work/out")" = "swapsprint $version" ]
"$binary" --bogus > "$work/out" 2> "$work/err" && code=0 || code=$?
check "an unknown option exits 2" [ $code -eq 2 ]
check "an unknown option is named" says "unknown option '--bogus'"

# A binary with no data anywhere: both places named once, nothing written.
start "$work/lonely/bin"
check "says where it looked" says "neither in $work/lonely/bin nor in "
check "names the picture folder tried" says "cannot read the picture folder $work/lonely/bin/img ("
check "reports once" [ "$(grep -c 'picture folder' "$work/err")" -eq 1 ]
check "writes nothing in the working folder" [ -z "$(ls -A "$work/cwd")" ]

# An installed layout: the player's folder is made and seeded with sound on.
bin="$work/prefix/bin"
data="$bin/$from_binary"
mkdir -p "$bin" "$data/img" "$data/soundfile"
start "$bin"
player="$work/home/.local/share/swapsprint"
check "no complaint when the data is there" [ -z "$(grep -v 'cannot open the game window' "$work/err")" ]
check "option seeded in the player's folder" [ "$(bytes "$player/option")" = 0101 ]
check "nothing in the working folder" [ -z "$(ls -A "$work/cwd")" ]
printf '\x00\x01' > "$player/option"
start "$bin"
check "the player's option is kept" [ "$(bytes "$player/option")" = 0001 ]
start "$bin" XDG_DATA_HOME="$work/xdg"
check "XDG_DATA_HOME moves the folder" [ "$(bytes "$work/xdg/swapsprint/option")" = 0101 ]
: > "$work/file"
start "$bin" HOME="$work/file"
check "an impossible folder is reported" says "$work/file is in the way"
check "and the working folder used" [ -z "$(ls -A "$work/cwd")" ]
rm -rf "$data/soundfile"
start "$bin"
check "a missing sound folder is named" says "cannot read the sound folder $(cd "$data" && pwd)/soundfile ("

[ $failures -eq 0 ] || { echo "startup test: $failures failed"; exit 1; }
echo "startup test: all cases passed"
