// The site as a host gets it (build-web/site/) and as a visitor keeps it:
// the folder holds the site's files and nothing else, the service worker
// brings the demo back with no network at all, a new build replaces the old
// cache whole (a half-uploaded one is refused), and the loading bar stays
// within 100 % when the server compresses. Chromium through puppeteer-core;
// every test serves its own copy of the site on its own port, so each has
// an origin, a service worker and caches of its own.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { launch, sceneNames, site, source, startServer, trace, waitFor } from './harness.mjs';
import { stampSite } from '../../web/stamp-site.mjs';

const template = path.join(source, 'web/service-worker.js');
let browser;
const cleanups = [];
before(async () => {
  browser = await launch('chromium');
});
after(async () => {
  for (const c of cleanups.reverse()) await c();
  if (browser) await browser.close();
});

// The SITE object the build wrote into the service worker.
function stampedSite(folder) {
  const text = fs.readFileSync(path.join(folder, 'service-worker.js'), 'utf8');
  return JSON.parse(/^const SITE = (.*);$/m.exec(text)[1]);
}

// A copy of the site in a folder of its own (the test may change it).
function siteCopy() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'tolvarin-site-'));
  for (const name of fs.readdirSync(site)) fs.copyFileSync(path.join(site, name), path.join(folder, name));
  cleanups.push(() => fs.rmSync(folder, { recursive: true, force: true }));
  return folder;
}

async function serve(options) {
  const server = await startServer(options);
  cleanups.push(() => server.close());
  return server;
}

// A page's console into log.
function watch(page, log) {
  page.on('console', (m) => (m.type() === 'error' ? log.errors : log.lines).push(m.text()));
  page.on('pageerror', (e) => log.errors.push(`page error: ${e.message}`));
}

// A page in a browser context of its own, its console collected.
async function openPage(url, { before: prepare = null } = {}) {
  const context = await browser.browser.createBrowserContext();
  const page = await context.newPage();
  const log = { lines: [], errors: [] };
  watch(page, log);
  if (prepare) await prepare(page);
  await page.goto(url);
  return { page, log, context, close: () => context.close() };
}

const inspect = (page) => page.evaluate(() => (window.tolvarinPage ? window.tolvarinPage.inspect() : { phase: 'opening' }));
const cacheNames = (page) => page.evaluate(() => caches.keys());
// The paths the site's cache holds.
const cachedPaths = (page, name) => page.evaluate(async (n) => (await (await caches.open(n)).keys()).map((r) => r.url), name);
// The service worker in charge of the page and the one waiting, by state.
const workers = (page) => page.evaluate(async () => {
  const r = await navigator.serviceWorker.getRegistration();
  return {
    controlled: Boolean(navigator.serviceWorker.controller),
    active: r?.active?.state ?? null,
    waiting: r?.waiting?.state ?? null,
    installing: r?.installing?.state ?? null,
  };
});

// Waits until the page is controlled by an activated worker whose cache is
// this build's, whole.
async function keptOffline(page, folder, who) {
  const { version, files } = stampedSite(folder);
  await waitFor(`${who} the service worker active`, async () => (await workers(page)).active === 'activated', 120000);
  await waitFor(`${who} the cache of build ${version}`, async () => {
    const names = await cacheNames(page);
    return names.includes(`tolvarin-site-${version}`) && (await cachedPaths(page, `tolvarin-site-${version}`)).length === Object.keys(files).length;
  }, 120000);
  return version;
}

const sceneBegun = (lines, scene) => trace(lines).some((e) => e.event === 'begin' && e.scene === scene);

