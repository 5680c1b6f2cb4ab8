#!/usr/bin/env bash
# Sets up, builds and starts the game in a window.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" build
cd "$root/build/game"
exec ./swapsprint
