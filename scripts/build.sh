#!/usr/bin/env bash
# Configures and builds into the given folder: build.sh DIR [cmake args...].
# A new folder is configured first, and any folder again when settings are given.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
if [ ! -f "$dir/CMakeCache.txt" ] || [ $# -gt 0 ]; then
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
fi
cmake --build "$dir" -j "$(nproc)"
