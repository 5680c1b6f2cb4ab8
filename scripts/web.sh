#!/usr/bin/env bash
# The game as a web page.
#   web.sh          builds build-web/site/: index.html, swapsprint.js and
#                   .wasm, and swapsprint.data (pictures, sounds and fonts)
#   web.sh serve    builds, then serves the site on localhost (Ctrl+C ends it)
# Everything comes from Debian: its emscripten, and the libraries built for
# the web from Debian's source packages (scripts/web/libs.sh, cached outside
# the repository by version, so later builds take seconds). The pictures and
# sounds are made by the native asset generator, as for the desktop game.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
mode=${1:-build}
case "$mode" in build|serve) ;; *) echo "usage: web.sh [build|serve]" >&2; exit 2 ;; esac
jobs=${WEB_JOBS:-2}
say() { echo "web: $*" >&2; }
started=$SECONDS

"$root/scripts/web/setup.sh"

# emcc runs on Debian's python3 and finds its node modules in Debian's folder,
# whatever else is first on PATH.
export PATH="/usr/bin:$PATH" NODE_PATH=/usr/share/nodejs
# Debian keeps emscripten's system libraries under /usr/share; a user who
# cannot write there gets a cache of their own (built once, slowly).
if [ ! -w /usr/share/emscripten/cache ]; then
  export EM_CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/swapsprint-web/emscripten-cache"
fi

# 1. The libraries, from Debian's sources.
prefixes=$("$root/scripts/web/libs.sh" | cut -d' ' -f2 | paste -sd';')

# 2. The pictures and sounds, made natively into build/game/.
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build build --target assets -j "$jobs" >/dev/null

# 3. The program.
if [ ! -f build-web/CMakeCache.txt ]; then
  emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DSWAPSPRINT_TESTS=OFF \
    -DSWAPSPRINT_HARDEN=OFF "-DSWAPSPRINT_WEB_PREFIXES=$prefixes" >/dev/null
else
  cmake -S . -B build-web "-DSWAPSPRINT_WEB_PREFIXES=$prefixes" >/dev/null
fi
cmake --build build-web --target swapsprint -j "$jobs"

# 4. The data, packed as an installed game's (Paths.cpp): pictures, sounds and
# the three fonts. The Hangul face is cut down to the letters the game's own
# texts use (Debian's font is 4.6 MB).
site=build-web/site
pack=build-web/pack
rm -rf "$pack" && mkdir -p "$site" "$pack/fonts"
cp -r build/game/img build/game/soundfile "$pack/"
cp /usr/share/fonts/truetype/lato/Lato-Black.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$pack/fonts/"
python3 "$root/scripts/web/hangul.py" "$root/src" >"$pack/hangul.txt"
python3 -m fontTools.subset /usr/share/fonts/truetype/nanum/NanumGothicBold.ttf --text-file="$pack/hangul.txt" \
  --unicodes=U+0020-007E --layout-features='*' --drop-tables+=TSI0,TSI1,TSI2,TSI3,TSI5 \
  --output-file="$pack/fonts/NanumGothicBold.ttf"
rm "$pack/hangul.txt"
# The packager reminds of a link option on every run (web.cmake sets it):
# its words are shown only when it fails.
if ! out=$(python3 /usr/share/emscripten/tools/file_packager.py "$site/swapsprint.data" \
  --preload "$pack@/swapsprint/share/swapsprint" --js-output="$site/data.js" --no-node 2>&1); then
  echo "$out" >&2; exit 1
fi
cp build-web/game/swapsprint.js build-web/game/swapsprint.wasm "$site/"
cp scripts/web/index.html "$site/"
cp build/game/img/icon.png "$site/icon.png"

# What a browser downloads, each file compressed as a server would send it.
total=0
for f in "$site"/*; do total=$((total + $(gzip -9c "$f" | wc -c))); done
say "built $site in $((SECONDS - started)) s: $(du -sb "$site" | cut -f1) bytes, $total bytes gzip-compressed"

if [ "$mode" = serve ]; then
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  say "serving on http://127.0.0.1:$port/ (Ctrl+C ends it)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
fi
