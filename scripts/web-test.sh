#!/usr/bin/env bash
# The page tested: builds the site (scripts/web.sh), checks its drawing kernels
# in node, installs the test's one npm package, the browser driver
# playwright-core, which brings no browser of its own, and plays a whole game
# in Debian's chromium, headless (tests/web/play.mjs), then loads the page on
# two emulated links, in two tabs at once and on a phone-sized touch screen
# (tests/web/page.mjs). Screenshots of each scene go to build-web/screenshots/.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
"$root/scripts/web.sh"

# The drawing kernels as the page runs them, against their definitions.
PATH="/usr/bin:$PATH" NODE_PATH=/usr/share/nodejs \
  cmake --build build-web --target web_kernels -j "${WEB_JOBS:-2}" >/dev/null
node --no-experimental-fetch build-web/web_kernels.js

cd tests/web
# Exactly what the lock file names; again only when that changed.
want=$(node -p "require('./package-lock.json').packages['node_modules/playwright-core'].version")
have=$(node -p "require('./node_modules/playwright-core/package.json').version" 2>/dev/null || true)
if [ "$want" != "$have" ]; then
  PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error
fi
rm -rf "$root/build-web/screenshots"
node play.mjs "$root/build-web/site" "$root/build-web/screenshots"
node page.mjs "$root/build-web/site" "$root/build-web/screenshots"
