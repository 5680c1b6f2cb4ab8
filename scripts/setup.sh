#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, run and test, only
# those that are missing. Quick when everything is there.
set -euo pipefail

PACKAGES=(g++ cmake make pkg-config
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev libx11-dev
  libcairo2-dev libmp3lame-dev lame
  fonts-lato fonts-nanum fonts-dejavu-core python3-fonttools
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick openbox
  valgrind clang libclang-rt-14-dev)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
# Another apt may hold the lock for a while after boot: wait and retry.
for attempt in 1 2 3 4 5 6 7 8 9 10; do
  if $SUDO apt-get update -q && $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"; then
    exit 0
  fi
  echo "apt busy or failed (attempt $attempt), retrying in 15 s" >&2
  sleep 15
done
echo "could not install: ${missing[*]}" >&2
exit 1
