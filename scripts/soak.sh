#!/usr/bin/env bash
# Plays many whole games headless with a random bot and prints the resident
# size as it goes: soak.sh [GAMES] [RENDER_EVERY] [SEED] (defaults 300, 4, 1).
# Builds the soak program in build/ first unless SOAK_BUILD_DIR names another.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
dir=${SOAK_BUILD_DIR:-build}
"$root/scripts/build.sh" "$dir" -DSWAPSPRINT_TESTS=ON >/dev/null
cmake --build "$dir" --target soak >/dev/null
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy "$dir/tests/soak" "${1:-300}" "${2:-4}" "${3:-1}"
