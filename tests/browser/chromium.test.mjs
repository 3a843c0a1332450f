// Chromium beyond page.test.mjs: the page's security policy, sound that
// does not start (a stand-in context that is refused until the test allows
// it), a phone (touch, 390x844 at device scale 3, a mobile user agent) and
// a slow processor (4x CPU throttling). harness.mjs drives the browser.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { silentSuite } from './engines.mjs';
import {
  assertInStep, assertReleasedOnTime, browserForTests, median, percentile, sceneNames, shots, showSyncs,
  syncSummary, syncTimes, waitFor,
} from './harness.mjs';

const say = (who, text) => console.log(text.split('\n').map((l) => `[chromium, ${who}] ${l}`).join('\n'));

const run = browserForTests('chromium');

describe('chromium: the page\'s security policy', () => {
  test('index.html carries a policy without eval or inline code, and the running demo breaks none of it', async () => {
    const page = await run.browser.browser.newPage();
    const violations = [];
    const errors = [];
    await page.exposeFunction('tolvarinViolation', (v) => violations.push(v));
    await page.evaluateOnNewDocument(() => {
      document.addEventListener('securitypolicyviolation', (e) => window.tolvarinViolation(`${e.violatedDirective} ${e.blockedURI}`));
    });
    page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
    page.on('pageerror', (e) => errors.push(e.message));
    try {
      await page.goto(`${run.server.origin}/index.html?autostart&stats`);
      const policy = await page.$eval('meta[http-equiv="Content-Security-Policy"]', (m) => m.content);
      const directives = new Map(policy.split(';').map((d) => d.trim().split(/\s+/)).map(([k, ...v]) => [k, v]));
      assert.deepEqual(directives.get('script-src'), ["'self'", "'wasm-unsafe-eval'"]);
      assert.ok(!policy.includes("'unsafe-eval'") && !policy.includes("'unsafe-inline'"), policy);
      assert.deepEqual(directives.get('default-src'), ["'none'"]);
      // Running: the program loaded, its worklet, its frames.
      await waitFor('[chromium] two seconds of frames', async () => (await page.evaluate(() => window.tolvarinPage.inspect())).stats?.frames >= 120, 120000);
      const info = await page.evaluate(() => window.tolvarinPage.inspect());
      assert.equal(info.audio.kind, 'audioworklet');
      assert.deepEqual(violations, []);
      assert.deepEqual(errors, []);
    } finally {
      await page.close();
    }
  });
});

silentSuite('chromium', {
  whenSoundComes: (tab) => tab.eval('(window.tolvarinAllowSound = true)'),
});

