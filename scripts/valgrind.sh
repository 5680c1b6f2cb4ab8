#!/usr/bin/env bash
# One short headless game under valgrind memcheck: intro skipped, some play
# ended early, the ranking and home again. Fails on any memory error or on
# memory definitely lost. valgrind.sh [BUILD_DIR] (default build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
dir=${1:-build}
cmake --build "$dir" --target soak >/dev/null
# One game, drawn one frame in sixteen, a fixed seed.
SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
  valgrind --quiet --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite \
    --show-leak-kinds=definite "$dir/tests/soak" 1 16 3
echo "valgrind: no errors, nothing definitely lost"
