// What the browser tests share: the site served on 127.0.0.1, the demo's
// scenes and golden trace, the page's syncs against the music, and one
// small driver over three engines, so each engine's test is short:
//
//   chromium  Debian's Chromium through puppeteer-core (CDP)
//   firefox   Debian's Firefox ESR through puppeteer-core (WebDriver BiDi)
//   webkit    WebKitGTK's MiniBrowser through selenium-webdriver and
//             WebKitWebDriver, under xvfb-run (scripts/test-web.sh)
//
// env: TOLVARIN_SITE, TOLVARIN_NATIVE, TOLVARIN_GOLDEN, TOLVARIN_SHOTS (see
// page.test.mjs), PUPPETEER_CORE and SELENIUM_WEBDRIVER (the npm modules'
// folders, scripts/test-web.sh installs them), PULSE_SERVER (the null sink
// Firefox and WebKit play into, scripts/pulse-null-sink.sh).
import { after, before } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import zlib from 'node:zlib';

const require = createRequire(import.meta.url);
export const source = fileURLToPath(new URL('../..', import.meta.url));
export const site = path.resolve(process.env.TOLVARIN_SITE || 'build-web/site');
export const native = path.resolve(process.env.TOLVARIN_NATIVE || 'build/tolvarin');
export const golden = path.resolve(process.env.TOLVARIN_GOLDEN || path.join(source, 'tests/golden'));
export const shots = path.resolve(process.env.TOLVARIN_SHOTS || path.join(site, '..', 'screenshots'));

export const trace = (lines) => lines.filter((l) => l.startsWith('{"t":')).map((l) => JSON.parse(l));
export const goldenTrace = () => trace(fs.readFileSync(path.join(golden, 'trace-144.jsonl'), 'utf8').split('\n'));
export const syncEvents = (lines) => trace(lines).filter((e) => e.event === 'sync');

// The demo's scenes in order, as the native program names them (--list-scenes).
export function sceneNames() {
  const out = execFileSync(native, ['--list-scenes'], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] });
  return out.split('\n').filter((l) => l !== '');
}

// The native program's frame hashes of a headless run to `until` seconds.
export function nativeHashes(until) {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tolvarin-hashes-'));
  try {
    const file = path.join(work, 'native.txt');
    execFileSync(native, ['--headless', '--quiet', '--until', String(until), '--frame-hashes', file], { cwd: work, stdio: 'inherit' });
    return fs.readFileSync(file, 'utf8').trimEnd().split('\n');
  } finally {
    fs.rmSync(work, { recursive: true, force: true });
  }
}

// Polls fn() until it gives a true value, which it returns; after timeoutMs
// it fails. The limits are far above what the waits take.
// A call into the page that got no answer in the driver's time (a page
// busy on a loaded machine) counts as "not yet": it is reported, and the
// wait goes on until its own limit.
export async function waitFor(what, fn, timeoutMs) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    let value = null;
    try {
      value = await fn();
    } catch (e) {
      if (!/timed out|timeout/i.test(String(e && e.message)) || Date.now() > end) throw e;
      console.log(`# no answer from the page while waiting for ${what}: ${e.message.split('.')[0]}; asking again`);
    }
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out after ${timeoutMs / 1000} s waiting for ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 100));
  }
}

export function median(values) {
  const s = [...values].sort((a, b) => a - b);
  return s.length ? s[s.length >> 1] : NaN;
}

export function percentile(values, p) {
  const s = [...values].sort((a, b) => a - b);
  return s.length ? s[Math.min(s.length - 1, Math.floor((p / 100) * s.length))] : NaN;
}

// --- The server: the site as it is, or with one file replaced -------------

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css', '.wasm': 'application/wasm',
  '.data': 'application/octet-stream', '.json': 'application/json', '.webmanifest': 'application/manifest+json',
  '.png': 'image/png' };

