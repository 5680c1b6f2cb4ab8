// Plays the page in Debian's chromium, headless: the intro clicked through, a
// whole game of swaps found from the canvas's pixels, a name entered; the
// page's memory watched all along. Then, once the service worker keeps the
// site, the page is reloaded with the network off: it must play, and the entry
// must still be in the saved list. Any error in the console fails the run.
// Screenshots of each scene go to the shots folder.
//   node play.mjs SITE_FOLDER SHOTS_FOLDER
import { mkdirSync } from 'node:fs';
import { join, resolve } from 'node:path';
import {
  MB, canvasPlace, check, findSwap, firstFrame, log, mb, memory, readGrid, readPlayerFile, rankingEntries, run,
  serve, sleep, tapToGrid, wire, withBrowser,
} from './lib.mjs';

const site = resolve(process.argv[2] ?? 'build-web/site');
const shots = resolve(process.argv[3] ?? 'build-web/screenshots');
mkdirSync(shots, { recursive: true });
const NAME = 'WEBPLAY';
const MEMORY_TARGET = 120 * MB;

run(async () => {
  const { server, url } = await serve(site);
  try {
    // Not the canvas's own size: the page scales it, and clicks map back.
    await withBrowser({ viewport: { width: 480, height: 860 }, hasTouch: true }, (context, errors) => play(context, errors, url));
  } finally {
    server.kill();
  }
});

async function play(context, errors, url) {
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
  const net = await wire(page);
  let most = { total: 0 };
  const watchMemory = async () => {
    const m = await memory(page, net.cdp);
    if (m.total > most.total) most = m;
  };

  // ---- load: the first frame
  await page.goto(url);
  const first = await firstFrame(page);
  log(`first frame ${first.toFixed(0)} ms after the page began loading, ${mb(net.before(first))} MB on the wire before it`);
  const place = await canvasPlace(page);
  check(Math.abs(place.width / place.height - 600 / 1024) < 0.01 && place.height <= 860 && place.width <= 480,
    `the canvas is scaled whole to fit the page (${place.width.toFixed(0)} x ${place.height.toFixed(0)})`);

  // ---- the game steps 60 times a second of real time
  const s0 = await page.evaluate(() => [Module.stepsTaken, performance.now()]);
  await sleep(3000);
  const s1 = await page.evaluate(() => [Module.stepsTaken, performance.now()]);
  const rate = (s1[0] - s0[0]) / ((s1[1] - s0[1]) / 1000);
  // A figure to read, not a check: a loaded machine slows a headless browser.
  log(`${rate.toFixed(2)} game steps a second over ${((s1[1] - s0[1]) / 1000).toFixed(1)} s`);
  await page.screenshot({ path: join(shots, '1-intro.png') });
  await watchMemory();

  // ---- intro: the first click turns the sound on; the play button once it pulses
  const soundBefore = await page.evaluate(() => Module.SDL2?.audioContext?.state ?? 'none');
  const p = place.at(300, 200);
  await page.mouse.click(p.x, p.y);
  await sleep(300);
  const soundAfter = await page.evaluate(() => Module.SDL2?.audioContext?.state ?? 'none');
  log(`sound: ${soundBefore} before the first click, ${soundAfter} after it`);
  check(soundBefore === 'suspended' && soundAfter === 'running', 'the first click turns the sound on');
  check(await tapToGrid(page, place), 'a tap on the play button leads to the grid');
  await page.screenshot({ path: join(shots, '2-play-start.png') });

  // ---- play: swaps found from the pixels until the grid goes away
  let swaps = 0, shotMid = false, idle = 0;
  const started = Date.now();
  while (Date.now() - started < 150000) {
    await watchMemory();
    const grid = await readGrid(page);
    if (grid.known < 20) {
      if (++idle > 20) break;  // the ranking has taken the screen
      await sleep(250);
      continue;
    }
    idle = 0;
    const move = findSwap(grid.kinds);
    if (move) {
      const a = place.cell(move[0], move[1]), b = place.cell(move[2], move[3]);
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
  await watchMemory();
  const saved = await page.evaluate(() => Module.savesKept ?? 0);
  check(saved > 0, `the saved files were copied to the browser's storage (${saved} times)`);
  log(`${mb(net.total())} MB on the wire from the first request to the ranking`);
  log(`memory at its most: ${mb(most.total)} MB (wasm ${mb(most.wasm)}, JavaScript heap ${mb(most.js)}, ` +
    `other buffers ${mb(most.buffers)})`);
  // Generous: a figure over the target is for the README, not a failure.
  check(most.total < 1.5 * MEMORY_TARGET, `the page's memory stays under ${mb(1.5 * MEMORY_TARGET)} MB`);

  // ---- offline: the kept site plays, with the saved list
  const kept = await page.waitForFunction(() => navigator.serviceWorker?.controller != null, null, { timeout: 30000 })
    .then(() => true, () => false);
  check(kept, 'a service worker controls the page once everything is in');
  await context.setOffline(true);
  net.reset();
  await page.reload();
  const offlineFirst = await firstFrame(page).catch(() => null);
  check(offlineFirst !== null, `offline, a reload shows the game (first frame ${offlineFirst?.toFixed(0)} ms, ` +
    `${mb(net.total())} MB on the wire)`);
  await page.screenshot({ path: join(shots, '7-reloaded-offline.png') });
  await context.setOffline(false);
  const option = await readPlayerFile(page, 'option');
  const score = await readPlayerFile(page, 'new.score');
  const list = await readPlayerFile(page, 'ranker.list');
  check(option && option.length === 2 && option[0] === 1 && option[1] === 1,
    `"option" survives the reload with music and effects on (${JSON.stringify(option)})`);
  const points = score && score.length === 4 ? new DataView(Uint8Array.from(score).buffer).getInt32(0, true) : null;
  log(`the game's score: ${points}`);
  const entry = rankingEntries(list).find((e) => e.name === NAME);
  check(points > 0 && entry?.score === points, `the list holds ${NAME} with the game's score after the reload`);

  check(errors.length === 0, `no error in the console${errors.length ? ': ' + errors.join(' | ') : ''}`);
  log(`figures: first frame ${first.toFixed(0)} ms; ${rate.toFixed(2)} steps/s; memory ${mb(most.total)} MB; ` +
    `screenshots in ${shots}`);
}
