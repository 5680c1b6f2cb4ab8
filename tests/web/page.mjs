// The page as players get it, in Debian's chromium, headless:
// - loaded through chromium's network emulation on two links, the cache off:
//   the first frame's time, the bytes before it and for the whole site, and
//   the game's steps while the rest downloads;
// - two tabs, both loaded before either saves, each storing a name, and a
//   third closed right after its save: every name is in the stored list;
// - a phone-sized page, where a finger's drag swaps two tiles and the page
//   does not scroll.
// Times and sizes are printed; checks fail only far beyond the targets.
//   node page.mjs SITE_FOLDER SHOTS_FOLDER
import { mkdirSync } from 'node:fs';
import { join, resolve } from 'node:path';
import {
  MB, PLAYER_FOLDER, canvasPlace, check, findSwap, firstFrame, log, mb, readGrid, readPlayerFile, rankingEntries, run, serve,
  sleep, tapToGrid, wire, withBrowser, withEntry,
} from './lib.mjs';

const site = resolve(process.argv[2] ?? 'build-web/site');
const shots = resolve(process.argv[3] ?? 'build-web/screenshots');
mkdirSync(shots, { recursive: true });

const LINKS = [
  { name: '10 Mbps / 40 ms', mbps: 10, rtt: 40, firstFrameMs: 2000 },
  { name: '1.6 Mbps / 150 ms', mbps: 1.6, rtt: 150, firstFrameMs: 6000 },
];
const BEFORE_FIRST_TARGET = 1 * MB, WHOLE_TARGET = 6 * MB;
const SLACK = 3;  // how far beyond a target a figure fails

run(async () => {
  const { server, url } = await serve(site);
  try {
    for (const link of LINKS) await withBrowser({ viewport: { width: 480, height: 860 } }, (c) => load(c, url, link));
    await withBrowser({ viewport: { width: 480, height: 860 } }, (c, errors) => tabs(c, errors, url));
    await withBrowser({ viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true },
      (c, errors) => phone(c, errors, url));
  } finally {
    server.kill();
  }
});

async function load(context, url, link) {
  const page = context.pages()[0] ?? await context.newPage();
  const net = await wire(page);
  await net.cdp.send('Network.setCacheDisabled', { cacheDisabled: true });
  // The round trip as chromium adds it to each response; bytes a second.
  await net.cdp.send('Network.emulateNetworkConditions', {
    offline: false, latency: link.rtt, downloadThroughput: link.mbps * 1e6 / 8, uploadThroughput: link.mbps * 1e6 / 8,
  });
  await page.goto(url, { waitUntil: 'commit' });
  const first = await firstFrame(page, 120000);
  const before = net.before(first);
  // The game's steps while the rest comes in.
  const s0 = await page.evaluate(() => [Module.stepsTaken, performance.now(), !!Module.allIn]);
  await sleep(3000);
  const s1 = await page.evaluate(() => [Module.stepsTaken, performance.now(), !!Module.allIn]);
  const rate = (s1[0] - s0[0]) / ((s1[1] - s0[1]) / 1000);
  await page.waitForFunction(() => Module.allIn, null, { timeout: 300000, polling: 200 });
  const whole = net.total();
  const held = await page.evaluate(() => Module.heldFrames);
  log(`${link.name}: first frame ${first.toFixed(0)} ms after navigation, ${mb(before)} MB on the wire before it, ` +
    `${mb(whole)} MB for the whole game; ${rate.toFixed(2)} steps/s while ${s1[2] ? 'nothing' : 'the rest'} downloads, ` +
    `${held} frames held for files`);
  check(first < SLACK * link.firstFrameMs, `${link.name}: the first frame within ${SLACK * link.firstFrameMs / 1000} s`);
  check(before < SLACK * BEFORE_FIRST_TARGET && whole < SLACK * WHOLE_TARGET,
    `${link.name}: under ${SLACK * BEFORE_FIRST_TARGET / MB} MB before the first frame, ${SLACK * WHOLE_TARGET / MB} MB in all`);
  check(rate > 30, `${link.name}: the game steps while the rest downloads`);
}

