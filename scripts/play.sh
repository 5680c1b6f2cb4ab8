#!/usr/bin/env bash
# Installs what building and running needs, builds the game with its pictures
# and sounds, and starts it in a window from its run folder build/game/, where
# it keeps its "option", "new.score" and "ranker.list".
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cd "$root"
# A new build folder leaves out the tests, whose tools a player need not have;
# scripts/test.sh turns them on in the same folder.
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DSWAPSPRINT_TESTS=OFF >/dev/null
fi
# Only what a player needs; scripts/test.sh builds the rest.
cmake --build build --target swapsprint assets runfolder -j "$(nproc)"
cd "$root/build/game"
exec ./swapsprint