// `root`: another site folder. `gzip`: every answer gzip-compressed, with
// the compressed length as its Content-Length (a host serving precompressed
// files does that). `trickleMs`: bodies sent 64 KiB at a time, this long
// apart (a slow network). `requests` lists the paths asked for.
export async function startServer({ root = site, gzip = false, trickleMs = 0 } = {}) {
  const overrides = new Map(); // URL path -> {status, body}
  const requests = [];
  const send = (res, status, type, body) => {
    const headers = { 'Content-Type': type };
    if (gzip) {
      body = zlib.gzipSync(body);
      headers['Content-Encoding'] = 'gzip';
    }
    headers['Content-Length'] = body.length;
    res.writeHead(status, headers);
    if (!trickleMs) {
      res.end(body);
      return;
    }
    const piece = 65536;
    const next = (at) => {
      if (res.destroyed) return;
      if (at + piece >= body.length) res.end(body.subarray(at));
      else res.write(body.subarray(at, at + piece), () => setTimeout(() => next(at + piece), trickleMs));
    };
    next(0);
  };
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    requests.push(name);
    const override = overrides.get(name);
    if (override) {
      send(res, override.status, TYPES[path.extname(name)] || 'application/octet-stream', Buffer.from(override.body));
      return;
    }
    const file = path.join(root, name === '/' ? 'index.html' : name);
    if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      send(res, 404, 'text/plain', Buffer.from('not found'));
      return;
    }
    send(res, 200, TYPES[path.extname(file)] || 'application/octet-stream', fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    origin: `http://127.0.0.1:${server.address().port}`,
    overrides,
    requests,
    close: () => {
      server.close();
      server.closeAllConnections();
    },
  };
}

// --- The page's syncs against the music ----------------------------------------

// Each sync's row, and the time the native program reached it in virtual
// time at 144 fps (`marker`, to the millisecond: the row's sound is at most
// 1/144 s before it). `d` is how far after its sound the page's clock was
// when the sync was traced (the marker's time taken as 1/288 s after it).
export function syncTimes(pageSyncs, lines) {
  const markers = new Map();
  for (const e of goldenTrace()) if (e.event === 'sync') markers.set(`${e.order}:${e.row}`, e.t);
  const rows = new Map(syncEvents(lines).map((e) => [e.t, `${e.order}:${e.row}`]));
  return pageSyncs.map((s) => {
    const row = rows.get(s.t);
    const marker = markers.get(row);
    return { row, marker, d: s.heard - (marker - 1 / 288), released: s.released, before: s.before, pollGap: s.pollGap };
  });
}

export const showSyncs = (syncs) => syncs.map((x) => `${x.row} ${x.d >= 0 ? '+' : ''}${x.d.toFixed(4)} s (${x.pollGap.toFixed(1)} ms poll gap)`).join(', ');

// The program releases a sync at its first poll whose heard second (the
// page's music clock) has reached the row's sound: never before it, and
// never a poll later. How soon the poll comes after the sound is up to the
// machine's speed, and only printed.
export function assertReleasedOnTime(syncs, who = '') {
  for (const x of syncs) {
    assert.ok(x.marker !== undefined, `${who}sync at ${x.row} has no marker time`);
    assert.ok(x.d > -0.005, `${who}sync ${x.row} traced ${x.d.toFixed(4)} s from its sound by the page's clock`);
    assert.ok(x.released > x.marker - 1 / 144 - 0.001,
      `${who}sync ${x.row} released at the heard second ${x.released.toFixed(4)}, before its sound (${x.marker})`);
    assert.ok(x.before < x.marker + 0.001,
      `${who}sync ${x.row} released a poll late: the poll before already heard ${x.before.toFixed(4)} (its sound at ${x.marker})`);
  }
}

// Syncs within two of the display's frames of their sound, at the median
// (a loaded machine may hold one poll up now and then: the worst is printed).
export function assertInStep(syncs, intervalMs, who = '') {
  const frames = median(syncs.map((x) => x.d)) / (intervalMs / 1000);
  assert.ok(frames <= 2, `${who}syncs ${frames.toFixed(2)} frames after their sound at the median`);
}

export function syncSummary(syncs, intervalMs) {
  const ds = syncs.map((x) => x.d);
  const f = (s) => `${(s * 1000).toFixed(1)} ms`;
  return `${syncs.length} syncs, after their sound by median ${f(median(ds))}, worst ${f(Math.max(...ds))} (a frame: ${intervalMs.toFixed(1)} ms)`;
}

export function speedTable(title, scenes) {
  const lines = [`${title}: scene, frames, wasm draw ms median / 95th percentile / worst, skipped frames`];
  for (const s of scenes) {
    lines.push(`  ${s.name.padEnd(15)} ${String(s.frames).padStart(5)}  ${median(s.draw).toFixed(2).padStart(6)} / ${percentile(s.draw, 95).toFixed(2).padStart(6)} / ${Math.max(...s.draw).toFixed(2).padStart(6)}  ${s.skipped}`);
  }
  return lines.join('\n');
}

// --- Engines -------------------------------------------------------------------

export const ENGINES = ['chromium', 'firefox', 'webkit'];