describe('chromium: a phone', () => {
  test('a tap starts it with sound; taps walk through the scenes; the picture fills the width', async () => {
    const scenes = sceneNames();
    const tab = await run.browser.open('?trace&stats', { width: 390, height: 844, mobile: true });
    try {
      await waitFor('[chromium, phone] the program loaded', async () => (await tab.inspect()).phase === 'ready', 180000);
      assert.equal(await tab.overlayText(), 'tap to start');
      const tapOn = async (selector) => {
        const box = await (await tab.page.$(selector)).boundingBox();
        await tab.tap(box.x + box.width / 2, box.y + box.height / 2);
      };
      await tapOn('#overlay');
      await waitFor('[chromium, phone] the opening scene', async () => (await tab.trace()).some((e) => e.event === 'begin' && e.scene === scenes[0]), 120000);
      const started = await waitFor('[chromium, phone] a second of frames', async () => {
        const info = await tab.inspect();
        return info.stats.frames >= 60 && info;
      }, 60000);
      assert.equal(started.audio.clock, 'context');
      assert.equal(started.audio.state, 'running');
      // The picture fills the width, 4:3 kept: 390 CSS pixels at 3.66x.
      const box = await tab.page.$eval('#screen', (c) => c.getBoundingClientRect().toJSON());
      assert.ok(Math.abs(box.width - 390) < 0.5 && Math.abs(box.height - 292.5) < 0.5, JSON.stringify(box));
      assert.equal(await tab.page.$eval('#stage', (s) => getComputedStyle(s).touchAction), 'manipulation');
      await tab.pageShot(path.join(shots, 'phone.png'));

      const current = async () => [...(await tab.trace())].reverse().find((e) => e.event === 'begin' && !e.scene.includes('.')).scene;
      const keysTaken = async () => (await tab.trace()).filter((e) => e.event === 'key').length;
      const last = scenes[scenes.length - 1];
      let taps = 0;
      while ((await current()) !== last) {
        assert.ok(taps < 30, '[chromium, phone] the taps do not reach the closing picture');
        const shown = (await tab.inspect()).stats.frames;
        await waitFor('[chromium, phone] a second of frames', async () => (await current()) === last || (await tab.inspect()).stats.frames >= shown + 60, 120000);
        if ((await current()) === last) break;
        await tapOn('#screen');
        taps += 1;
        await waitFor('[chromium, phone] the tap taken', async () => (await keysTaken()) === taps, 60000);
      }
      await waitFor('[chromium, phone] the end', async () => (await tab.inspect()).phase === 'ended', 60000);
      const begins = (await tab.trace()).filter((e) => e.event === 'begin' && !e.scene.includes('.')).map((e) => e.scene);
      assert.deepEqual(begins, scenes);
      say('phone', `${taps} taps walked through ${scenes.length} scenes`);
      assert.deepEqual(tab.errors, []);
    } finally {
      await tab.close();
    }
  });

  test('sound the system interrupts holds the demo until a tap; then both go on in step', async () => {
    const who = '[chromium, interrupted] ';
    const tab = await run.browser.open('?autostart&trace&stats', { width: 390, height: 844, mobile: true, before: (page) => page.evaluateOnNewDocument(() => {
      // Keeps the page's context where the test can interrupt it, as a phone call would.
      const Real = window.AudioContext;
      window.AudioContext = class extends Real {
        constructor(options) {
          super(options);
          window.tolvarinContext = this;
        }
      };
    }) });
    try {
      await waitFor(`${who}two syncs`, async () => (await tab.inspect()).stats?.syncs.length >= 2, 120000);
      const before = await tab.inspect();
      await tab.eval('window.tolvarinContext.suspend()');
      const held = await waitFor(`${who}the demo held`, async () => {
        const info = await tab.inspect();
        return info.audio.notice !== '' && info;
      }, 30000);
      assert.equal(held.audio.notice, 'sound interrupted: tap to go on');
      const lines = (await tab.trace()).length;
      await waitFor(`${who}a second held`, async () => (await tab.inspect()).paused >= held.paused + 1, 30000);
      assert.equal((await tab.trace()).length, lines, `${who}the demo went on without its music`);
      // The tap that resumes the sound is not a key for the demo.
      const box = await (await tab.page.$('#screen')).boundingBox();
      await tab.tap(box.x + box.width / 2, box.y + box.height / 2);
      const back = await waitFor(`${who}two more syncs`, async () => {
        const info = await tab.inspect();
        return info.stats.syncs.length >= before.stats.syncs.length + 2 && info;
      }, 120000);
      assert.equal(back.audio.notice, '');
      assert.equal(back.audio.state, 'running');
      assert.ok(!(await tab.trace()).some((e) => e.event === 'key'), `${who}the resuming tap was taken as a key`);
      const syncs = syncTimes(back.stats.syncs.slice(before.stats.syncs.length), tab.lines);
      say('interrupted', `held ${back.paused.toFixed(2)} s; syncs after: ${showSyncs(syncs)}`);
      assertReleasedOnTime(syncs, who);
      assert.deepEqual(tab.errors, []);
    } finally {
      await tab.close();
    }
  });

  // The same fifteen seconds (the logo zoom, the first light sweep: five
  // syncs) at each rate, then a key for each later scene, which plays for
  // two seconds (or sixty frames) first: every scene's figures, at every
  // rate. The table's figures are printed, not asserted.
  for (const rate of [1, 4, 6]) {
    const who = `${rate}x slower`;
    test(`a slow processor (${rate}x): the demo keeps pace with the music`, async () => {
      const tab = await run.browser.open('?autostart&trace&stats', { width: 390, height: 844, mobile: true });
      const cdp = await tab.page.createCDPSession();
      await cdp.send('Emulation.setCPUThrottlingRate', { rate });
      try {
        await waitFor(`[chromium, ${who}] fifteen seconds of the demo`, async () => (await tab.trace()).some((e) => e.t >= 14.5), 300000);
        const early = await tab.inspect();
        const scenes = sceneNames();
        const begun = async () => (await tab.trace()).filter((e) => e.event === 'begin' && !e.scene.includes('.')).length;
        while ((await begun()) < scenes.length) {
          const count = await begun();
          await tab.key();
          await waitFor(`[chromium, ${who}] scene ${count + 1}`, async () => (await begun()) > count, 120000);
          const from = Date.now();
          const name = scenes[count];
          await waitFor(`[chromium, ${who}] ${name} playing a while`, async () => {
            const row = (await tab.inspect()).stats.scenes.find((x) => x.name === name);
            return Date.now() - from > 2000 || (row && row.frames >= 60);
          }, 60000);
        }
        const info = { ...(await tab.inspect()), early };
        // The syncs of the first fifteen seconds, before any key.
        const syncs = syncTimes(early.stats.syncs, tab.lines);
        say(who, 'scene, frames, wasm draw ms median / 95th percentile, skipped frames');
        for (const s of info.stats.scenes) {
          say(who, `  ${s.name.padEnd(15)} ${String(s.frames).padStart(5)}  ${median(s.draw).toFixed(2).padStart(6)} / ${percentile(s.draw, 95).toFixed(2).padStart(6)}  ${s.skipped}`);
        }
        say(who, `syncs: ${showSyncs(syncs)}`);
        const over = info.stats.scenes.filter((x) => percentile(x.draw, 95) >= 1000 / 60).map((x) => x.name);
        say(who, `scenes whose 95th percentile is 16.7 ms or more: ${over.length ? over.join(', ') : 'none'}`);
        say(who, `${syncSummary(syncs, info.stats.interval)}; sound underruns: ${info.stats.underruns}`);
        assert.ok(syncs.length >= 4);
        assertReleasedOnTime(syncs, `[chromium, ${who}] `);
        assertInStep(syncs, info.stats.interval, `[chromium, ${who}] `);
        // Up to 4x the sound never runs dry; at 6x how often it did is printed.
        if (rate <= 4) assert.equal(info.stats.underruns, 0, `[chromium, ${who}] the sound ran dry`);
        assert.deepEqual(tab.errors, []);
      } finally {
        await cdp.send('Emulation.setCPUThrottlingRate', { rate: 1 }).catch(() => {});
        await tab.close();
      }
    });
  }
});
