// The page's measurements of itself, for the tests: the program's drawing
// time per frame, the frames the browser skipped, when each sync was heard,
// the sound's underruns. Kept only when asked for before the start (?stats
// in the URL, or `window.tolvarinStats = true`): otherwise none of this
// exists and the frame path does no bookkeeping at all.
import { options, targetFps } from './options.js';

export function statsWanted() {
  return options.stats || window.tolvarinStats === true;
}

export class Stats {
  // heardNow() gives the stream second heard at this moment (sound.js).
  constructor(heardNow) {
    this.heardNow = heardNow;
    this.scene = '';
    this.scenes = new Map(); // name -> {draw: [ms...], skipped, frames}
    this.skips = []; // {at: seconds since the start, frames, scene}
    // {t: demo time, heard: stream second heard when traced, at, released:
    // the heard second the releasing poll read, before: the poll's before it,
    // pollGap: ms between the two}
    this.syncs = [];
    this.underruns = 0;
    this.startedAt = performance.now();
    this.resumedAt = this.startedAt;
    this.active = 0; // ms the program ran since the last frame, without its waits
    this.drawMs = 0;
    this.waited = false; // a busy wait yielded since the last frame (the strobe's hold)
    this.shown = 0;
    this.shownAt = null; // when the last frame was shown (performance.now())
    // The program's last two reads of the heard second, at its polls: a
    // sync it releases is traced in the poll of the last one.
    this.reads = [{ heard: -1, at: 0 }, { heard: -1, at: 0 }];
  }

  sceneStats() {
    const name = this.scene || '(start)';
    if (!this.scenes.has(name)) this.scenes.set(name, { draw: [], skipped: 0, frames: 0 });
    return this.scenes.get(name);
  }

  // The program handed over a frame: what it ran since the last one was its drawing.
  drawEnded() {
    this.active += performance.now() - this.resumedAt;
    this.drawMs = this.active;
    this.active = 0;
  }

  // A busy wait polled: what ran since the last frame was this wait's
  // polling, not drawing; the next frame's drawing starts when the wait ends.
  waitBegan() {
    this.active = 0;
    this.waited = true;
  }

  // The program runs again after a frame or a wait.
  resumed() {
    this.resumedAt = performance.now();
  }

  // The frame became visible, `gap` ms after the last one (null: not
  // measured), the display's frames `interval` ms apart.
  frameShown(gap, interval) {
    const s = this.sceneStats();
    s.frames += 1;
    // The first frame's time holds the program's start-up.
    if (this.shown > 0) s.draw.push(this.drawMs);
    this.shown += 1;
    this.shownAt = performance.now();
    if (gap !== null) {
      const period = Math.max(interval, targetFps ? 1000 / targetFps : 0);
      const missed = Math.round(gap / period) - 1;
      if (missed > 0 && !this.waited) {
        s.skipped += missed;
        this.skips.push({ at: (performance.now() - this.startedAt) / 1000, frames: missed, scene: this.scene });
      }
    }
    this.waited = false;
  }

  // A trace line of the program's: the scene it is in, when its syncs are heard.
  traced(line) {
    let event;
    try {
      event = JSON.parse(line);
    } catch (e) {
      return;
    }
    if (event.event === 'begin' && event.scene && !event.scene.includes('.')) this.scene = event.scene;
    if (event.event === 'sync') {
      const [before, release] = this.reads;
      this.syncs.push({ t: event.t, heard: this.heardNow(), at: performance.now(), released: release.heard, before: before.heard,
        pollGap: release.at - before.at });
    }
  }

  // The program read the heard second (sound.js heardSeconds()).
  heardRead(heard) {
    this.reads.shift();
    this.reads.push({ heard, at: performance.now() });
  }

  underrun() {
    this.underruns += 1;
  }

  report(interval) {
    return {
      interval,
      underruns: this.underruns,
      syncs: this.syncs.slice(),
      skips: this.skips.slice(),
      frames: this.shown,
      sinceFrame: this.shownAt === null ? null : performance.now() - this.shownAt, // ms
      scenes: Array.from(this.scenes, ([name, s]) => ({ name, frames: s.frames, skipped: s.skipped, draw: s.draw.slice() })),
    };
  }
}

// ?log: every console line (and every page error and blocked resource)
// kept in `window.tolvarinLog` as {type, text}, for a driver that cannot
// listen to the console itself.
export function keepConsole() {
  if (!options.log) return;
  const log = [];
  window.tolvarinLog = log;
  for (const type of ['log', 'info', 'warn', 'error']) {
    const original = console[type].bind(console);
    console[type] = (...args) => {
      log.push({ type, text: args.map(String).join(' ') });
      original(...args);
    };
  }
  window.addEventListener('error', (e) => log.push({ type: 'error', text: `page error: ${e.message}` }));
  window.addEventListener('unhandledrejection', (e) => log.push({ type: 'error', text: `page error: ${e.reason}` }));
}