const CHROMIUM_ARGS = ['--headless=new', '--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--mute-audio',
  // A page in the test is never "in the background": its timers and
  // animation frames keep their pace.
  '--disable-background-timer-throttling', '--disable-renderer-backgrounding', '--disable-backgrounding-occluded-windows'];

// A tab of one engine: its console (lines and errors), the page's state,
// the viewer's input, screenshots.
class Tab {
  constructor(engine) {
    this.engine = engine;
    this.lines = [];
    this.errors = [];
  }

  // The page's state; {phase: 'opening'} before its modules have run.
  inspect() {
    return this.eval("window.tolvarinPage ? window.tolvarinPage.inspect() : { phase: 'opening' }");
  }

  overlayText() {
    return this.eval("(() => { const e = document.getElementById('overlay'); return e.hidden ? '' : e.textContent.trim(); })()");
  }

  // Non-black pixels of the canvas.
  litPixels() {
    return this.eval(`(() => {
      const c = document.getElementById('screen');
      const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      let lit = 0;
      for (let i = 0; i < d.length; i += 4) if (d[i] + d[i + 1] + d[i + 2] > 24) lit += 1;
      return lit;
    })()`);
  }

  // The trace events seen so far (the console read first).
  async trace() {
    await this.sync();
    return trace(this.lines);
  }

  async sync() {}
}

class PuppeteerTab extends Tab {
  constructor(engine, page) {
    super(engine);
    this.page = page;
    page.on('console', (m) => {
      if (m.type() === 'error') this.errors.push(m.text());
      else this.lines.push(m.text());
    });
    page.on('pageerror', (e) => this.errors.push(`page error: ${e.message}`));
  }

  eval(expression) {
    return this.page.evaluate(expression);
  }

  async click(selector) {
    await this.page.click(selector);
  }

  // A key for the demo: a letter (Firefox refuses names such as 'Space').
  async key() {
    await this.page.keyboard.press('a');
  }

  async tap(x, y) {
    await this.page.touchscreen.tap(x, y);
  }

  // The picture alone: the full-screen button and the control bar hidden.
  async shot(file) {
    const hide = (v) => document.querySelectorAll('#fullscreen, #controls').forEach((e) => { e.style.visibility = v; });
    await this.page.evaluate(hide, 'hidden');
    await (await this.page.$('#screen')).screenshot({ path: file });
    await this.page.evaluate(hide, '');
  }

  async pageShot(file) {
    await this.page.screenshot({ path: file });
  }

  // Another tab in front of this one, and this one back.
  async hide() {
    this.other = await this.page.browser().newPage();
    await this.other.bringToFront();
  }

  async unhide() {
    await this.page.bringToFront();
    await this.other.close();
    this.other = null;
  }

  async close() {
    await this.page.close();
  }
}

class SeleniumTab extends Tab {
  constructor(engine, driver, webdriver) {
    super(engine);
    this.driver = driver;
    this.webdriver = webdriver;
    this.read = 0; // entries of the page's log taken so far
  }

  eval(expression) {
    return this.driver.executeScript(`return ${expression};`);
  }

  // WebKit's WebDriver has no console events: the page keeps its console
  // lines itself (?log) and this takes the new ones.
  async sync() {
    const entries = await this.driver.executeScript(`return (window.tolvarinLog || []).slice(${this.read});`);
    this.read += entries.length;
    for (const e of entries) (e.type === 'error' ? this.errors : this.lines).push(e.text);
  }

  async inspect() {
    await this.sync();
    return super.inspect();
  }

  async click(selector) {
    const element = await this.driver.findElement(this.webdriver.By.css(selector));
    await this.driver.actions({ async: true }).move({ origin: element }).press().release().perform();
  }

  async key() {
    await this.driver.actions({ async: true }).keyDown('a').keyUp('a').perform();
  }

  async shot(file) {
    const element = await this.driver.findElement(this.webdriver.By.css('#screen'));
    const hide = (v) => this.eval(`document.querySelectorAll('#fullscreen, #controls').forEach((e) => { e.style.visibility = '${v}'; })`);
    await hide('hidden');
    fs.writeFileSync(file, Buffer.from(await element.takeScreenshot(), 'base64'));
    await hide('');
  }

  async pageShot(file) {
    fs.writeFileSync(file, Buffer.from(await this.driver.takeScreenshot(), 'base64'));
  }

  // The window minimized and back: MiniBrowser's tabs opened by the driver
  // leave the first one visible.
  async hide() {
    this.rect = await this.driver.manage().window().getRect();
    await this.driver.manage().window().minimize();
  }

  async unhide() {
    await this.driver.manage().window().setRect(this.rect);
  }

