// The same checks in every browser engine (harness.mjs drives them):
// engineSuite('firefox') in firefox.test.mjs, and so on. Every line printed
// names the engine. Nothing here depends on the machine's speed: each wait
// is for something the page does, with a generous limit; speed is printed.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import {
  assertInStep, assertReleasedOnTime, browserForTests, nativeHashes, sceneNames, shots, showSyncs, speedTable,
  syncSummary, syncTimes, trace, waitFor,
} from './harness.mjs';

const NO_SOUND = 'no sound: tap to try again';

export function engineSuite(engine) {
  const say = (text) => console.log(text.split('\n').map((l) => `[${engine}] ${l}`).join('\n'));
  const who = `[${engine}] `;
  const run = browserForTests(engine);

  describe(`${engine}: a viewer watches the demo`, () => {
    test('loads without a console error; a click starts it with sound; syncs in step; keys walk all ten scenes', async () => {
      const scenes = sceneNames();
      const tab = await run.browser.open('?trace&stats');
      try {
        await waitFor(`${who}the program loaded`, async () => (await tab.inspect()).phase === 'ready', 180000);
        assert.equal(await tab.eval('document.title'), 'Tolvarin, Quarnel, 2000.');
        await tab.sync();
        assert.deepEqual(tab.errors, [], `${who}console errors while loading`);
        await tab.click('#overlay');
        await waitFor(`${who}the opening scene`, async () => (await tab.trace()).some((e) => e.event === 'begin' && e.scene === scenes[0]), 120000);
        await waitFor(`${who}a second of frames`, async () => (await tab.inspect()).stats.frames >= 60, 60000);
        const started = await tab.inspect();
        say(`sound path: ${JSON.stringify(started.stats.paths)}`);
        assert.equal(started.audio.clock, 'context', `${who}the music is not heard through the audio context`);
        assert.equal(started.audio.state, 'running');
        assert.equal(started.audio.notice, '');
        const lit = await tab.litPixels();
        assert.ok(lit > 1000, `${who}the opening scene has only ${lit} lit pixels`);
        await tab.shot(path.join(shots, `${engine}.png`));

        // The first twenty seconds (six syncs), left alone.
        await waitFor(`${who}twenty seconds of the demo`, async () => (await tab.trace()).some((e) => e.t >= 19.5), 240000);
        const info = await tab.inspect();
        await tab.sync();  // the trace lines of the syncs just counted (WebKit: read from the page)
        const syncs = syncTimes(info.stats.syncs, tab.lines);
        say(`syncs: ${showSyncs(syncs)}`);
        say(syncSummary(syncs, info.stats.interval));
        assert.ok(syncs.length >= 5, `${who}only ${syncs.length} syncs in twenty seconds`);
        assertReleasedOnTime(syncs, who);
        assertInStep(syncs, info.stats.interval, who);

        // A key every second of frames until the closing picture, then
        // the final key ends the demo.
        const current = async () => [...(await tab.trace())].reverse().find((e) => e.event === 'begin' && !e.scene.includes('.')).scene;
        const keysTaken = async () => (await tab.trace()).filter((e) => e.event === 'key').length;
        const last = scenes[scenes.length - 1];
        let keys = 0;
        while ((await current()) !== last) {
          assert.ok(keys < 30, `${who}the keys do not reach the closing picture`);
          const shown = (await tab.inspect()).stats.frames;
          await waitFor(`${who}a second of frames`, async () => (await current()) === last || (await tab.inspect()).stats.frames >= shown + 60, 120000);
          if ((await current()) === last) break;
          await tab.key();
          keys += 1;
          await waitFor(`${who}the key taken`, async () => (await keysTaken()) === keys, 60000);
        }
        await waitFor(`${who}the end of the demo`, async () => (await tab.inspect()).phase === 'ended', 60000);
        const events = await tab.trace();
        assert.deepEqual(events.filter((e) => e.event === 'begin' && !e.scene.includes('.')).map((e) => e.scene), scenes);
        const end = await tab.inspect();
        const minute = end.stats.skips.filter((s) => s.at < 60).reduce((n, s) => n + s.frames, 0);
        say(speedTable(`scene by scene (${keys} keys)`, end.stats.scenes));
        say(`skipped frames in the first minute: ${minute}; sound underruns: ${end.stats.underruns}`);
        assert.equal(end.exitCode, 0);
        assert.equal(end.awake, false, `${who}the screen is still kept awake after the end`);
        await tab.sync();
        assert.deepEqual(tab.errors, [], `${who}console errors`);
      } finally {
        await tab.close();
      }
    });

    test('a hidden tab pauses the demo and its music together; they go on in step', async () => {
      const tab = await run.browser.open('?autostart&trace&stats');
      try {
        // Autostart may find the sound waiting for a gesture (WebKit): the click gives it one.
        await waitFor(`${who}the first scene`, async () => (await tab.trace()).some((e) => e.event === 'begin'), 120000);
        await tab.click('#screen');
        await waitFor(`${who}the music through the context`, async () => (await tab.inspect()).audio.clock === 'context', 30000);
        await waitFor(`${who}a sync`, async () => (await tab.inspect()).stats.syncs.length > 1, 120000);
        const before = await tab.inspect();
        await tab.hide();
        const hidden = await waitFor(`${who}the music suspended`, async () => {
          const info = await tab.inspect();
          return info.audio.state === 'suspended' && info;
        }, 30000);
        const linesHidden = (await tab.trace()).length;
        const still = await waitFor(`${who}the pause to last`, async () => {
          const info = await tab.inspect();
          return info.paused >= hidden.paused + 1.5 && info;
        }, 60000);
        assert.equal((await tab.trace()).length, linesHidden, `${who}the demo went on while hidden`);
        assert.ok(still.audio.time - hidden.audio.time < 0.05, `${who}the music went on ${still.audio.time - hidden.audio.time} s`);
        await tab.unhide();
        const back = await waitFor(`${who}two more syncs`, async () => {
          const info = await tab.inspect();
          return info.stats.syncs.length >= before.stats.syncs.length + 2 && info;
        }, 60000);
        assert.equal(back.audio.state, 'running');
        await tab.sync();  // the trace lines of the syncs just counted (WebKit: read from the page)
        const syncs = syncTimes(back.stats.syncs.slice(before.stats.syncs.length), tab.lines);
        say(`syncs after ${back.paused.toFixed(2)} s in the background: ${showSyncs(syncs)}`);
        assertReleasedOnTime(syncs, who);
        assert.deepEqual(tab.errors, [], `${who}console errors`);
      } finally {
        await tab.close();
      }
    });

    test('?headless&until=30 gives the native frame hashes', async () => {
      const expected = nativeHashes(30);
      const tab = await run.browser.open('?headless&until=30');
      try {
        await waitFor(`${who}the headless run`, async () => (await tab.inspect()).phase === 'ended', 900000);
        await tab.sync();
        const got = tab.lines.filter((l) => /^(# |\d+ )/.test(l));
        assert.ok(expected.length > 1000, `native gave ${expected.length} lines`);
        assert.equal(got.length, expected.length, `${who}frame hash count`);
        assert.deepEqual(got, expected);
        assert.deepEqual(tab.errors, [], `${who}console errors`);
      } finally {
        await tab.close();
      }
    });
  });
}

// Sound that does not start: the demo plays on the page's clock, silently,
// says so in one line, and a later gesture that gets sound going joins the
// music in at the demo's place. `whenSoundComes` makes sound possible in
// the tab (null: it never comes, as Firefox without a sound server).
export function silentSuite(engine, { launchOptions = { sound: false }, query = '?trace&stats', whenSoundComes = null, label = 'no sound' } = {}) {
  const say = (text) => console.log(text.split('\n').map((l) => `[${engine}, ${label}] ${l}`).join('\n'));
  const who = `[${engine}, ${label}] `;
  describe(`${engine}: sound that does not start (${label})`, () => {
    const run = browserForTests(engine, launchOptions);

    test('the demo plays on the page\'s clock and says so; a later gesture joins the music in', async () => {
      const tab = await run.browser.open(query);
      try {
        await waitFor(`${who}the program loaded`, async () => ['ready', 'running'].includes((await tab.inspect()).phase), 180000);
        if ((await tab.inspect()).phase === 'ready') await tab.click('#overlay');
        await waitFor(`${who}the opening scene`, async () => (await tab.trace()).some((e) => e.event === 'begin'), 120000);
        const silent = await waitFor(`${who}the page's clock`, async () => {
          const info = await tab.inspect();
          return info.audio.clock === 'page' && info.audio.notice !== '' && info;
        }, 30000);
        assert.equal(silent.audio.notice, NO_SOUND);
        assert.equal(await tab.eval("document.getElementById('notice').textContent"), NO_SOUND);
        say(`sound path: ${JSON.stringify(silent.stats.paths.sound)}`);
        await waitFor(`${who}three syncs`, async () => (await tab.inspect()).stats.syncs.length >= 3, 120000);
        const quiet = await tab.inspect();
        await tab.sync();  // the trace lines of the syncs just counted (WebKit: read from the page)
        const syncs = syncTimes(quiet.stats.syncs, tab.lines);
        say(`syncs on the page's clock: ${showSyncs(syncs)}`);
        say(syncSummary(syncs, quiet.stats.interval));
        assertReleasedOnTime(syncs, who);
        assertInStep(syncs, quiet.stats.interval, who);
        assert.equal(quiet.audio.clock, 'page');
        if (whenSoundComes) {
          await whenSoundComes(tab);
          await tab.click('#notice');
          const joined = await waitFor(`${who}the music joined in`, async () => {
            const info = await tab.inspect();
            return info.audio.clock === 'context' && info;
          }, 30000);
          assert.equal(joined.audio.joins, 1);
          assert.equal(joined.audio.notice, '');
          // The stream goes on from where it was heard: no step back, no jump.
          assert.ok(joined.audio.heard >= quiet.audio.heard, `${who}the music went back`);
          const more = await waitFor(`${who}two more syncs`, async () => {
            const info = await tab.inspect();
            return info.stats.syncs.length >= joined.stats.syncs.length + 2 && info;
          }, 120000);
          await tab.sync();  // the trace lines of the syncs just counted (WebKit: read from the page)
          const after = syncTimes(more.stats.syncs.slice(joined.stats.syncs.length), tab.lines);
          say(`syncs after the music joined in: ${showSyncs(after)}`);
          assertReleasedOnTime(after, who);
        }
        await tab.sync();
        assert.deepEqual(tab.errors, [], `${who}console errors`);
      } finally {
        await tab.close();
      }
    });
  });
}

// The loading bar with a server that compresses (gzip, its Content-Length
// the compressed length), sending slowly so the download is reported many
// times: the bar counts the data's bytes against the data's real size, so it
// only grows and never passes 100 % (WebKit reports the decoded bytes
// against the compressed length: 164 % when the page took that for the size).
export function compressedLoadSuite(engine) {
  const who = `[${engine}, gzip] `;
  describe(`${engine}: loading from a server that compresses`, () => {
    const run = browserForTests(engine, { server: { gzip: true, trickleMs: 20 } });

    test('the loading bar only grows, and never past 100 %', async () => {
      const tab = await run.browser.open('');
      try {
        const widths = [];
        await waitFor(`${who}the program loaded`, async () => {
          const width = await tab.eval("(() => { const p = document.getElementById('progress'); return p.hidden ? '' : document.getElementById('progress-bar').style.width; })()");
          if (width !== '' && parseFloat(width) !== widths[widths.length - 1]) widths.push(parseFloat(width));
          return (await tab.inspect()).phase === 'ready';
        }, 180000);
        console.log(`${who}the bar's widths: ${widths.join(' ')}`);
        assert.ok(run.server.requests.includes('/tolvarin-page.data'));
        assert.ok(widths.length >= 3, `${who}the bar moved only ${widths.length} times`);
        assert.ok(widths.every((w, i) => i === 0 || w >= widths[i - 1]), `${who}the bar went back: ${widths.join(' ')}`);
        assert.ok(Math.max(...widths) <= 100, `${who}the bar reached ${Math.max(...widths)} %`);
        await tab.sync();
        assert.deepEqual(tab.errors, [], `${who}console errors`);
      } finally {
        await tab.close();
      }
    });
  });
}
