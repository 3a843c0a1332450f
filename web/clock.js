// The page's clocks. The demo's clock stands still while it is held: the
// tab hidden (the music's context is suspended with it), the viewer's pause
// (the control bar, a media key), or the music's context interrupted by the
// system until the viewer taps (sound.js); the program subtracts
// pausedSeconds() from its time. The display's cadence is
// the shortest recent gap between two animation frames, the odd gap far
// shorter than the rest left out (Firefox stamps the first two animation
// frames after a long wait a few ms apart): ?fps paces by it, and stats.js
// counts the frames the browser skipped against it.
import { options } from './options.js';

let pausedMs = 0;
let heldSince = null;
const holds = new Set(); // why the demo stands still: 'hidden', 'viewer', 'sound'
const waiters = []; // {reason, resolve}: released(reason) promises

// Seconds the demo stood still since the start, the hold under way included.
export function pausedSeconds() {
  return (pausedMs + (heldSince !== null ? performance.now() - heldSince : 0)) / 1000;
}

export function resetPauses() {
  pausedMs = 0;
  heldSince = null;
  holds.clear();
  for (const w of waiters.splice(0)) w.resolve();
}

// The demo stands still for `reason` until release(reason).
export function hold(reason) {
  if (holds.size === 0) heldSince = performance.now();
  holds.add(reason);
}

export function release(reason) {
  if (!holds.delete(reason)) return;
  for (let i = waiters.length - 1; i >= 0; i -= 1) {
    if (waiters[i].reason === reason) waiters.splice(i, 1)[0].resolve();
  }
  if (holds.size > 0) return;
  pausedMs += performance.now() - heldSince;
  heldSince = null;
}

// Resolves when the hold for `reason` ends (at once when there is none).
export function released(reason) {
  if (!holds.has(reason)) return Promise.resolve();
  return new Promise((resolve) => waiters.push({ reason, resolve }));
}

export function held(reason) {
  return reason === undefined ? holds.size > 0 : holds.has(reason);
}

// While running() says so (a headless run keeps virtual time and ignores
// it), hiding the tab holds the clock and calls onPause(); showing it again
// calls onResume().
export function pauseWhenHidden(running, onPause, onResume) {
  document.addEventListener('visibilitychange', () => {
    if (!running() || options.headless) return;
    if (document.hidden && !held('hidden')) {
      hold('hidden');
      onPause();
    } else if (!document.hidden && held('hidden')) {
      release('hidden');
      onResume();
    }
  });
}

// The shortest of `gaps` once the shortest tenth is left out (of fewer than
// ten, the shortest).
function shortestUsual(gaps) {
  const sorted = gaps.slice().sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 10)];
}

export class Cadence {
  constructor() {
    this.interval = 1000 / 60; // ms between the display's frames, until measured
    this.deltas = []; // the last gaps measured
    this.lastAt = null; // when the last frame was shown (animation-frame time)
    this.lastPaused = 0;
  }

  // A frame was shown at `t`: returns the gap since the last one (ms), or
  // null when there is none to measure (the first frame, or a pause between).
  frame(t) {
    const paused = pausedSeconds();
    let gap = null;
    if (this.lastAt !== null && paused === this.lastPaused) {
      gap = t - this.lastAt;
      if (gap > 0) {
        this.deltas.push(gap);
        if (this.deltas.length > 120) this.deltas.shift();
        this.interval = Math.max(4, shortestUsual(this.deltas));
      }
    }
    this.lastAt = t;
    this.lastPaused = paused;
    return gap;
  }
}
