#!/usr/bin/env bash
# Set-up for the browser build: Debian's emscripten and the tools around it,
# and a deb-src entry so that `apt-get source` can fetch the libraries' Debian
# sources. The entry is derived from the machine's own apt sources, so no
# archive is named here. Quick when everything is there already.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"

# The native game first: its asset generator makes the pictures and sounds.
"$root/scripts/setup.sh"

say() { echo "web setup: $*" >&2; }
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1 && sudo -n true >/dev/null 2>&1; then
    as_root=(sudo -n)
  else
    as_root=(false)
  fi
fi
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q -o DPkg::Lock::Timeout=600)

installed() {
  case "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" in
    *"install ok installed"*) return 0 ;;
    *) return 1 ;;
  esac
}

updated=0
update_lists() {
  [ $updated -eq 1 ] && return 0
  say "updating the package lists"
  "${apt[@]}" update >/dev/null || { say "apt-get update failed (needs root or sudo)"; exit 1; }
  updated=1
}

# deb-src: the same archives, suites and components as the machine's own
# "deb" entries, in a file of our own beside them.
src_list=/etc/apt/sources.list.d/swapsprint-web-src.sources
if [ ! -f "$src_list" ]; then
  own=/etc/apt/sources.list.d/debian.sources
  if [ -f "$own" ]; then
    text=$(sed -e 's/^Types:.*/Types: deb-src/' "$own")
  elif [ -f /etc/apt/sources.list ]; then
    text=$(sed -n 's/^deb \(.*\)/deb-src \1/p' /etc/apt/sources.list)
    src_list=/etc/apt/sources.list.d/swapsprint-web-src.list
  else
    say "no apt sources file found to derive a deb-src entry from"; exit 1
  fi
  say "adding deb-src entries ($src_list)"
  printf '%s\n' "$text" | "${as_root[@]}" tee "$src_list" >/dev/null
  updated=0
  update_lists
fi

# chromium, nodejs and npm are for the browser test (scripts/web-test.sh).
PACKAGES=(emscripten cmake make dpkg-dev python3 python3-fonttools chromium nodejs
  fonts-lato fonts-nanum fonts-dejavu-core)
missing=()
for p in "${PACKAGES[@]}"; do installed "$p" || missing+=("$p"); done
# A node from elsewhere may carry its own npm (and conflict with Debian's).
command -v npm >/dev/null 2>&1 || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  say "installing ${missing[*]}"
  update_lists
  "${apt[@]}" install -y --no-install-recommends "${missing[@]}"
fi
# apt-get source needs the lists of the deb-src entries.
if ! apt-cache showsrc libsdl2 >/dev/null 2>&1 || [ -z "$(apt-cache showsrc libsdl2 2>/dev/null)" ]; then
  update_lists
fi
