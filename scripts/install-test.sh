#!/usr/bin/env bash
# The game as a distribution ships it. Builds the Debian packages as a packager
# would (build-deb/: prefix /usr, the game in /usr/games, its data in
# /usr/share/games/swapsprint), checks them with lintian (no error or warning),
# appstreamcli and desktop-file-validate, unpacks them into a temporary root
# and plays the game from there under Xvfb with a temporary home: its window
# class must be the desktop entry's, and the player's files must land in the
# player's own folder, never in the working folder. Last, a plain
# `cmake --install` of build folder BUILD (default build) into another prefix
# must find its data too.
set -euo pipefail
build=${1:-build}
root="$(cd "$(dirname "$0")/.." && pwd)"
deb="$root/build-deb"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "install: $*"; exit 1; }

cmake -S "$root" -B "$deb" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_INSTALL_BINDIR=games -DSWAPSPRINT_INSTALL_DATADIR=share/games/swapsprint \
  -DSWAPSPRINT_TESTS=OFF >/dev/null
cmake --build "$deb" -j "$(nproc)" >/dev/null
rm -f "$deb"/*.deb
out=$(cd "$deb" && cpack -G DEB 2>&1) || { echo "$out"; fail "cpack failed"; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$deb/CMakeCache.txt")
debs=("$deb/swapsprint_${version}_amd64.deb" "$deb/swapsprint-data_${version}_all.deb")
for d in "${debs[@]}"; do [ -f "$d" ] || fail "no package $d"; done

echo "install: lintian"
lintian --allow-root --fail-on error,warning "${debs[@]}" || fail "lintian found errors or warnings"

unpacked="$work/root"
for d in "${debs[@]}"; do dpkg-deb -x "$d" "$unpacked"; done
app=io.github.swapsprint.SwapSprint
desktop="$unpacked/usr/share/applications/$app.desktop"
echo "install: desktop-file-validate, appstreamcli"
desktop-file-validate "$desktop"
# The metainfo, and the desktop entry and icons it names, as installed.
appstreamcli validate-tree --no-net "$unpacked"
for size in 16 22 24 32 48 64 128 256 512; do
  icon="$unpacked/usr/share/icons/hicolor/${size}x${size}/apps/$app.png"
  [ "$(identify -format %wx%h "$icon")" = "${size}x${size}" ] || fail "no ${size} px icon"
done
[ -z "$(find "$unpacked" -name '*.ttf' -o -name '*.otf')" ] || fail "the package carries fonts"

game="$unpacked/usr/games/swapsprint"
[ "$("$game" --version)" = "swapsprint $version" ] || fail "--version says $("$game" --version)"

# Plays the unpacked game: opens the option panel, turns the music off and
# closes the panel (the game saves "option"), then closes the window.
home="$work/home"
mkdir -p "$home" "$work/cwd"
export INSTALL_GAME="$game" INSTALL_HOME="$home" INSTALL_CWD="$work/cwd" INSTALL_ERR="$work/stderr"
export INSTALL_WMCLASS="$(sed -n 's/^StartupWMClass=//p' "$desktop")"
export WINDOW_HELPERS="$root/scripts/window-helpers.sh"
xvfb-run -a -s "-screen 0 1280x1100x24" env -u XDG_DATA_HOME HOME="$home" bash -c '
  set -euo pipefail
  cd "$INSTALL_CWD"
  SDL_AUDIODRIVER=dummy "$INSTALL_GAME" 2> "$INSTALL_ERR" & pid=$!
  source "$WINDOW_HELPERS"
  wait_for_window $pid install
  stop() { echo "install: $*"; kill $pid; exit 1; }
  player="$INSTALL_HOME/.local/share/swapsprint"
  [ "$(readlink -f /proc/$pid/cwd)" = "$(readlink -f "$player")" ] ||
    stop "the game runs in $(readlink -f /proc/$pid/cwd), not in $player"
  class=$(xprop -id "$wid" WM_CLASS | sed "s/.*= //")
  [ "$class" = "\"$INSTALL_WMCLASS\", \"$INSTALL_WMCLASS\"" ] ||
    stop "the window class is $class, the desktop entry says $INSTALL_WMCLASS"
  sleep 0.5
  xprop -id "$wid" -f _NET_WM_ICON 32c _NET_WM_ICON | grep -q "= 256, 256," || stop "the window has no icon"
  sleep 1
  xdotool key --delay 100 Escape
  sleep 0.3
  xdotool mousemove --window "$wid" 300 492; sleep 0.1
  xdotool mousedown 1; sleep 0.05; xdotool mouseup 1; sleep 0.3
  xdotool key --delay 100 Escape
  sleep 0.5
  xdotool windowclose "$wid"
  for i in $(seq 1 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
  if kill -0 $pid 2>/dev/null; then echo "install: game did not exit"; kill -9 $pid; exit 1; fi
  status=0; wait $pid || status=$?
  [ $status -eq 0 ] || { echo "install: exit status $status"; exit 1; }
'
player="$home/.local/share/swapsprint"
[ ! -s "$work/stderr" ] || { cat "$work/stderr"; fail "the game complained"; }
[ "$(od -An -tx1 "$player/option" | tr -d ' \n')" = 0100 ] ||
  fail "the player's option holds $(od -An -tx1 "$player/option"), not music off"
[ -z "$(ls -A "$work/cwd")" ] || fail "the game wrote into the working folder: $(ls -A "$work/cwd")"
[ -z "$(find "$player" -type l)" ] || fail "the player's folder holds links"

# A plain install into any prefix finds its data from the program's own path.
prefix="$work/prefix"
cmake --install "$root/$build" --prefix "$prefix" >/dev/null
bindir=$(sed -n 's/^CMAKE_INSTALL_BINDIR:PATH=//p' "$root/$build/CMakeCache.txt")
data=$("$prefix/$bindir/swapsprint" --help | sed -n 's/^Pictures and sounds: //p')
[ -d "$data/img" ] && [ -d "$data/soundfile" ] || fail "cmake --install: the game looks for its data in $data"
case "$data" in "$prefix"/*) ;; *) fail "cmake --install: data outside the prefix: $data" ;; esac

echo "install: packages clean, metainfo and desktop entry valid, played from the package with the" \
     "player's files in the player's folder, window class $INSTALL_WMCLASS"