  async close() {}
}

// One engine's browser. `sound: false` starts it where no sound server
// answers (Firefox, WebKit) or makes Chromium's audio context one that
// never starts (a stand-in for a refused one: its resume() does nothing
// until window.tolvarinAllowSound is set). `refused: true` puts that
// stand-in in Firefox too, with its sound server there: the context starts
// late, when the test allows it.
export async function launch(engine, { origin, sound = true, refused = !sound && engine === 'chromium' } = {}) {
  if (engine === 'webkit') return launchWebKit({ origin, sound });
  const puppeteer = require(process.env.PUPPETEER_CORE);
  const env = { ...process.env };
  if (!sound) env.PULSE_SERVER = 'unix:/nonexistent/pulse/native';
  const browser = engine === 'firefox'
    ? await puppeteer.launch({ browser: 'firefox', executablePath: process.env.TOLVARIN_FIREFOX || '/usr/bin/firefox-esr',
      headless: true, env, protocolTimeout: 60000,
      extraPrefsFirefox: { 'media.autoplay.default': 0, 'media.autoplay.blocking_policy': 0 } })
    : await puppeteer.launch({ executablePath: process.env.TOLVARIN_CHROMIUM || '/usr/bin/chromium', args: CHROMIUM_ARGS });
  return {
    engine,
    browser,
    // `before(page)` runs before the page loads (puppeteer's page).
    async open(query, { width = 1000, height = 760, mobile = false, before = null } = {}) {
      const page = await browser.newPage();
      if (mobile) {
        await page.setUserAgent('Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/140.0 Mobile Safari/537.36');
        await page.setViewport({ width, height, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
      } else {
        await page.setViewport({ width, height });
      }
      if (refused) await page.evaluateOnNewDocument(refusedAudioContext);
      if (before) await before(page);
      const tab = new PuppeteerTab(engine, page);
      await page.goto(`${origin}/index.html${query}`);
      return tab;
    },
    async close() {
      await browser.close();
    },
  };
}

// The site's server and one engine's browser for the tests of the file or
// describe block this is called in: started before them, closed after.
// `server` holds startServer's options; the rest go to launch().
export function browserForTests(engine, { server: serverOptions = {}, ...launchOptions } = {}) {
  const run = { server: null, browser: null };
  before(async () => {
    run.server = await startServer(serverOptions);
    run.browser = await launch(engine, { origin: run.server.origin, ...launchOptions });
    fs.mkdirSync(shots, { recursive: true });
  });
  after(async () => {
    if (run.browser) await run.browser.close();
    if (run.server) run.server.close();
  });
  return run;
}

// Chromium's stand-in for sound that does not start: every context it
// makes is suspended at once and its resume() is refused until the test
// sets window.tolvarinAllowSound (a later gesture that gets sound going).
function refusedAudioContext() {
  const Real = window.AudioContext;
  window.AudioContext = class extends Real {
    constructor(options) {
      super(options);
      super.suspend();
    }

    resume() {
      return window.tolvarinAllowSound ? super.resume() : Promise.resolve();
    }
  };
}

async function launchWebKit({ origin, sound }) {
  const webdriver = require(process.env.SELENIUM_WEBDRIVER);
  const { DriverService } = require(`${process.env.SELENIUM_WEBDRIVER}/remote`);
  const env = { ...process.env };
  if (!sound) env.PULSE_SERVER = 'unix:/nonexistent/pulse/native';
  // The driver on the loopback address: without it the client waits on the
  // machine's external one.
  const service = new DriverService.Builder(process.env.TOLVARIN_WEBKIT_DRIVER || '/usr/bin/WebKitWebDriver')
    .setHostname('127.0.0.1').setEnvironment(env).build();
  const url = await service.start(30000);
  const binary = process.env.TOLVARIN_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
  let driver = null;
  return {
    engine: 'webkit',
    async open(query, { width = 1000, height = 760 } = {}) {
      if (driver) await driver.quit();
      const caps = new webdriver.Capabilities({ browserName: 'MiniBrowser', 'webkitgtk:browserOptions': { binary, args: ['--automation'] } });
      driver = await new webdriver.Builder().usingServer(url).withCapabilities(caps).build();
      await driver.manage().window().setRect({ width, height }).catch(() => {});
      const tab = new SeleniumTab('webkit', driver, webdriver);
      const sep = query === '' ? '?' : '&';
      await driver.get(`${origin}/index.html${query}${sep}log`);
      return tab;
    },
    async close() {
      if (driver) await driver.quit().catch(() => {});
      await service.kill();
    },
  };
}