describe('the site folder', () => {
  test('it holds the site and nothing else; the worker lists every file with its hash; the manifest and icon are whole', () => {
    const names = fs.readdirSync(site).sort();
    for (const name of names) assert.ok(fs.statSync(path.join(site, name)).isFile(), `${name} is not a file`);
    const plain = names.filter((n) => !/\.(gz|br)$/.test(n));
    for (const need of ['index.html', 'page.css', 'page.js', 'tolvarin-page.js', 'tolvarin-page.wasm', 'tolvarin-page.data',
      'manifest.webmanifest', 'service-worker.js', 'site.js', 'tolvarin-192.png', 'tolvarin-512.png']) {
      assert.ok(plain.includes(need), `${need} is missing from the site`);
    }
    // Only what the page loads: its modules, styles, program, manifest, icons.
    for (const n of plain) assert.match(n, /^[\w.-]+\.(html|css|js|wasm|data|webmanifest|png)$/, `${n} does not belong in the site`);
    assert.ok(!plain.includes('stamp-site.mjs') && !plain.includes('tolvarin.wasm'), 'a build tool or the node program is in the site');
    // Every module the page imports is there.
    for (const n of plain.filter((x) => x.endsWith('.js'))) {
      for (const m of fs.readFileSync(path.join(site, n), 'utf8').matchAll(/^import .* from '\.\/([\w.-]+)';$/gm)) {
        assert.ok(plain.includes(m[1]), `${n} imports ${m[1]}, which is not in the site`);
      }
    }
    // Precompressed copies decode to their files.
    for (const n of names.filter((x) => /\.(gz|br)$/.test(x))) {
      const packed = fs.readFileSync(path.join(site, n));
      const unpacked = n.endsWith('.gz') ? zlib.gunzipSync(packed) : zlib.brotliDecompressSync(packed);
      assert.ok(unpacked.equals(fs.readFileSync(path.join(site, n.slice(0, -3)))), `${n} is not its file compressed`);
    }
    assert.ok(names.includes('tolvarin-page.wasm.gz') && names.includes('tolvarin-page.data.br'));
    // The worker's list: every file but itself, each with its hash.
    const { files } = stampedSite(site);
    assert.deepEqual(Object.keys(files).sort(), plain.filter((n) => n !== 'service-worker.js'));
    const sizes = Object.fromEntries(plain.filter((n) => n !== 'service-worker.js' && n !== 'site.js').map((n) => [n, fs.statSync(path.join(site, n)).size]));
    const siteJs = fs.readFileSync(path.join(site, 'site.js'), 'utf8');
    assert.deepEqual(JSON.parse(/SITE_SIZES = ([^;]*);/.exec(siteJs)[1]), sizes);
    // The manifest, and its icons as the PNG sizes they claim.
    const manifest = JSON.parse(fs.readFileSync(path.join(site, 'manifest.webmanifest'), 'utf8'));
    assert.equal(manifest.display, 'standalone');
    assert.equal(manifest.orientation, 'landscape');
    assert.ok(manifest.icons.some((i) => i.sizes === '512x512') && manifest.icons.some((i) => i.sizes === '192x192'));
    for (const icon of manifest.icons) {
      const png = fs.readFileSync(path.join(site, icon.src));
      assert.equal(png.toString('latin1', 1, 4), 'PNG', icon.src);
      assert.equal(`${png.readUInt32BE(16)}x${png.readUInt32BE(20)}`, icon.sizes, icon.src);
    }
  });
});

