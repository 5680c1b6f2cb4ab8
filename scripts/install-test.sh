#!/usr/bin/env bash
# Installs the built game into a temporary prefix and runs the installed
# launcher under Xvfb with a temporary home: the first run prepares the
# player's data folder (links to the shared pictures, sounds and fonts, an
# "option" file with sound on) and starts the game there; a later run keeps
# the player's files; XDG_DATA_HOME moves the folder. Each run must open a
# window and exit 0 when it is closed.
set -euo pipefail
build=${1:-build}
root="$(cd "$(dirname "$0")/.." && pwd)"
prefix=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
fail() { echo "install: $*"; exit 1; }

cmake --install "$root/$build" --prefix "$prefix" >/dev/null

# The layout.
[ -x "$prefix/bin/swapsprint" ] || fail "no launcher in bin/"
[ -x "$prefix/libexec/swapsprint/swapsprint" ] || fail "no game binary in libexec/swapsprint/"
for d in img soundfile fonts; do
  [ -n "$(ls -A "$prefix/share/swapsprint/$d" 2>/dev/null)" ] || fail "share/swapsprint/$d is empty"
done
[ -e "$prefix/share/swapsprint/fonts/.stamp" ] && fail "the build's stamp was installed"
desktop="$prefix/share/applications/swapsprint.desktop"
[ -f "$desktop" ] || fail "no desktop entry"
grep -qx "Exec=\"$prefix/bin/swapsprint\"" "$desktop" || fail "the desktop entry does not start the launcher"
icon="$prefix/share/icons/hicolor/256x256/apps/swapsprint.png"
grep -qx "Icon=$icon" "$desktop" || fail "the desktop entry names another icon"
has_icon=0
if [ -f "$root/$build/game/img/icon.png" ]; then
  [ -f "$icon" ] || fail "no icon installed"
  has_icon=1
fi
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop"; fi

# Starts the installed launcher with the given environment, waits for the
# window, checks the game's working folder and, when there is an icon, the
# window's icon, then closes the window and wants exit status 0.
export INSTALL_PREFIX="$prefix" INSTALL_HOME="$home" INSTALL_HAS_ICON="$has_icon"
export WINDOW_HELPERS="$(cd "$(dirname "$0")" && pwd)/window-helpers.sh"
run_game() {
  local expect_dir=$1
  shift
  INSTALL_EXPECT_DIR="$expect_dir" xvfb-run -a -s "-screen 0 1280x1100x24" \
    env -u XDG_DATA_HOME HOME="$home" "$@" bash -c '
    set -euo pipefail
    SDL_AUDIODRIVER=dummy "$INSTALL_PREFIX/bin/swapsprint" & pid=$!
    source "$WINDOW_HELPERS"
    wait_for_window $pid install
    cwd=$(readlink -f /proc/$pid/cwd)
    [ "$cwd" = "$(readlink -f "$INSTALL_EXPECT_DIR")" ] ||
      { echo "install: the game runs in $cwd"; kill $pid; exit 1; }
    if [ "$INSTALL_HAS_ICON" = 1 ] && command -v xprop >/dev/null; then
      sleep 0.5
      xprop -id "$wid" -f _NET_WM_ICON 32c _NET_WM_ICON | grep -q "= 256, 256," ||
        { echo "install: the window has no icon"; kill $pid; exit 1; }
    fi
    sleep 1
    xdotool windowclose "$wid"
    for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
    if kill -0 $pid 2>/dev/null; then echo "install: game did not exit"; kill -9 $pid; exit 1; fi
    status=0; wait $pid || status=$?
    [ $status -eq 0 ] || { echo "install: exit status $status"; exit 1; }
  '
}

# Checks the data folder the launcher prepared.
check_prepared() {
  local data=$1 option=$2
  for d in img soundfile fonts; do
    [ -L "$data/$d" ] || fail "$data/$d is not a link"
    [ "$(readlink -f "$data/$d")" = "$(readlink -f "$prefix/share/swapsprint/$d")" ] ||
      fail "$data/$d points elsewhere"
  done
  [ "$(od -An -tx1 "$data/option" | tr -d ' \n')" = "$option" ] ||
    fail "$data/option holds $(od -An -tx1 "$data/option")"
}

data="$home/.local/share/swapsprint"
run_game "$data"
check_prepared "$data" 0101

# The player's own files stay as they are; a link left by an install
# elsewhere follows this one.
printf '\x00\x01' > "$data/option"
head -c 440 /dev/urandom > "$data/ranker.list"
cp "$data/ranker.list" "$home/ranker.kept"
mkdir -p "$home/old-prefix/img"
ln -sfn "$home/old-prefix/img" "$data/img"
run_game "$data"
check_prepared "$data" 0001
cmp -s "$data/ranker.list" "$home/ranker.kept" || fail "ranker.list changed on a later run"

# XDG_DATA_HOME, when absolute, decides where the folder is.
run_game "$home/xdg/swapsprint" XDG_DATA_HOME="$home/xdg"
check_prepared "$home/xdg/swapsprint" 0101

echo "install: installed layout, desktop entry, data folder prepared once and kept, three clean runs"
