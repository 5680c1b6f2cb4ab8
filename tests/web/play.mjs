// Plays the page in Debian's chromium, headless: the intro clicked through, a
// whole game of swaps found from the canvas's pixels, a name entered; then the
// page is reloaded and the entry must still be in the saved list. Any error in
// the console fails the run. Screenshots of each scene go to the shots folder.
//   node play.mjs SITE_FOLDER SHOTS_FOLDER
import { spawn } from 'node:child_process';
import { mkdtempSync, mkdirSync, readFileSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { gzipSync } from 'node:zlib';
import { chromium } from 'playwright-core';

const site = resolve(process.argv[2] ?? 'build-web/site');
const shots = resolve(process.argv[3] ?? 'build-web/screenshots');
mkdirSync(shots, { recursive: true });

// The game's own geometry (src/match3/Block.h, src/app/IntroSceen.cpp,
// src/ranking), in game pixels of the 600 x 1024 canvas.
const GAME_W = 600, GAME_H = 1024;
const GRID = { left: 26, top: 414, pitch: 69, size: 64, cells: 8 };
const PLAY_BUTTON = { x: 457, y: 515 };
const PLAYER_FOLDER = '/home/web_user/.local/share/swapsprint';
const NAME = 'WEBPLAY';
const EMPTY_LETTER = 99;

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const log = (...a) => console.log('web test:', ...a);
const failures = [];
const check = (ok, what) => {
  if (!ok) failures.push(what);
  log(`${ok ? 'ok' : 'FAILED'}: ${what}`);
};

function serve(folder) {
  return new Promise((resolveServer, reject) => {
    const server = spawn('/usr/bin/python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', folder],
      { stdio: ['ignore', 'pipe', 'pipe'] });
    server.stdout.on('data', (chunk) => {
      const m = /port (\d+)/.exec(chunk.toString());
      if (m) resolveServer({ server, url: `http://127.0.0.1:${m[1]}/` });
    });
    server.on('exit', (code) => reject(new Error(`the server ended (${code})`)));
  });
}

async function main() {
  // What a browser downloads, each file compressed as a server would send it.
  const sent = readdirSync(site).reduce((n, f) => n + gzipSync(readFileSync(join(site, f)), { level: 9 }).length, 0);
  check(sent < 8e6, `the page is ${(sent / 1e6).toFixed(2)} MB to download, compressed: under 8 MB`);

  const { server, url } = await serve(site);
  const profile = mkdtempSync(join(tmpdir(), 'swapsprint-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
    // Not the canvas's own size: the page scales it, and clicks map back.
    viewport: { width: 480, height: 860 },
    hasTouch: true,
  });
  try {
    await play(context, url);
  } finally {
    await context.close();
    server.kill();
    rmSync(profile, { recursive: true, force: true });
  }
}

