// The viewer's controls in Chromium: the flashing warning and the calm
// switch before the first click (and calm mode when the system asks for
// reduced motion), calm mode's frames against the native program's, pause
// and resume, a chapter jump, volume and mute kept after a reload, the media
// session's play and pause, and no press on a control reaching the demo as
// a key. harness.mjs drives the browser.
import { describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { browserForTests, native, shots, trace, waitFor } from './harness.mjs';

const run = browserForTests('chromium');

const inspect = (tab) => tab.eval('window.tolvarinPage ? window.tolvarinPage.inspect() : { phase: "opening" }');
const keys = (tab) => trace(tab.lines).filter((e) => e.event === 'key').length;

// The native program's frame hashes for these options (headless).
function nativeLines(args) {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tolvarin-viewer-'));
  try {
    const file = path.join(work, 'frames.txt');
    execFileSync(native, ['--headless', '--quiet', ...args, '--frame-hashes', file], { cwd: work, stdio: 'inherit' });
    return fs.readFileSync(file, 'utf8').trimEnd().split('\n');
  } finally {
    fs.rmSync(work, { recursive: true, force: true });
  }
}

// A control pressed as a mouse does (the bar shown first, as a move would).
async function press(tab, selector) {
  await tab.page.mouse.move(20, 20);
  await tab.page.mouse.move(200, 300);
  await tab.page.click(selector);
}

describe('chromium: the viewer\'s controls', () => {
  test('the warning and the calm switch come before the first click; the switch is kept and is no key', async () => {
    const tab = await run.browser.open('?trace');
    try {
      await waitFor('the start screen', async () => (await inspect(tab)).phase === 'ready', 120000);
      const text = await tab.eval("document.getElementById('warning').textContent");
      assert.match(text, /contains flashing images/);
      assert.equal((await inspect(tab)).viewer.calm.on, false);
      await tab.pageShot(path.join(shots, 'start-warning.png'));
      await tab.page.click('#calm');
      const after = await inspect(tab);
      assert.equal(after.phase, 'ready', 'the switch started the demo');
      assert.equal(after.viewer.calm.on, true);
      await tab.page.reload();
      await waitFor('the start screen again', async () => (await inspect(tab)).phase === 'ready', 120000);
      assert.equal((await inspect(tab)).viewer.calm.on, true, 'the switch was not kept');
      assert.equal(await tab.eval("document.getElementById('calm').checked"), true);
      await tab.page.click('#calm'); // off again, for the tests after this one
      assert.deepEqual(tab.errors, []);
    } finally {
      await tab.close();
    }
  });

  test('a system that asks for reduced motion gets calm mode, and the switch shows it', async () => {
    // A first visit: no switch position kept from the tests before.
    const tab = await run.browser.open('?trace', {
      before: async (page) => {
        await page.emulateMediaFeatures([{ name: 'prefers-reduced-motion', value: 'reduce' }]);
        await page.evaluateOnNewDocument(() => localStorage.removeItem('tolvarin-settings'));
      },
    });
    try {
      await waitFor('the start screen', async () => (await inspect(tab)).phase === 'ready', 120000);
      const info = await inspect(tab);
      assert.equal(info.viewer.calm.on, true);
      assert.match(info.viewer.calm.by, /reduced motion/);
      assert.equal(await tab.eval("document.getElementById('calm').checked"), true);
    } finally {
      await tab.close();
    }
  });

  test('a start point in the page gives the native program\'s frames from there, as a chapter\'s jump does', async () => {
    const expected = nativeLines(['--start', 'Scene3D', '--until', '92']);
    const tab = await run.browser.open('?headless&start=Scene3D&until=92');
    try {
      await waitFor('the headless run', async () => (await inspect(tab)).phase === 'ended', 600000);
      const got = tab.lines.filter((l) => /^(# |\d+ )/.test(l));
      assert.ok(expected.length > 60, `native gave ${expected.length} lines`);
      assert.deepEqual(got, expected);
    } finally {
      await tab.close();
    }
  });

  test('?calm in the page draws the native program\'s calm frames through the strobe', async () => {
    const args = ['--calm', '--start', 'RotozoomStrobe', '--until', '47'];
    const expected = nativeLines(args);
    const tab = await run.browser.open('?headless&calm&start=RotozoomStrobe&until=47');
    try {
      await waitFor('the headless run', async () => (await inspect(tab)).phase === 'ended', 600000);
      const got = tab.lines.filter((l) => /^(# |\d+ )/.test(l));
      assert.ok(expected.length > 100, `native gave ${expected.length} lines`);
      assert.deepEqual(got, expected);
      // The default frames differ there: calm mode really changed some.
      const plain = nativeLines(args.slice(1));
      assert.notDeepEqual(plain, expected);
    } finally {
      await tab.close();
    }
  });

  test('pause holds the picture and the music together; play goes on where they stood; no control is a key', async () => {
    const tab = await run.browser.open('?autostart&trace');
    try {
      await waitFor('the music through the context', async () => (await inspect(tab)).audio.clock === 'context', 120000);
      await waitFor('a second of the demo', async () => (await inspect(tab)).viewer.position > 1, 60000);
      await press(tab, '#play');
      const paused = await waitFor('the music suspended', async () => {
        const info = await inspect(tab);
        return info.audio.state === 'suspended' && info;
      }, 30000);
      assert.equal(paused.viewer.playing, false);
      assert.equal(paused.viewer.media, 'Tolvarin');
      const lines = tab.lines.length;
      const held = await waitFor('the pause to last', async () => {
        const info = await inspect(tab);
        return info.paused >= paused.paused + 1.5 && info;
      }, 60000);
      assert.equal(tab.lines.length, lines, 'the demo went on while paused');
      assert.ok(held.audio.time - paused.audio.time < 0.05, `the music went on ${held.audio.time - paused.audio.time} s`);
      assert.ok(Math.abs(held.viewer.position - paused.viewer.position) < 0.05, 'the timeline moved while paused');
      await tab.shot(path.join(shots, 'paused.png'));
      await tab.pageShot(path.join(shots, 'controls.png'));
      // The media key's play.
      await tab.eval("window.tolvarinPage.mediaAction('play')");
      const back = await waitFor('the music again', async () => {
        const info = await inspect(tab);
        return info.audio.state === 'running' && info.viewer.position > held.viewer.position + 0.5 && info;
      }, 30000);
      assert.equal(back.viewer.playing, true);
      // And its pause.
      await tab.eval("window.tolvarinPage.mediaAction('pause')");
      await waitFor('the media key\'s pause', async () => (await inspect(tab)).audio.state === 'suspended', 30000);
      await tab.eval("window.tolvarinPage.mediaAction('play')");
      await press(tab, '#mute');
      await press(tab, '#copy-link');
      const link = await waitFor('the link', () => tab.eval("document.getElementById('copy-link').dataset.link || ''"), 10000);
      assert.match(link, /[?&]start=/);
      await press(tab, '#mute');
      assert.equal(keys(tab), 0, 'a press on a control reached the demo as a key');
      assert.deepEqual(tab.errors, []);
    } finally {
      await tab.close();
    }
  });

  test('a chapter jumps to its scene as --start does; volume and mute are kept after the reload', async () => {
    const tab = await run.browser.open('?autostart&trace');
    try {
      await waitFor('the first scene', async () => trace(tab.lines).some((e) => e.event === 'begin'), 120000);
      await tab.page.mouse.move(200, 300);
      await tab.page.$eval('#volume', (v) => {
        v.value = '40';
        v.dispatchEvent(new Event('input'));
      });
      await press(tab, '#mute');
      assert.equal((await inspect(tab)).viewer.level, 0);
      tab.lines.length = 0;
      await tab.page.mouse.move(200, 300);
      await Promise.all([tab.page.waitForNavigation(), tab.page.click('#timeline .chapter[data-where="Scene3D"]')]);
      assert.match(tab.page.url(), /[?&]start=Scene3D/);
      await waitFor('the 3D scene', async () => trace(tab.lines).some((e) => e.event === 'begin' && e.scene === 'Scene3D'), 120000);
      const begins = trace(tab.lines).filter((e) => e.event === 'begin' && !e.scene.includes('.'));
      assert.equal(begins[0].scene, 'Scene3D', 'the run did not start at the chapter');
      const info = await inspect(tab);
      assert.equal(info.viewer.level, 0, 'mute was not kept');
      assert.equal(await tab.eval("document.getElementById('volume').value"), '40');
      await press(tab, '#mute');
      assert.ok(Math.abs((await inspect(tab)).viewer.level - 0.4) < 1e-9);
      assert.equal(keys(tab), 0);
    } finally {
      await tab.close();
    }
  });
});
