// The demo's page in a real browser: Debian's Chromium driven by
// puppeteer-core, the site (build-web/site/) served on 127.0.0.1 by a server this
// file starts and stops (the server and the sync arithmetic are harness.mjs's,
// shared with the other engines' tests). CTest runs it as browser.page in the web build
// (tests/browser/CMakeLists.txt sets the environment below but the last):
//
//   node --test tests/browser/page.test.mjs
//   env: TOLVARIN_SITE     the site folder (build-web/site)
//        TOLVARIN_NATIVE   the native program (build/tolvarin)
//        TOLVARIN_GOLDEN   tests/golden (the native 144 fps trace)
//        TOLVARIN_SHOTS    where the canvas screenshots go
//        PUPPETEER_CORE    puppeteer-core's folder (scripts/test-web.sh sets it)
//
// Nothing here depends on the machine's speed: every wait is for something
// the page or the program does (a trace line, the page's state, a counter of
// its statistics), with a generous limit. Speed and sync figures are
// printed, not asserted; what the page must keep is asserted: a sync
// released at the first poll after its sound, ?fps never over its rate.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {
  assertReleasedOnTime, median, native, sceneNames, shots, showSyncs, site, source, speedTable, startServer,
  syncEvents, syncTimes, trace, waitFor,
} from './harness.mjs';

const require = createRequire(import.meta.url);
if (!process.env.PUPPETEER_CORE) {
  throw new Error('PUPPETEER_CORE is not set: the folder of puppeteer-core (scripts/test-web.sh installs it and sets it)');
}
const puppeteer = require(process.env.PUPPETEER_CORE);

// The site as it is.
let server;
let origin;
let browser;
before(async () => {
  server = await startServer();
  ({ origin } = server);
  browser = await puppeteer.launch({
    executablePath: process.env.TOLVARIN_CHROMIUM || '/usr/bin/chromium',
    args: ['--headless=new', '--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--mute-audio',
      // A page in the test is never "in the background": its timers and
      // animation frames keep their pace.
      '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
      '--disable-backgrounding-occluded-windows'],
  });
  fs.mkdirSync(shots, { recursive: true });
});
after(async () => {
  if (browser) await browser.close();
  if (server) server.close();
});

// --- Helpers ----------------------------------------------------------------

// A page with its console collected: log lines (trace, hashes) and errors.
// `at`: another server's origin.
async function openPage(query, { width = 1000, height = 760, at = origin } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width, height });
  const console_ = { lines: [], errors: [] };
  page.on('console', (m) => {
    if (m.type() === 'error') console_.errors.push(m.text());
    else console_.lines.push(m.text());
  });
  page.on('pageerror', (e) => console_.errors.push(`page error: ${e.message}`));
  await page.goto(`${at}/index.html${query}`);
  return { page, console: console_ };
}

const inspect = (page) => page.evaluate(() => window.tolvarinPage.inspect());

const overlayText = (page) => page.$eval('#overlay', (e) => (e.hidden ? '' : e.textContent.trim()));

// Non-black pixels of the canvas.
const litPixels = (page) => page.evaluate(() => {
  const c = document.getElementById('screen');
  const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  let lit = 0;
  for (let i = 0; i < d.length; i += 4) if (d[i] + d[i + 1] + d[i + 2] > 24) lit += 1;
  return lit;
});

// The canvas as the viewer sees it, without the full-screen button over its corner.
async function canvasShot(page, name) {
  await page.$eval('#fullscreen', (e) => { e.style.visibility = 'hidden'; });
  await (await page.$('#screen')).screenshot({ path: path.join(shots, name) });
  await page.$eval('#fullscreen', (e) => { e.style.visibility = ''; });
}

// --- The tests ----------------------------------------------------------------

