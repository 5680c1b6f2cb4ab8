#!/usr/bin/env bash
# scripts/setup.sh against stand-ins for apt-get, apt-cache, dpkg-query, id
# and sudo: who installs (root, sudo, nobody), what counts as installed, and
# how it stops on an unknown package, a failing install or a held lock.
set -euo pipefail
setup="$(cd "$(dirname "$0")/../.." && pwd)/scripts/setup.sh"
bash=$(command -v bash)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Real tools the script uses, alone on the PATH with the stand-ins, so a real
# sudo or apt-get on this machine is never reached.
mkdir -p "$work/tools"
for t in env grep sed sleep cat rm; do ln -s "$(command -v $t)" "$work/tools/$t"; done
mkdir -p "$work/stubs"
stub() { cat > "$work/stubs/$1"; chmod +x "$work/stubs/$1"; }
# State: status/PKG overrides dpkg's answer (default installed), unknown/PKG
# has no candidate, broken/PKG fails to install, lockfails counts updates that
# find the lists locked, uid, sudo (works|password|absent), log of apt calls.
stub dpkg-query <<'S'
#!/bin/sh
pkg=$3
if [ -f "$STATE/status/$pkg" ]; then cat "$STATE/status/$pkg"; else printf 'install ok installed'; fi
S
stub apt-cache <<'S'
#!/bin/sh
[ -f "$STATE/unknown/$2" ] && exit 0
printf '%s:\n  Installed: (none)\n  Candidate: 1.0-1\n' "$2"
S
stub id <<'S'
#!/bin/sh
cat "$STATE/uid"
S
stub sudo <<'S'
#!/bin/sh
[ "$(cat "$STATE/sudo")" = works ] || { echo "sudo: a password is required" >&2; exit 1; }
shift  # -n
[ "$1" = true ] && exit 0
SUDO=1 exec "$@"
S
stub apt-get <<'S'
#!/bin/sh
echo "${SUDO:+sudo }apt-get $*" >> "$STATE/log"
for a; do case $a in update|install) verb=$a ;; esac; done
if [ "$verb" = update ]; then
  n=$(cat "$STATE/lockfails")
  if [ "$n" -gt 0 ]; then
    echo $((n - 1)) > "$STATE/lockfails"
    echo "E: Could not get lock /var/lib/apt/lists/lock. It is held by process 1 (apt-get)"
    exit 100
  fi
  exit 0
fi
simulate=0; for a; do [ "$a" = --simulate ] && simulate=1; done
for a; do [ -f "$STATE/broken/$a" ] && { echo "E: $a has unmet dependencies" >&2; exit 100; }; done
[ $simulate = 1 ] && exit 0
for a; do case $a in -*|install|DPkg*) ;; *) rm -f "$STATE/status/$a" ;; esac; done
S

failures=0
# run NAME UID SUDO ARGS -- then state set-up lines on stdin (shell commands).
run() {
  name=$1 uid=$2 sudo=$3
  shift 3
  export STATE="$work/state-$name"
  rm -rf "$STATE"
  mkdir -p "$STATE/status" "$STATE/unknown" "$STATE/broken"
  echo "$uid" > "$STATE/uid"; echo "$sudo" > "$STATE/sudo"; echo 0 > "$STATE/lockfails"; : > "$STATE/log"
  ( cd "$STATE" && sh )
  stubs="$work/stubs"
  if [ "$sudo" = absent ]; then stubs="$work/nosudo"; mkdir -p "$stubs"; for f in "$work"/stubs/*; do [ "${f##*/}" = sudo ] || ln -sf "$f" "$stubs/"; done; fi
  code=0
  PATH="$stubs:$work/tools" SETUP_LOCK_POLL_SECONDS=0 "$bash" "$setup" "$@" > "$STATE/out" 2>&1 || code=$?
}
expect() {  # expect CONDITION-DESCRIPTION COMMAND...
  local what=$1; shift
  if ! "$@"; then
    echo "setup test [$name]: $what"; sed 's/^/  | /' "$STATE/out"; sed 's/^/  log: /' "$STATE/log"
    failures=$((failures + 1))
  fi
}
says() { grep -qF -- "$1" "$STATE/out"; }
logged() { grep -qE -- "$1" "$STATE/log"; }
nothing_logged() { [ ! -s "$STATE/log" ]; }

run all-there 0 absent </dev/null
expect "exit 0 with nothing to do" [ $code -eq 0 ]
expect "no apt-get call" nothing_logged

run root 0 absent <<<'echo "not-installed" > status/libsdl2-dev'
expect "exit 0" [ $code -eq 0 ]
expect "updates, then installs as root with apt's lock timeout" logged '^apt-get .*-o DPkg::Lock::Timeout=600 install -y --no-install-recommends libsdl2-dev$'
expect "runs update first" logged '^apt-get .* update$'

run removed-not-purged 0 absent <<<'printf "deinstall ok config-files" > status/fonts-lato'
expect "a removed package is installed again" logged 'install -y --no-install-recommends fonts-lato$'

run through-sudo 1000 works <<<'echo x > status/cmake'
expect "exit 0" [ $code -eq 0 ]
expect "apt-get through sudo" logged '^sudo apt-get .*install -y --no-install-recommends cmake$'

for s in password absent; do
  run "no-root-$s" 1000 $s <<<'echo x > status/cmake; echo x > status/xdotool'
  expect "exit 1" [ $code -eq 1 ]
  expect "no apt-get call" nothing_logged
  expect "names the command to run as root" says "apt-get install --no-install-recommends cmake"
done

run unknown 0 absent <<<'echo x > status/fonts-nanum; echo x > status/cmake; touch unknown/fonts-nanum'
expect "exit 1" [ $code -eq 1 ]
expect "names the unknown package only" says "no package named: fonts-nanum ("
expect "installs nothing" eval '! logged install'

run install-fails 0 absent <<<'echo x > status/cmake; echo x > status/libx11-dev; touch broken/libx11-dev'
expect "exit 1" [ $code -eq 1 ]
expect "names the failing package" says "apt-get install failed for: libx11-dev ("

run lists-locked 0 absent <<<'echo x > status/cmake; echo 2 > lockfails'
expect "exit 0 once the lock is free" [ $code -eq 0 ]
expect "says it waits" says "waiting for another apt"
expect "installs afterwards" logged 'install -y --no-install-recommends cmake$'

run test-tools 0 absent <<<'echo x > status/lintian'
expect "building alone needs no test tool" [ $code -eq 0 ]
expect "no apt-get call for play" nothing_logged
run test-tools 0 absent "--test" <<<'echo x > status/lintian'
expect "--test installs the test tools" logged 'install -y --no-install-recommends lintian$'

[ $failures -eq 0 ] || { echo "setup test: $failures failed"; exit 1; }
echo "setup test: all cases passed"
