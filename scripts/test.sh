#!/usr/bin/env bash
# Sets up, builds and runs every test: the unit and harness suites, the real
# game in a window under Xvfb (what it plays checked for clipping, and against
# hostile files), the Debian packages (checked, unpacked and played), the suites
# again under AddressSanitizer and UndefinedBehaviorSanitizer, a short game
# under valgrind, a short fuzzing run of every file reader, and the game as a
# web page played in a real browser.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/setup.sh" --test

echo "== build"
"$root/scripts/build.sh" build -DSWAPSPRINT_TESTS=ON
echo "== unit and harness suites"
ctest --test-dir build --output-on-failure -j "$(nproc)"

echo "== review frames (screenshots of every scene, so the program cannot rot)"
"$root/scripts/review-frames.sh" build/review >/dev/null

echo "== smoke tests in a real window"
"$root/scripts/smoke.sh" build
"$root/scripts/smoke-loop.sh" build
"$root/scripts/window-sizes.sh" build
"$root/scripts/sound-check.sh" build

echo "== the real game against hostile and unlucky files"
"$root/scripts/hostile-files.sh" build

echo "== the Debian packages: lintian, metainfo, desktop entry, played from the package"
"$root/scripts/install-test.sh" build

echo "== suites under AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" build-asan -DSWAPSPRINT_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$(nproc)"

echo "== a short game under valgrind memcheck"
"$root/scripts/valgrind.sh" build

echo "== fuzzing the picture, score, option and text readers, 20 s each"
"$root/scripts/fuzz.sh" 20
echo "== the page in a real browser: built for the web, played in headless chromium"
"$root/scripts/web-test.sh"
echo "== all tests passed"
