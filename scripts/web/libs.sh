#!/usr/bin/env bash
# Builds the C libraries the page links, for WebAssembly, from their Debian
# source packages (apt-get source), each into a folder of the cache named
# after its source package version and emscripten's:
#   ${XDG_CACHE_HOME:-~/.cache}/swapsprint-web/<name>-<version>-em<emcc version>
# A library already there is not built again. Prints one line per library:
#   <name> <prefix folder>
# Nothing is fetched from anywhere but Debian's archive, and no emscripten
# port is used (they would be downloaded).
set -euo pipefail
jobs=${WEB_JOBS:-2}
cache=${XDG_CACHE_HOME:-$HOME/.cache}/swapsprint-web
mkdir -p "$cache"
emv=$(emcc -dumpversion 2>/dev/null | tr -d '\n')
[ -n "$emv" ] || { echo "libs: emcc does not run" >&2; exit 1; }

say() { echo "libs: $*" >&2; }

# The versions of a source package that the deb-src entries offer, newest
# first. An archive may list a version whose files it does not serve (seen
# with a security archive): the next one down is tried then.
source_versions() {
  apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -u |
    while read -r v; do
      n=0
      while read -r w; do dpkg --compare-versions "$w" gt "$v" && n=$((n + 1)); done \
        < <(apt-cache showsrc "$1" | sed -n 's/^Version: //p' | sort -u)
      echo "$n $v"
    done | sort -n | cut -d' ' -f2-
}

