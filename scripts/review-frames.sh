#!/usr/bin/env bash
# Writes a screenshot of every scene and stage of one game (intro stages, the
# option panel, countdown, each obstacle with its talk box, highlighted tiles
# under the panel, play with obstacles and a combo, time-up, the runner's exit,
# name entry, the ranking's reveal over a full list) as PNG files for people to
# look at, and the contact sheet of every picture beside them:
# review-frames.sh [FOLDER] (default build/review). Headless, on the generated
# art; builds what it needs in build/ first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
out=${1:-build/review}
"$root/scripts/build.sh" build -DSWAPSPRINT_TESTS=ON >/dev/null
cmake --build build --target review_frames >/dev/null
mkdir -p "$out"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy build/tests/review_frames "$out"
cp build/contact-sheet.png "$out/contact-sheet.png"
echo "$out/contact-sheet.png"