async function play(context, url) {
  // Headless chromium lets a page's sound start on its own; a browser out of
  // the box keeps it off until the player's first click or key. Made so here,
  // so that the page has to turn it on.
  await context.addInitScript(() => {
    const Real = window.AudioContext;
    window.AudioContext = class extends Real {
      constructor(...args) { super(...args); this.suspend(); }
    };
  });
  const page = context.pages()[0] ?? await context.newPage();
  const errors = [];
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  page.on('pageerror', (e) => errors.push(String(e)));

  // ---- load: the first frame
  await page.goto(url);
  await page.waitForFunction(() => window.Module && Module.firstFrameMs !== undefined, null, { timeout: 30000 });
  const firstFrame = await page.evaluate(() => Module.firstFrameMs);
  log(`first frame ${firstFrame.toFixed(0)} ms after the page began loading`);
  const rect = await page.evaluate(() => {
    const r = document.getElementById('canvas').getBoundingClientRect();
    return { left: r.left, top: r.top, width: r.width, height: r.height };
  });
  check(Math.abs(rect.width / rect.height - GAME_W / GAME_H) < 0.01 && rect.height <= 860 && rect.width <= 480,
    `the canvas is scaled whole to fit the page (${rect.width.toFixed(0)} x ${rect.height.toFixed(0)})`);
  const at = (gx, gy) => ({ x: rect.left + (gx + 0.5) * rect.width / GAME_W, y: rect.top + (gy + 0.5) * rect.height / GAME_H });
  const click = async (gx, gy) => { const p = at(gx, gy); await page.mouse.click(p.x, p.y); };
  const tap = async (gx, gy) => { const p = at(gx, gy); await page.touchscreen.tap(p.x, p.y); };

  // ---- the game steps 60 times a second of real time
  const s0 = await page.evaluate(() => [Module.stepsTaken, performance.now()]);
  await sleep(3000);
  const s1 = await page.evaluate(() => [Module.stepsTaken, performance.now()]);
  const rate = (s1[0] - s0[0]) / ((s1[1] - s0[1]) / 1000);
  // A figure to read, not a check: a loaded machine slows a headless browser.
  log(`${rate.toFixed(2)} game steps a second over ${((s1[1] - s0[1]) / 1000).toFixed(1)} s`);
  await page.screenshot({ path: join(shots, '1-intro.png') });

  // ---- intro: the first click turns the sound on; the play button once it pulses
  const soundBefore = await page.evaluate(() => Module.SDL2?.audioContext?.state ?? 'none');
  await click(300, 200);
  await sleep(300);
  const soundAfter = await page.evaluate(() => Module.SDL2?.audioContext?.state ?? 'none');
  log(`sound: ${soundBefore} before the first click, ${soundAfter} after it`);
  check(soundBefore === 'suspended' && soundAfter === 'running', 'the first click turns the sound on');
  const gridAppeared = async () => (await readGrid(page)).known >= 60;
  for (let tries = 0; tries < 60 && !(await gridAppeared()); ++tries) {
    await tap(PLAY_BUTTON.x, PLAY_BUTTON.y);  // a finger, as on a phone
    await sleep(500);
  }
  check(await gridAppeared(), 'a tap on the play button leads to the grid');
  await page.screenshot({ path: join(shots, '2-play-start.png') });

  // ---- play: swaps found from the pixels until the grid goes away
  let swaps = 0, shotMid = false, idle = 0;
  const started = Date.now();
  while (Date.now() - started < 150000) {
    const grid = await readGrid(page);
    if (grid.known < 20) {
      if (++idle > 20) break;  // the ranking has taken the screen
      await sleep(250);
      continue;
    }
    idle = 0;
    const move = findSwap(grid.kinds);
    if (move) {
      const [c1, r1, c2, r2] = move;
      const a = at(GRID.left + GRID.pitch * c1 + GRID.size / 2, GRID.top + GRID.pitch * r1 + GRID.size / 2);
      const b = at(GRID.left + GRID.pitch * c2 + GRID.size / 2, GRID.top + GRID.pitch * r2 + GRID.size / 2);
      await page.mouse.move(a.x, a.y);
      await page.mouse.down();
      await page.mouse.move(b.x, b.y, { steps: 4 });
      await page.mouse.up();
      ++swaps;
    }
    if (!shotMid && Date.now() - started > 25000) {
      await page.screenshot({ path: join(shots, '3-play-mid.png') });
      shotMid = true;
    }
    await sleep(600);
  }
  log(`${swaps} swaps tried in ${((Date.now() - started) / 1000).toFixed(0)} s`);
  check(swaps >= 10, 'swaps were found on the canvas and made');

  // ---- ranking: a name typed and kept
  await sleep(1500);
  await page.screenshot({ path: join(shots, '4-ranking-name.png') });
  // The last swap may have landed on the letters as they came up: Delete
  // clears the name first.
  await page.keyboard.press('Delete');
  await sleep(200);
  await page.keyboard.type(NAME, { delay: 80 });
  await sleep(300);
  await page.screenshot({ path: join(shots, '5-ranking-typed.png') });
  await page.keyboard.press('Enter');
  await sleep(4000);
  await page.screenshot({ path: join(shots, '6-ranking-list.png') });
  const saved = await page.evaluate(() => Module.savesKept ?? 0);
  check(saved > 0, `the saved files were copied to the browser's storage (${saved} times)`);

  // ---- reload: the files come back from IndexedDB
  await page.reload();
  await page.waitForFunction(() => window.Module && Module.firstFrameMs !== undefined, null, { timeout: 30000 });
  log(`first frame ${(await page.evaluate(() => Module.firstFrameMs)).toFixed(0)} ms after the reload began`);
  const files = await page.evaluate((folder) => {
    const read = (name) => { try { return Array.from(Module.FS.readFile(`${folder}/${name}`)); } catch (e) { return null; } };
    return { option: read('option'), score: read('new.score'), list: read('ranker.list') };
  }, PLAYER_FOLDER);
  await page.screenshot({ path: join(shots, '7-reloaded.png') });
  check(files.option && files.option.length === 2 && files.option[0] === 1 && files.option[1] === 1,
    `"option" survives the reload with music and effects on (${JSON.stringify(files.option)})`);
  const int32 = (bytes, at) => new DataView(Uint8Array.from(bytes).buffer).getInt32(at, true);
  const score = files.score && files.score.length === 4 ? int32(files.score, 0) : null;
  log(`the game's score: ${score}`);
  check(files.list && files.list.length === 440, '"ranker.list" survives the reload, 440 bytes');
  const wanted = [...NAME].map((c) => c.charCodeAt(0) - 65);
  let found = false;
  for (let i = 0; files.list && i < 10; ++i) {
    const letters = Array.from({ length: 10 }, (_, j) => int32(files.list, i * 44 + 4 * j));
    const name = letters.slice(0, wanted.length);
    const rest = letters.slice(wanted.length);
    if (name.every((l, j) => l === wanted[j]) && rest.every((l) => l === EMPTY_LETTER) &&
        int32(files.list, i * 44 + 40) === score) found = true;
  }
  check(found && score > 0, `the list holds ${NAME} with the game's score after the reload`);

  check(errors.length === 0, `no error in the console${errors.length ? ': ' + errors.join(' | ') : ''}`);
  log(`figures: first frame ${firstFrame.toFixed(0)} ms; ${rate.toFixed(2)} steps/s; screenshots in ${shots}`);
}

