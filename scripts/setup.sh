#!/usr/bin/env bash
# Installs the Debian packages the game needs, only those that are missing;
# quick when everything is there.
#   setup.sh          what building and running the game needs (scripts/play.sh)
#   setup.sh --test   that, and the tools the tests use (scripts/test.sh)
# apt-get runs as root, or through sudo when sudo works without a password;
# otherwise the script names the missing packages and the command to run as
# root. It stops at the first real error, naming the package at fault.
set -euo pipefail

BUILD_PACKAGES=(g++ cmake make pkg-config
  libsdl2-dev libsdl2-ttf-dev libmpg123-dev libx11-dev
  libcairo2-dev libpng-dev libfontconfig-dev libmp3lame-dev
  fonts-lato fonts-nanum fonts-dejavu-core)
TEST_PACKAGES=(libgtest-dev libbenchmark-dev python3
  xvfb xauth xdotool x11-utils imagemagick openbox
  valgrind clang libclang-rt-14-dev
  dpkg-dev file lintian appstream desktop-file-utils
  emscripten python3-fonttools chromium nodejs)

wanted=("${BUILD_PACKAGES[@]}")
case "${1:-}" in
  "") ;;
  --test) wanted+=("${TEST_PACKAGES[@]}") ;;
  *) echo "usage: setup.sh [--test]" >&2; exit 2 ;;
esac

say() { echo "setup: $*" >&2; }

# Installed means dpkg says so: a package removed but not purged keeps its
# configuration files and a status of "deinstall ok config-files".
installed() {
  case "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" in
    *"install ok installed"*) return 0 ;;
    *) return 1 ;;
  esac
}

missing=()
for p in "${wanted[@]}"; do installed "$p" || missing+=("$p"); done
[ ${#missing[@]} -eq 0 ] && exit 0
say "missing Debian packages: ${missing[*]}"

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1 && sudo -n true >/dev/null 2>&1; then
    as_root=(sudo -n)
  else
    say "installing them needs root, and sudo cannot be used without a password here."
    say "As root, run:"
    echo "  apt-get install --no-install-recommends ${missing[*]}" >&2
    say "then run this script again."
    exit 1
  fi
fi
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -q -o DPkg::Lock::Timeout=600)

# apt-get waits for the package lock itself (DPkg::Lock::Timeout), but not for
# the package lists' lock, which the system's daily update holds for a while
# after boot: wait for that one, and only that one, as long again.
say "updating the package lists"
deadline=$((SECONDS + 600))
announced=0
while :; do
  status=0
  out=$("${apt[@]}" update 2>&1) || status=$?
  [ $status -eq 0 ] && break
  if ! grep -q 'Could not get lock /var/lib/apt/lists/lock' <<<"$out" || [ $SECONDS -ge $deadline ]; then
    echo "$out" >&2
    say "apt-get update failed (see above)"
    exit 1
  fi
  [ $announced -eq 1 ] || say "waiting for another apt to finish updating the package lists"
  announced=1
  sleep "${SETUP_LOCK_POLL_SECONDS:-5}"
done

# A name Debian does not know is a mistake to fix here, not to retry.
unknown=()
for p in "${missing[@]}"; do
  candidate=$(apt-cache policy "$p" 2>/dev/null | sed -n 's/^ *Candidate: *//p')
  if [ -z "$candidate" ] || [ "$candidate" = "(none)" ]; then unknown+=("$p"); fi
done
if [ ${#unknown[@]} -gt 0 ]; then
  say "Debian offers no package named: ${unknown[*]} (apt-cache policy shows no candidate)"
  exit 1
fi

if ! "${apt[@]}" install -y --no-install-recommends "${missing[@]}"; then
  # Name the packages apt cannot install on their own.
  failing=()
  for p in "${missing[@]}"; do
    "${apt[@]}" install --simulate -y --no-install-recommends "$p" >/dev/null 2>&1 || failing+=("$p")
  done
  say "apt-get install failed${failing[*]:+ for: ${failing[*]}} (see apt's message above)"
  exit 1
fi

still=()
for p in "${missing[@]}"; do installed "$p" || still+=("$p"); done
if [ ${#still[@]} -gt 0 ]; then
  say "apt-get finished, but these are still not installed: ${still[*]}"
  exit 1
fi
say "installed: ${missing[*]}"