// Two tabs of one browser, both loaded before either saves, each adds its
// own entry to the list as the game does and keeps it; a third tab adds one
// and is closed at once. Afterwards the stored list holds all three.
async function tabs(context, errors, url) {
  const open = async () => {
    const page = await context.newPage();
    await page.goto(url);
    await firstFrame(page);
    await page.waitForFunction(() => Module.playerFolderMounted);
    return page;
  };
  const pages = [await open(), await open(), await open()];
  const entries = [['LEFT', 700], ['RIGHT', 500], ['CLOSED', 600]];
  const save = (page, [name, score], list) => page.evaluate(([folder, bytes]) => {
    Module.FS.writeFile(`${folder}/ranker.list`, Uint8Array.from(bytes));
    Module.keepSaves();
  }, [PLAYER_FOLDER, withEntry(list, name, score)]);
  // Each tab's list as it was before any save.
  const lists = await Promise.all(pages.map((p) => readPlayerFile(p, 'ranker.list')));
  await Promise.all([save(pages[0], entries[0], lists[0]), save(pages[1], entries[1], lists[1])]);
  await save(pages[2], entries[2], lists[2]);
  await pages[2].close();
  await Promise.all(pages.slice(0, 2).map((p) => p.waitForFunction(() => Module.savesKept > 0)));
  await pages[0].reload();
  await firstFrame(pages[0]);
  await pages[0].waitForFunction(() => Module.playerFolderMounted);
  const stored = rankingEntries(await readPlayerFile(pages[0], 'ranker.list'));
  const names = stored.map((e) => e.name);
  log(`two tabs and a closed one: the stored list ${JSON.stringify(stored.filter((e) => e.name))}`);
  for (const [name, score] of entries) {
    check(stored.some((e) => e.name === name && e.score === score), `the stored list keeps ${name}'s entry`);
  }
  check(names.filter((n) => n === 'LEFT').length === 1, 'each entry is stored once');
  check(errors.length === 0, `no error in the tabs' consoles${errors.length ? ': ' + errors.join(' | ') : ''}`);
}

// A phone: the canvas fits its width, a finger's drag swaps two tiles and
// the page stays where it is.
async function phone(context, errors, url) {
  const page = context.pages()[0] ?? await context.newPage();
  await page.goto(url);
  await firstFrame(page);
  const place = await canvasPlace(page);
  log(`phone: the canvas is ${place.width.toFixed(0)} x ${place.height.toFixed(0)} on a 390 x 844 page`);
  check(await tapToGrid(page, place), 'phone: a tap on the play button leads to the grid');
  const cdp = await context.newCDPSession(page);
  const touch = (type, p) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints: p ? [{ x: p.x, y: p.y }] : [] });
  let changed = 0;
  for (let tries = 0; changed < 3 && tries < 10; ++tries) {
    const before = await readGrid(page);
    const move = findSwap(before.kinds);
    if (!move) { await sleep(500); continue; }
    const a = place.cell(move[0], move[1]), b = place.cell(move[2], move[3]);
    await touch('touchStart', a);
    for (let i = 1; i <= 4; ++i) {
      await touch('touchMove', { x: a.x + (b.x - a.x) * i / 4, y: a.y + (b.y - a.y) * i / 4 });
      await sleep(16);
    }
    await touch('touchEnd');
    await sleep(1500);
    const after = await readGrid(page);
    changed = before.kinds.flat().filter((k, i) => k !== null && after.kinds.flat()[i] !== k).length;
  }
  await page.screenshot({ path: join(shots, '8-phone.png') });
  const scroll = await page.evaluate(() => [window.scrollX, window.scrollY, document.scrollingElement.scrollTop,
    visualViewport.offsetTop, visualViewport.scale]);
  log(`phone: ${changed} cells changed after the drag; scroll ${JSON.stringify(scroll)}`);
  check(changed >= 3, 'phone: a finger dragged across two tiles swaps them (three or more cells change)');
  check(scroll.slice(0, 4).every((v) => v === 0) && scroll[4] === 1, 'phone: the page does not scroll or zoom');
  check(errors.length === 0, `phone: no error in the console${errors.length ? ': ' + errors.join(' | ') : ''}`);
}