// The kind of every cell, from a few pixels of its tile (tiles of a kind are
// one picture, so their pixels are equal); null for a cell in motion or
// unknown. A kind counts once it is seen on at least four cells.
async function readGrid(page) {
  const sigs = await page.evaluate((g) => {
    const canvas = document.getElementById('canvas');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    const px = (x, y) => { const i = 4 * (y * canvas.width + x); return (data[i] << 16) | (data[i + 1] << 8) | data[i + 2]; };
    const out = [];
    for (let r = 0; r < g.cells; ++r) {
      const row = [];
      for (let c = 0; c < g.cells; ++c) {
        const x = g.left + g.pitch * c, y = g.top + g.pitch * r;
        row.push([[20, 20], [32, 32], [44, 44], [32, 14], [14, 44]].map(([dx, dy]) => px(x + dx, y + dy)).join(','));
      }
      out.push(row);
    }
    return out;
  }, GRID);
  const counts = new Map();
  for (const row of sigs) for (const s of row) counts.set(s, (counts.get(s) ?? 0) + 1);
  const kinds = sigs.map((row) => row.map((s) => (counts.get(s) >= 4 ? s : null)));
  const known = kinds.flat().filter((k) => k !== null).length;
  return { kinds, known };
}

// A swap of two neighbours that lines up three of a kind: [col, row, col, row].
function findSwap(kinds) {
  const n = kinds.length;
  const lineThrough = (g, c, r) => {
    const k = g[r][c];
    if (k === null) return false;
    let run = 1;
    for (let x = c - 1; x >= 0 && g[r][x] === k; --x) ++run;
    for (let x = c + 1; x < n && g[r][x] === k; ++x) ++run;
    if (run >= 3) return true;
    run = 1;
    for (let y = r - 1; y >= 0 && g[y][c] === k; --y) ++run;
    for (let y = r + 1; y < n && g[y][c] === k; ++y) ++run;
    return run >= 3;
  };
  for (let r = 0; r < n; ++r) {
    for (let c = 0; c < n; ++c) {
      for (const [dc, dr] of [[1, 0], [0, 1]]) {
        const c2 = c + dc, r2 = r + dr;
        if (c2 >= n || r2 >= n || kinds[r][c] === null || kinds[r2][c2] === null) continue;
        const g = kinds.map((row) => row.slice());
        [g[r][c], g[r2][c2]] = [g[r2][c2], g[r][c]];
        if (lineThrough(g, c, r) || lineThrough(g, c2, r2)) return [c, r, c2, r2];
      }
    }
  }
  return null;
}

main().then(() => {
  if (failures.length) {
    console.log(`web test: ${failures.length} check(s) failed`);
    process.exit(1);
  }
  console.log('web test: all checks passed');
}, (e) => {
  console.error('web test:', e);
  process.exit(1);
});
