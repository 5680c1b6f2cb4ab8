#!/usr/bin/env bash
# The game as a web page.
#   web.sh          builds build-web/site/: index.html (with its loader),
#                   the program and the data as gzip-compressed packages,
#                   sw.js (kept for offline play), the manifest and icons
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

# 4. The data, as an installed game's (Paths.cpp): pictures, sounds and the
# three fonts, cut down to the letters the game's own texts use (Debian's
# Hangul face is 4.6 MB, the two others 1.4 MB). Packed by the moment the
# game needs them (pack.py), each package gzip-compressed, as are the
# program's two files: the page unpacks them as they arrive.
site=build-web/site
pack=build-web/pack
rm -rf "$pack" "$site" && mkdir -p "$site" "$pack/fonts"
cp -r build/game/img build/game/soundfile "$pack/"
python3 "$root/scripts/web/hangul.py" "$root/src" >"$pack/hangul.txt"
subset() {  # subset FONT OUT UNICODES [TEXT-FILE]
  python3 -m fontTools.subset "$1" ${4:+--text-file="$4"} --unicodes="$3" --layout-features='*' \
    --drop-tables+=TSI0,TSI1,TSI2,TSI3,TSI5,FFTM --output-file="$pack/fonts/$2" 2>&1 |
    { grep -v "timestamp seems very low" >&2 || true; }
}
latin=U+0020-007E,U+00A0-00FF,U+2010-2027,U+2190-2193
subset /usr/share/fonts/truetype/nanum/NanumGothicBold.ttf NanumGothicBold.ttf U+0020-007E "$pack/hangul.txt"
subset /usr/share/fonts/truetype/lato/Lato-Black.ttf Lato-Black.ttf "$latin"
subset /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf DejaVuSans.ttf "$latin"
rm "$pack/hangul.txt"
packages=$(python3 "$root/scripts/web/pack.py" "$pack" "$site")
for f in js wasm; do gzip -9nc "build-web/game/swapsprint.$f" >"$site/swapsprint-$f.pack"; done
size() { stat -c %s "$1"; }
# The build's version: its content, so an unchanged build keeps the kept copy.
version=$(cat "$site"/*.pack scripts/web/*.js scripts/web/index.html | sha256sum | cut -c1-16)
code=$(printf '{"js":{"url":"swapsprint-js.pack","bytes":%s,"size":%s},"wasm":{"url":"swapsprint-wasm.pack","bytes":%s,"size":%s}}' \
  "$(size "$site/swapsprint-js.pack")" "$(size build-web/game/swapsprint.js)" \
  "$(size "$site/swapsprint-wasm.pack")" "$(size build-web/game/swapsprint.wasm)")
table="{\"version\":\"$version\",\"code\":$code,\"packages\":$packages}"
theme='#2f8fd8'
python3 - "$root/scripts/web" "$site" "$table" "$version" "$theme" <<'PY'
import json, os, sys
src, site, table, version, theme = sys.argv[1:]
read = lambda name: open(os.path.join(src, name)).read()
packs = ["swapsprint-js.pack", "swapsprint-wasm.pack"] + [p["url"] for p in json.loads(table)["packages"]]
plain = ["", "manifest.webmanifest", "icon.png", "icon-192.png", "icon-512.png"]
files = {
    "index.html": read("index.html").replace("LOADER_SCRIPT", read("loader.js").replace("BUILD_TABLE", table)),
    # BUILD_VERSIONED before BUILD_VERSION, the name it begins with.
    "sw.js": read("sw.js").replace("BUILD_VERSIONED", json.dumps(packs)).replace("BUILD_VERSION", version)
                          .replace("BUILD_PLAIN", json.dumps(plain)),
    "manifest.webmanifest": read("manifest.webmanifest"),
}
for name, text in files.items():
    open(os.path.join(site, name), "w").write(text.replace("THEME_COLOUR", theme))
PY
# The icons: the generated one, and the sizes an installed page asks for.
cmake --build build --target icon-sizes -j "$jobs" >/dev/null
cp build/game/img/icon.png "$site/icon.png"
icons=$(mktemp -d)
build/packaging/icon-sizes build/game/img/icon.png "$icons" 192 512 >/dev/null
cp "$icons/192.png" "$site/icon-192.png" && cp "$icons/512.png" "$site/icon-512.png" && rm -r "$icons"

say "built $site in $((SECONDS - started)) s: $(du -sb "$site" | cut -f1) bytes as stored (version $version)"

if [ "$mode" = serve ]; then
  port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  say "serving on http://127.0.0.1:$port/ (Ctrl+C ends it)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
fi