describe('the contract between the page and the program', () => {
  test('every call the program makes is in contract.js, and the page has each', async () => {
    // The program's side: the calls its C++ sources make on the page and on
    // Module (wherever the web backends live under src/).
    const called = new Set();
    const walk = (dir) => {
      for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
        const file = path.join(dir, entry.name);
        if (entry.isDirectory()) walk(file);
        else if (/\.(cpp|h|hpp)$/.test(entry.name)) {
          const text = fs.readFileSync(file, 'utf8');
          for (const m of text.matchAll(/\btolvarinPage\.([\w.]+)\s*\(/g)) called.add(`tolvarinPage.${m[1]}`);
          for (const m of text.matchAll(/\bModule\['(\w+)'\]\s*\(/g)) called.add(`Module.${m[1]}`);
        }
      }
    };
    walk(path.join(source, 'src'));
    assert.ok(called.has('tolvarinPage.show') && called.has('Module.onMainEnd'), `found only ${[...called].join(', ')}`);

    const { page, console: log } = await openPage('');
    try {
      await waitFor('the program loaded', async () => (await inspect(page)).phase === 'ready', 120000);
      const found = await page.evaluate(async () => {
        const contract = await import('./contract.js');
        const lookup = (call) => contract.callPath(call).reduce((o, name) => (o == null ? undefined : o[name]), window);
        const kinds = (table) => table.map(([call]) => [contract.callPath(call).join('.'), typeof lookup(call)]);
        return { program: kinds(contract.PROGRAM_CALLS), page: kinds(contract.PAGE_CALLS), noInitialRun: window.Module.noInitialRun };
      });
      assert.deepEqual(found.program.map(([name]) => name).sort(), [...called].sort(),
        'contract.js lists exactly the calls the program makes');
      for (const [name, kind] of [...found.program, ...found.page]) {
        if (name === 'Module.noInitialRun') continue;
        assert.equal(kind, 'function', `${name} is not a function on the page`);
      }
      assert.equal(found.noInitialRun, true);
      assert.deepEqual(log.errors, []);
    } finally {
      await page.close();
    }
  });
});

describe('a viewer opens the page', () => {
  let page;
  let log;
  before(async () => {
    ({ page, console: log } = await openPage('?trace'));
  });
  after(async () => page && page.close());

  test('loads with the title and no console error, then asks for a click', async () => {
    assert.equal(await page.title(), 'Tolvarin, Quarnel, 2000.');
    await waitFor('the start overlay', async () => (await overlayText(page)) === 'click or press a key to start', 120000);
    assert.deepEqual(log.errors, []);
    assert.equal((await inspect(page)).phase, 'ready');
  });

  test('a click starts the demo with the sound running, and the logo shows', async () => {
    // The statistics, asked for by the flag instead of the URL.
    await page.evaluate(() => { window.tolvarinStats = true; });
    await page.click('#overlay');
    const firstSync = await waitFor('the first sync', async () => syncEvents(log.lines)[0], 60000);
    assert.ok(firstSync);
    const syncSeen = Date.now();
    const info = await inspect(page);
    assert.equal(info.phase, 'running');
    assert.equal(info.audio.state, 'running');
    assert.equal(info.audio.kind, 'audioworklet');
    assert.notEqual(info.stats, null);
    // The click was the start, not a key for the demo: the logo scene runs.
    await waitFor('the logo on the canvas', async () => (await litPixels(page)) > 2000, 60000);
    console.log(`the logo showed ${Date.now() - syncSeen} ms after the first sync was seen`);
    assert.ok(trace(log.lines).some((e) => e.event === 'begin' && e.scene === 'LogoZoom'));
    assert.ok(!trace(log.lines).some((e) => e.event === 'key'));
  });

  test('the first minute: each sync released at the first poll after its sound; speed printed', async () => {
    // Left alone for the minute (a screenshot or questions to the page would
    // cost it frames; the trace comes in on the console by itself), then
    // asked once.
    await waitFor('a minute of the demo', async () => trace(log.lines).some((e) => e.t >= 60), 600000);
    const info = await inspect(page);
    const { stats } = info;
    const syncs = syncTimes(stats.syncs, log.lines);
    console.log(`syncs against the audio clock (heard second minus the sound's, s; one frame = ${(stats.interval / 1000).toFixed(4)} s):`);
    console.log(`  ${showSyncs(syncs)}`);
    console.log(`median: ${median(syncs.map((x) => x.d)).toFixed(4)} s`);
    const skippedFirstMinute = stats.skips.filter((s) => s.at < 60).reduce((n, s) => n + s.frames, 0);
    console.log(speedTable('first minute', stats.scenes));
    console.log(`skipped frames in the first minute: ${skippedFirstMinute}; sound underruns: ${stats.underruns}`);
    assert.ok(syncs.length >= 5, `only ${syncs.length} syncs in a minute`);
    assertReleasedOnTime(syncs);
    assert.deepEqual(log.errors, []);
  });
});

describe('a tab in the background', () => {
  test('pauses the demo and its music together; they go on in step', async () => {
    const other = await browser.newPage();
    const { page, console: log } = await openPage('?autostart&trace&stats');
    try {
      await waitFor('the first sync', async () => (await inspect(page)).stats?.syncs.length > 0, 120000);
      const before = await inspect(page);
      await other.bringToFront();
      const hidden = await waitFor('the music suspended', async () => {
        const info = await inspect(page);
        return info.audio.state === 'suspended' && info;
      }, 30000);
      const linesHidden = trace(log.lines).length;
      // A second and a half by the page's own count of the pause.
      const stillHidden = await waitFor('the pause to last', async () => {
        const info = await inspect(page);
        return info.paused >= hidden.paused + 1.5 && info;
      }, 60000);
      // Nothing ran on while hidden: no new trace line, the music stood still.
      assert.equal(trace(log.lines).length, linesHidden);
      assert.ok(stillHidden.audio.time - hidden.audio.time < 0.05, `the music went on ${stillHidden.audio.time - hidden.audio.time} s`);
      await page.bringToFront();
      // The next syncs come from the music's place and are released with it
      // (a demo clock that ran on while hidden would release them early).
      const back = await waitFor('two more syncs', async () => {
        const info = await inspect(page);
        return info.stats.syncs.length >= before.stats.syncs.length + 2 && info;
      }, 60000);
      assert.equal(back.audio.state, 'running');
      assert.ok(back.paused >= 1.5, `paused ${back.paused} s`);
      const syncs = syncTimes(back.stats.syncs.slice(before.stats.syncs.length), log.lines);
      console.log(`syncs after ${back.paused.toFixed(2)} s in the background: ${showSyncs(syncs)}`);
      assertReleasedOnTime(syncs);
      assert.deepEqual(log.errors, []);
    } finally {
      await other.close();
      await page.close();
    }
  });
});

describe('layout', () => {
  test('the canvas is the largest whole multiple of 320x240 that fits, black around', async () => {
    const { page } = await openPage('');
    const box = () => page.$eval('#screen', (c) => {
      const r = c.getBoundingClientRect();
      return { w: r.width, h: r.height, rendering: getComputedStyle(c).imageRendering, bg: getComputedStyle(document.body).backgroundColor };
    });
    try {
      for (const [w, h, k] of [[1000, 760, 3], [700, 500, 2], [1300, 980, 4], [400, 250, 1], [1920, 500, 2]]) {
        await page.setViewport({ width: w, height: h });
        // The page fits the canvas when the resize event comes.
        const fitted = await waitFor(`the canvas fitted to ${w}x${h}`, async () => {
          const b = await box();
          return b.w === 320 * k && b.h === 240 * k && b;
        }, 10000).catch(() => box());
        assert.deepEqual([fitted.w, fitted.h], [320 * k, 240 * k], `${w}x${h}`);
        assert.equal(fitted.rendering, 'pixelated');
        assert.equal(fitted.bg, 'rgb(0, 0, 0)');
      }
    } finally {
      await page.close();
    }
  });
});

describe('the display\'s cadence', () => {
  test('a frame\'s gap is read against the display\'s usual shortest one, one odd short gap left out', async () => {
    const { page } = await openPage('');
    try {
      const got = await page.evaluate(async () => {
        const { Cadence } = await import('./clock.js');
        const c = new Cadence();
        let t = 1000;
        const frame = (gap) => { t += gap; return c.frame(t); };
        frame(0);
        for (let i = 0; i < 30; i += 1) frame(16.7);
        const steady = c.interval;
        // Two frames stamped 3 ms apart (Firefox, after a long wait), then
        // a steady run again and one frame late by a whole period.
        frame(2000);
        frame(3);
        for (let i = 0; i < 20; i += 1) frame(16.7);
        return { steady, after: c.interval, late: frame(33.4) / c.interval };
      });
      assert.ok(Math.abs(got.steady - 16.7) < 0.01, `steady: ${got.steady}`);
      assert.ok(Math.abs(got.after - 16.7) < 0.01, `after an odd short gap: ${got.after}`);
      assert.equal(Math.round(got.late), 2);
    } finally {
      await page.close();
    }
  });
});

describe('full screen', () => {
  test('Alt+Enter and a double-click toggle it, and neither is a key for the demo', async () => {
    const { page, console: log } = await openPage('?autostart&trace');
    try {
      await waitFor('the first scene', async () => trace(log.lines).some((e) => e.event === 'begin'), 120000);
      await page.keyboard.down('Alt');
      await page.keyboard.press('Enter');
      await page.keyboard.up('Alt');
      await waitFor('full screen', async () => page.evaluate(() => document.fullscreenElement?.id === 'stage'), 10000);
      await page.mouse.click(500, 380, { count: 2 });
      await waitFor('windowed again', async () => page.evaluate(() => document.fullscreenElement === null), 10000);
      // A key after them: once the program has taken it, it has taken
      // whatever came before, and it must be the only key it got.
      await page.keyboard.press('Space');
      await waitFor('the key taken', async () => trace(log.lines).some((e) => e.event === 'key'), 60000);
      assert.equal(trace(log.lines).filter((e) => e.event === 'key').length, 1);
      // No statistics were asked for: the page keeps none.
      assert.equal((await inspect(page)).stats, null);
      assert.deepEqual(log.errors, []);
    } finally {
      await page.close();
    }
  });
});

describe('?fps', () => {
  test('?fps=30 shows at most 30 frames a second, in time with the music', async () => {
    const { page, console: log } = await openPage('?autostart&trace&fps=30');
    try {
      // From the first sync after the start to one ten seconds on.
      const [a, b] = await waitFor('ten seconds of syncs', async () => {
        const syncs = syncEvents(log.lines).filter((e) => e.t > 0.5);
        const last = syncs.find((e) => e.t >= syncs[0]?.t + 10);
        return last && [syncs[0], last];
      }, 120000);
      const frames = b.frame - a.frame;
      console.log(`?fps=30: ${(frames / (b.t - a.t)).toFixed(1)} frames a second between two syncs ${(b.t - a.t).toFixed(2)} s apart`);
      // Paced by the animation frames: a frame is due every 1/30 s; one late
      // may be followed by a few at the display's rate to catch up, but never
      // more than that (a busy machine may show fewer).
      assert.ok(frames <= 30 * (b.t - a.t) + 5, `${frames} frames in ${b.t - a.t} s`);
      assert.deepEqual(log.errors, []);
    } finally {
      await page.close();
    }
  });
});

describe('virtual time in the page', () => {
  test('?headless&until=30 gives the native program\'s frame hashes', async () => {
    const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tolvarin-page-'));
    try {
      const file = path.join(work, 'native.txt');
      execFileSync(native, ['--headless', '--quiet', '--until', '30', '--frame-hashes', file], { cwd: work, stdio: 'inherit' });
      const expected = fs.readFileSync(file, 'utf8').trimEnd().split('\n');
      const { page, console: log } = await openPage('?headless&until=30');
      try {
        await waitFor('the headless run', async () => (await inspect(page)).phase === 'ended', 900000);
        const got = log.lines.filter((l) => !l.startsWith('{'));
        assert.ok(expected.length > 1000, `native gave ${expected.length} lines`);
        assert.equal(got.length, expected.length);
        assert.deepEqual(got, expected);
        assert.equal(await overlayText(page), 'done');
        assert.deepEqual(log.errors, []);
      } finally {
        await page.close();
      }
    } finally {
      fs.rmSync(work, { recursive: true, force: true });
    }
  });
});

describe('keys walk through the demo', () => {
  test('a key every few seconds ends each scene in order, and the final key ends the demo', async () => {
    const scenes = sceneNames();
    const { page, console: log } = await openPage('?autostart&trace&stats');
    try {
      await waitFor('the first scene', async () => trace(log.lines).some((e) => e.event === 'begin' && e.scene === scenes[0]), 120000);
      // A key ends the running scene, or one phase of the scenes that have
      // phases. The key that ends the greetings is still pending when the
      // closing picture comes, so it ends the demo too: the final key.
      const current = () => [...trace(log.lines)].reverse().find((e) => e.event === 'begin' && !e.scene.includes('.')).scene;
      const keysTaken = () => trace(log.lines).filter((e) => e.event === 'key').length;
      const last = scenes[scenes.length - 1];
      let keys = 0;
      let shot3d = false;
      while (current() !== last) {
        assert.ok(keys < 30, 'the keys do not reach the closing picture');
        // About three seconds of frames before each key.
        const shown = (await inspect(page)).stats.frames;
        await waitFor('three seconds of frames', async () => current() === last || (await inspect(page)).stats.frames >= shown + 180, 120000);
        if (current() === last) break;
        if (keys === 0) await canvasShot(page, 'logo-zoom.png');
        if (current() === 'Scene3D' && !shot3d) {
          // A few seconds into the 3D scene's first phase.
          await canvasShot(page, 'scene3d.png');
          shot3d = true;
        }
        await page.keyboard.press('Space');
        keys += 1;
        await waitFor('the key taken', async () => keysTaken() === keys, 60000);
      }
      await waitFor('the end of the demo', async () => (await inspect(page)).phase === 'ended', 60000);
      const events = trace(log.lines);
      const begins = events.filter((e) => e.event === 'begin' && !e.scene.includes('.')).map((e) => e.scene);
      assert.deepEqual(begins, scenes);
      for (const scene of scenes.slice(0, -1)) {
        assert.ok(events.some((e) => e.event === 'end' && e.scene === scene), `no end of ${scene}`);
      }
      assert.equal(keysTaken(), keys);
      assert.equal(await overlayText(page), 'press a key to watch again');
      const info = await inspect(page);
      assert.equal(info.exitCode, 0);
      console.log(speedTable(`scene by scene (${keys} keys, 180 frames before each)`, info.stats.scenes));
      assert.deepEqual(log.errors, []);
    } finally {
      await page.close();
    }
  });

  test('the closing picture stays until a key; then a key plays the demo again', async () => {
    const { page, console: log } = await openPage('?autostart&trace&stats&start=CreditsFadeIn');
    try {
      await waitFor('the closing picture', async () => trace(log.lines).some((e) => e.event === 'begin' && e.scene === 'CreditsFadeIn'), 120000);
      // It fades in over 255 frames, then holds: a second and a half after
      // its last frame the program still runs, waiting for the key.
      const framesOf = (info) => info.stats.scenes.find((s) => s.name === 'CreditsFadeIn')?.frames ?? 0;
      const held = await waitFor('the picture held after its fade', async () => {
        const info = await inspect(page);
        return framesOf(info) >= 255 && info.stats.sinceFrame >= 1500 && info;
      }, 120000);
      assert.equal(framesOf(held), 255);
      assert.equal(held.phase, 'running');
      const lit = await litPixels(page);
      assert.ok(lit > 10000, `the closing picture has only ${lit} lit pixels`);
      await page.keyboard.press('KeyA');
      await waitFor('the end', async () => (await inspect(page)).phase === 'ended', 60000);
      assert.equal(await overlayText(page), 'press a key to watch again');
      assert.equal(await litPixels(page), lit, 'the last frame stays under the overlay');
      const before = log.lines.length;
      await page.keyboard.press('KeyA');
      await waitFor('the second showing', async () => trace(log.lines.slice(before)).some((e) => e.event === 'begin'), 120000);
      const again = await inspect(page);
      assert.equal(again.audio.state, 'running');
      assert.equal(again.phase, 'running');
      assert.deepEqual(log.errors, []);
    } finally {
      await page.close();
    }
  });
});

describe('sound without AudioWorklet', () => {
  test('?sound=script plays through a ScriptProcessor with the same clock', async () => {
    const { page, console: log } = await openPage('?autostart&trace&stats&sound=script');
    try {
      const info = await waitFor('two syncs', async () => {
        const i = await inspect(page);
        return i.stats?.syncs.length >= 2 && i;
      }, 120000);
      assert.equal(info.audio.kind, 'scriptprocessor');
      assert.equal(info.audio.state, 'running');
      const syncs = syncTimes(info.stats.syncs, log.lines);
      console.log(`?sound=script syncs: ${showSyncs(syncs)}`);
      assertReleasedOnTime(syncs);
      assert.deepEqual(log.errors, []);
    } finally {
      await page.close();
    }
  });
});

// Each with a server of its own: the site the earlier tests' pages kept for
// offline visits (service-worker.js) would answer instead of the server's
// replaced file.
describe('data that fails to load', () => {
  test('a damaged music file: the program\'s own message is on the page', async () => {
    // The packed data with the module's bytes zeroed, at the offsets the
    // loader script lists.
    const loader = fs.readFileSync(path.join(site, 'tolvarin-page.js'), 'utf8');
    const m = /"filename":"\/data\/004fin\.s3m","start":(\d+),"end":(\d+)/.exec(loader);
    assert.ok(m, 'the module is not in the packed data');
    const data = Buffer.from(fs.readFileSync(path.join(site, 'tolvarin-page.data')));
    data.fill(0, Number(m[1]), Number(m[2]));
    const own = await startServer();
    own.overrides.set('/tolvarin-page.data', { status: 200, body: data });
    try {
      const { page } = await openPage('?autostart', { at: own.origin });
      try {
        await waitFor('the message', async () => page.$eval('#message', (e) => !e.hidden), 120000);
        const caption = await page.$eval('#message-caption', (e) => e.textContent);
        const text = await page.$eval('#message-text', (e) => e.textContent);
        assert.equal(caption, 'Error');
        assert.match(text, /^Can't load music\n\(error code: -?\d+\)$/);
        await waitFor('the end', async () => (await inspect(page)).phase === 'failed', 60000);
        assert.equal((await inspect(page)).exitCode, 1);
      } finally {
        await page.close();
      }
    } finally {
      own.close();
    }
  });

  test('the data not found: the page says so instead of staying blank', async () => {
    const own = await startServer();
    own.overrides.set('/tolvarin-page.data', { status: 404, body: 'not found' });
    try {
      const { page } = await openPage('', { at: own.origin });
      try {
        await waitFor('the message', async () => page.$eval('#message', (e) => !e.hidden), 120000);
        const text = await page.$eval('#message-text', (e) => e.textContent);
        assert.match(text, /could not load the demo/);
        assert.match(text, /tolvarin-page\.data/);
      } finally {
        await page.close();
      }
    } finally {
      own.close();
    }
  });
});
