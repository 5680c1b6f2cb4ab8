#!/usr/bin/env bash
# Writes screenshots of the art in every scene (the title, the option panel over
# the countdown and over highlighted tiles, each obstacle with its talk box, the
# name entry and the ranking's reveal with a full list) as PNG files for people
# to look at, and the contact sheet of every picture beside them:
# review-art.sh [FOLDER] (default build/review). Headless, on the generated art;
# builds what it needs in build/ first.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
out=${1:-build/review}
"$root/scripts/build.sh" build -DSWAPSPRINT_TESTS=ON >/dev/null
cmake --build build --target review_art assets >/dev/null
mkdir -p "$out"
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy build/tests/review_art "$out"
cp build/contact-sheet.png "$out/art-contact-sheet.png"
echo "$out/art-contact-sheet.png"
