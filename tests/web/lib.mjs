// What the page's browser tests share: the server, the browser, the checks,
// the game's geometry and what the page shows of itself (Module.firstFrameMs,
// Module.stepsTaken, Module.allIn, the game's file system).
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { chromium } from 'playwright-core';

// The game's own geometry (src/match3/Block.h, src/app/IntroSceen.cpp), in
// game pixels of the 600 x 1024 canvas.
export const GAME_W = 600, GAME_H = 1024;
export const GRID = { left: 26, top: 414, pitch: 69, size: 64, cells: 8 };
export const PLAY_BUTTON = { x: 457, y: 515 };
export const PLAYER_FOLDER = '/home/web_user/.local/share/swapsprint';
const EMPTY_LETTER = 99;
export const MB = 1e6;

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
export const log = (...a) => console.log('web test:', ...a);
const failures = [];
export const check = (ok, what) => {
  if (!ok) failures.push(what);
  log(`${ok ? 'ok' : 'FAILED'}: ${what}`);
};

export function serve(folder) {
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

// A browser of its own profile (so its own storage and service worker) for
// task(context, errors); any error in a page's console is collected.
export async function withBrowser(options, task) {
  const profile = mkdtempSync(join(tmpdir(), 'swapsprint-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
    ...options,
  });
  const errors = [];
  const watch = (page) => {
    page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
    page.on('pageerror', (e) => errors.push(String(e)));
  };
  context.pages().forEach(watch);
  context.on('page', watch);
  try {
    return await task(context, errors);
  } finally {
    await context.close();
    rmSync(profile, { recursive: true, force: true });
  }
}

export async function firstFrame(page, timeout = 30000) {
  await page.waitForFunction(() => window.Module && Module.firstFrameMs !== undefined, null, { timeout, polling: 20 });
  return page.evaluate(() => Module.firstFrameMs);
}

// Game pixels to the page's, as the canvas is scaled to fit.
export async function canvasPlace(page) {
  const rect = await page.evaluate(() => {
    const r = document.getElementById('canvas').getBoundingClientRect();
    return { left: r.left, top: r.top, width: r.width, height: r.height };
  });
  rect.at = (gx, gy) => ({ x: rect.left + (gx + 0.5) * rect.width / GAME_W, y: rect.top + (gy + 0.5) * rect.height / GAME_H });
  rect.cell = (c, r) => rect.at(GRID.left + GRID.pitch * c + GRID.size / 2, GRID.top + GRID.pitch * r + GRID.size / 2);
  return rect;
}

// Taps the play button (a finger, as on a phone) until the grid shows.
export async function tapToGrid(page, place) {
  const shown = async () => (await readGrid(page)).known >= 60;
  for (let tries = 0; tries < 60 && !(await shown()); ++tries) {
    const p = place.at(PLAY_BUTTON.x, PLAY_BUTTON.y);
    await page.touchscreen.tap(p.x, p.y);
    await sleep(500);
  }
  return shown();
}

// The bytes on the wire of one page, from chromium's own count: each
// request's chunks as they arrive, its total when it ends.
export async function wire(page) {
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Network.enable');
  const chunks = [];   // [seconds on chromium's clock, bytes]
  const got = new Map();
  let navigated = null;
  cdp.on('Network.requestWillBeSent', (e) => { if (e.type === 'Document') navigated = e.timestamp; });
  cdp.on('Network.dataReceived', (e) => {
    chunks.push([e.timestamp, e.encodedDataLength]);
    got.set(e.requestId, (got.get(e.requestId) ?? 0) + e.encodedDataLength);
  });
  cdp.on('Network.loadingFinished', (e) => {
    const rest = e.encodedDataLength - (got.get(e.requestId) ?? 0);
    if (rest > 0) chunks.push([e.timestamp, rest]);
    got.set(e.requestId, e.encodedDataLength);
  });
  const sum = (until) => chunks.reduce((n, [t, b]) => n + (t <= until ? b : 0), 0);
  return {
    cdp,
    reset() { chunks.length = 0; got.clear(); navigated = null; },
    total: () => sum(Infinity),
    // Before a moment given in ms after the navigation (the page's clock).
    before: (ms) => sum(navigated === null ? -Infinity : navigated + ms / 1000),
  };
}

// The page's memory: the game's (its wasm memory), the JavaScript heap, and
// the other array buffers (the data on its way and kept).
export async function memory(page, cdp) {
  const wasm = await page.evaluate(() => Module.HEAPU8 ? Module.HEAPU8.buffer.byteLength : 0);
  const heap = await cdp.send('Runtime.getHeapUsage');
  const buffers = Math.max(0, (heap.backingStorageSize ?? 0) - wasm);
  return { wasm, js: heap.usedSize, buffers, total: wasm + heap.usedSize + buffers };
}
export const mb = (n) => (n / MB).toFixed(2);

// ---- the saved ranking: ten records of ten letters and a score, 32-bit LE

export async function readPlayerFile(page, name) {
  return page.evaluate(([folder, n]) => {
    try { return Array.from(Module.FS.readFile(`${folder}/${n}`)); } catch (e) { return null; }
  }, [PLAYER_FOLDER, name]);
}

const int32 = (bytes, at) => new DataView(Uint8Array.from(bytes).buffer).getInt32(at, true);
export function rankingEntries(list) {
  const out = [];
  for (let i = 0; list && list.length === 440 && i < 10; ++i) {
    const letters = Array.from({ length: 10 }, (_, j) => int32(list, i * 44 + 4 * j));
    const name = letters.filter((l) => l !== EMPTY_LETTER).map((l) => String.fromCharCode(65 + l)).join('');
    out.push({ name, score: int32(list, i * 44 + 40) });
  }
  return out;
}

// The list as the game leaves it after an entry: the new record in its
// place by score, the list cut to ten.
export function withEntry(list, name, score) {
  const entries = rankingEntries(list).filter((e) => e.name || e.score);
  entries.push({ name, score });
  entries.sort((a, b) => b.score - a.score);
  const view = new DataView(new ArrayBuffer(440));
  for (let i = 0; i < 10; ++i) {
    const e = entries[i] ?? { name: '', score: 0 };
    for (let j = 0; j < 10; ++j) view.setInt32(i * 44 + 4 * j, j < e.name.length ? e.name.charCodeAt(j) - 65 : EMPTY_LETTER, true);
    view.setInt32(i * 44 + 40, e.score, true);
  }
  return Array.from(new Uint8Array(view.buffer));
}

// ---- the grid, read from the canvas's pixels

// The kind of every cell, from a few pixels of its tile (tiles of a kind are
// one picture, so their pixels are equal); null for a cell in motion or
// unknown. A kind counts once it is seen on at least four cells.
export async function readGrid(page) {
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
export function findSwap(kinds) {
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

// Runs a test file's main and ends the process with its verdict.
export function run(main) {
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
}