describe('chromium: the site kept for offline visits', () => {
  test('after one visit the demo plays with the network gone; the cache holds only the site\'s own files', async () => {
    const who = '[offline]';
    const scenes = sceneNames();
    const server = await serve();
    const { page, log, close } = await openPage(`${server.origin}/index.html`);
    try {
      await waitFor(`${who} the program loaded`, async () => (await inspect(page)).phase === 'ready', 180000);
      const version = await keptOffline(page, site, who);
      const { files } = stampedSite(site);
      assert.deepEqual(await cacheNames(page), [`tolvarin-site-${version}`]);
      assert.deepEqual((await cachedPaths(page, `tolvarin-site-${version}`)).sort(), Object.keys(files).map((n) => `${server.origin}/${n}`).sort());
      // The network gone: the browser offline, and the server stopped.
      server.close();
      const asked = server.requests.length;
      await page.setOfflineMode(true);
      log.lines.length = 0;
      await page.goto(`${server.origin}/index.html?autostart&trace`);
      await waitFor(`${who} the opening scene`, async () => sceneBegun(log.lines, scenes[0]), 120000);
      const info = await inspect(page);
      assert.equal(info.phase, 'running');
      assert.equal(server.requests.length, asked, `${who} the server was asked for ${server.requests.slice(asked).join(', ')}`);
      assert.deepEqual(log.errors, []);
    } finally {
      await close();
    }
  });

  test('a new build replaces the old cache whole; a half-uploaded one is refused', async () => {
    const who = '[new build]';
    const folder = siteCopy();
    const server = await serve({ root: folder });
    const opened = await openPage(`${server.origin}/index.html`);
    const { log, close, context } = opened;
    let { page } = opened;
    try {
      await waitFor(`${who} the program loaded`, async () => (await inspect(page)).phase === 'ready', 180000);
      const first = await keptOffline(page, folder, who);
      const oldCss = fs.readFileSync(path.join(folder, 'page.css'));

      // The next build: page.css changed, the site stamped again.
      fs.appendFileSync(path.join(folder, 'page.css'), ':root { --tolvarin-build: 2; }\n');
      const { version: second } = stampSite(folder, template);
      assert.notEqual(second, first);

      // A host half-way through the upload (the new worker, the old
      // page.css): the new build is not installed, the old one stays.
      server.overrides.set('/page.css', { status: 200, body: oldCss });
      await page.evaluate(async () => (await navigator.serviceWorker.getRegistration()).update().catch(() => {}));
      await waitFor(`${who} the refused install over`, async () => (await workers(page)).installing === null, 120000);
      assert.deepEqual(await workers(page), { controlled: true, active: 'activated', waiting: null, installing: null });
      assert.deepEqual(await cacheNames(page), [`tolvarin-site-${first}`]);

      // The upload finished: the new build installs and waits while this
      // page (the old build) is open; the next visit after it closed is the
      // new build's, whole.
      server.overrides.clear();
      await page.evaluate(async () => (await navigator.serviceWorker.getRegistration()).update());
      await waitFor(`${who} the new build waiting`, async () => (await workers(page)).waiting === 'installed', 120000);
      assert.deepEqual((await cacheNames(page)).sort(), [`tolvarin-site-${first}`, `tolvarin-site-${second}`].sort());
      await page.close();
      page = await context.newPage();
      watch(page, log);
      await page.goto(`${server.origin}/index.html?autostart&trace&stats`);
      const scenes = sceneNames();
      await waitFor(`${who} the demo playing from the new build`, async () => {
        const info = await inspect(page).catch(() => ({}));
        return info.phase === 'running' && sceneBegun(log.lines, scenes[0]);
      }, 180000);
      // The old build's cache goes as the new worker activates (the page
      // may load a moment before that is done).
      await waitFor(`${who} the old build's cache deleted`, async () => (await cacheNames(page)).length === 1, 30000);
      assert.deepEqual(await cacheNames(page), [`tolvarin-site-${second}`]);
      assert.equal(await page.evaluate(() => getComputedStyle(document.documentElement).getPropertyValue('--tolvarin-build').trim()), '2');
      assert.deepEqual(await workers(page), { controlled: true, active: 'activated', waiting: null, installing: null });
      assert.deepEqual(log.errors, []);
    } finally {
      await close();
    }
  });
});

// Chromium reports such a download against the data's real size; WebKit
// against the server's (compressed) Content-Length, which the page must not
// take for the size (engines.mjs checks it there, and in Firefox).
describe('chromium: loading from a server that compresses', () => {
  test('the loading bar counts the data\'s bytes against its real size: it only grows, never past 100 %, to full', async () => {
    const who = '[chromium, gzip]';
    // Slowly, so the runtime reports the download many times.
    const server = await serve({ gzip: true, trickleMs: 20 });
    const { page, log, close } = await openPage(`${server.origin}/index.html`, { before: (p) => p.evaluateOnNewDocument(() => {
      // Every width the bar takes while the page is loading.
      window.tolvarinBar = [];
      new MutationObserver(() => {
        const bar = document.getElementById('progress-bar');
        const progress = document.getElementById('progress');
        if (bar && bar.style.width && !progress.hidden) window.tolvarinBar.push(parseFloat(bar.style.width));
      }).observe(document, { subtree: true, attributes: true, attributeFilter: ['style'] });
    }) });
    try {
      await waitFor(`${who} the program loaded`, async () => (await inspect(page)).phase === 'ready', 180000);
      const widths = await page.evaluate(() => window.tolvarinBar);
      console.log(`${who} the bar's widths: ${widths.join(' ')}`);
      assert.ok(server.requests.includes('/tolvarin-page.data'));
      assert.ok(widths.length >= 5, `${who} the bar moved only ${widths.length} times`);
      assert.ok(widths.every((w, i) => i === 0 || w >= widths[i - 1]), `${who} the bar went back`);
      assert.ok(Math.max(...widths) <= 100, `${who} the bar reached ${Math.max(...widths)} %`);
      assert.equal(widths[widths.length - 1], 100, `${who} the bar stopped short of full`);
      assert.deepEqual(log.errors, []);
    } finally {
      await close();
    }
  });
});