# apt-get source gives up when the archive lacks the upstream tarball's
# signature (an .asc seen missing here). The same files, each checked against
# the hash in the archive's signed index by apt's own downloader, are taken
# then, and the .asc let go; dpkg-source unpacks them and applies Debian's
# patches as apt-get source would.
fetch_without_signature() {
  local uri file size hash
  while read -r uri file size hash; do
    uri=${uri//\'/}
    /usr/lib/apt/apt-helper -qq download-file "$uri" "$PWD/$file" "$hash" >/dev/null 2>&1 ||
      case "$file" in *.asc) ;; *) echo "cannot fetch $file"; return 1 ;; esac
  done < <(apt-get source --print-uris -qq "$1=$2")
  dpkg-source --no-check -x ./*.dsc >/dev/null
}

# A library's recipe: its build function and the flags, so a change to either
# builds it again.
recipe() { { declare -f "build_$1"; echo "$CFLAGS_WEB"; } | sha256sum | cut -c1-8; }

# build NAME SOURCE-PACKAGE: runs build_NAME SRC PREFIX when the cache lacks it.
# Debian's patches are applied by dpkg-source as apt-get source unpacks.
build() {
  local name=$1 pkg=$2 versions ver prefix work src started
  versions=$(source_versions "$pkg")
  [ -n "$versions" ] || { say "no Debian source package $pkg (is there a deb-src entry? scripts/web/setup.sh adds one)"; exit 1; }
  for ver in $versions; do
    prefix="$cache/$name-${ver//:/_}-em$emv-$(recipe "$name")"
    if [ -f "$prefix/.built" ]; then
      echo "$name $prefix"
      declare -g "prefix_$name=$prefix"
      return 0
    fi
  done
  work="$cache/src/$name"
  src=""
  for ver in $versions; do
    rm -rf "$work" && mkdir -p "$work"
    if (cd "$work" && { apt-get source -qq "$pkg=$ver" >"$work/fetch.log" 2>&1 ||
                        fetch_without_signature "$pkg" "$ver" >>"$work/fetch.log" 2>&1; }); then
      src=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -1)
      break
    fi
    say "apt-get source $pkg=$ver failed; trying an older version"
  done
  [ -n "$src" ] || { cat "$work/fetch.log" >&2; say "no source of $pkg could be fetched"; exit 1; }
  prefix="$cache/$name-${ver//:/_}-em$emv-$(recipe "$name")"
  say "building $name $ver for the web"
  started=$SECONDS
  rm -rf "$prefix"
  # In the background so that set -e holds inside (it does not in a || list).
  ( set -e; "build_$name" "$src" "$prefix" ) >"$work/build.log" 2>&1 &
  if ! wait $!; then
    tail -40 "$work/build.log" >&2; say "building $name failed (log: $work/build.log)"; exit 1
  fi
  touch "$prefix/.built"
  rm -rf "$work"
  say "$name built in $((SECONDS - started)) s"
  echo "$name $prefix"
  declare -g "prefix_$name=$prefix"
}

# Built for size: what the page downloads before its first frame is mostly
# this code.
CFLAGS_WEB="-Os"

# zlib's own sources compiled as they stand (Debian's CMake file for it
# names sources the source package leaves out).
build_zlib() {
  mkdir -p "$2/lib" "$2/include" "$1/web"
  cp "$1/zconf.h.in" "$1/web/zconf.h"
  local f
  for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate \
           inftrees trees uncompr zutil; do
    emcc $CFLAGS_WEB -DHAVE_UNISTD_H -I"$1/web" -c "$1/$f.c" -o "$1/web/$f.o"
  done
  emar rcs "$2/lib/libz.a" "$1"/web/*.o
  cp "$1/zlib.h" "$1/web/zconf.h" "$2/include/"
}

build_png() {
  emcmake cmake -S "$1" -B "$1/web" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$2" \
    -DCMAKE_C_FLAGS="$CFLAGS_WEB" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF \
    -DZLIB_INCLUDE_DIR="$prefix_zlib/include" -DZLIB_LIBRARY="$prefix_zlib/lib/libz.a"
  cmake --build "$1/web" -j "$jobs" --target png_static
  mkdir -p "$2/lib" "$2/include"
  cp "$1/web/libpng16.a" "$2/lib/libpng.a"
  cp "$1/png.h" "$1/pngconf.h" "$1/web/pnglibconf.h" "$2/include/"
}

# FreeType on our zlib: its own copy would clash with it at the link. Only
# the modules our TrueType fonts use are registered, so the linker leaves
# out the other font formats.
build_freetype() {
  cat >"$1/include/freetype/config/ftmodule.h" <<'EOF'
FT_USE_MODULE( FT_Module_Class, autofit_module_class )
FT_USE_MODULE( FT_Driver_ClassRec, tt_driver_class )
FT_USE_MODULE( FT_Module_Class, sfnt_module_class )
FT_USE_MODULE( FT_Renderer_Class, ft_smooth_renderer_class )
FT_USE_MODULE( FT_Renderer_Class, ft_raster1_renderer_class )
EOF
  emcmake cmake -S "$1" -B "$1/web" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$2" \
    -DCMAKE_C_FLAGS="$CFLAGS_WEB" -DBUILD_SHARED_LIBS=OFF \
    -DFT_REQUIRE_ZLIB=ON -DZLIB_INCLUDE_DIR="$prefix_zlib/include" -DZLIB_LIBRARY="$prefix_zlib/lib/libz.a" \
    -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
  cmake --build "$1/web" -j "$jobs"
  cmake --install "$1/web"
}

# The page draws through the window's surface, on a 2D canvas: no renderer,
# no GL.
build_sdl2() {
  emcmake cmake -S "$1" -B "$1/web" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$2" \
    -DCMAKE_C_FLAGS="$CFLAGS_WEB" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF \
    -DSDL_PTHREADS=OFF -DSDL_THREADS=OFF -DSDL_HAPTIC=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF \
    -DSDL_LOCALE=OFF -DSDL_MISC=OFF \
    -DSDL_RENDER=OFF -DSDL_OPENGL=OFF -DSDL_OPENGLES=OFF -DSDL_HIDAPI=OFF
  cmake --build "$1/web" -j "$jobs"
  cmake --install "$1/web"
}

# SDL2_ttf is one C file over FreeType and SDL2.
build_sdl2ttf() {
  mkdir -p "$2/lib" "$2/include/SDL2"
  emcc $CFLAGS_WEB -c "$1/SDL_ttf.c" -o "$1/SDL_ttf.o" \
    -I"$prefix_sdl2/include/SDL2" -I"$prefix_freetype/include/freetype2"
  emar rcs "$2/lib/libSDL2_ttf.a" "$1/SDL_ttf.o"
  cp "$1/SDL_ttf.h" "$2/include/SDL2/"
}

# Only the decoding library, with the portable floating-point decoder.
# config.sub knows no emscripten: any wasm32 host tells configure it is a
# cross build.
build_mpg123() {
  (cd "$1" && emconfigure ./configure --host=wasm32-unknown-linux --disable-shared --enable-static \
     --with-cpu=generic_fpu --disable-modules --with-audio=dummy --with-default-audio=dummy \
     --disable-largefile CFLAGS="$CFLAGS_WEB" &&
   emmake make -j "$jobs" src/libmpg123/libmpg123.la)
  mkdir -p "$2/lib" "$2/include"
  cp "$1/src/libmpg123/.libs/libmpg123.a" "$2/lib/"
  cp "$1/src/libmpg123/mpg123.h" "$1/src/libmpg123/fmt123.h" "$2/include/"
}

build zlib zlib
build png libpng1.6
build freetype freetype
build sdl2 libsdl2
build sdl2ttf libsdl2-ttf
build mpg123 mpg123
