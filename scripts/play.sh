#!/usr/bin/env bash
# Sets up, builds the game with its pictures and sounds, and starts it in a
# window from its run folder build/game/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
cd "$root"
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
# Only what a player needs; scripts/test.sh builds the rest.
cmake --build build --target swapsprint assets runfolder -j "$(nproc)"
cd "$root/build/game"
exec ./swapsprint
