// The page's clocks. The demo's clock stops while the tab is hidden (the
// program subtracts pausedSeconds() from its time, and the music's context
// is suspended with it). The display's cadence is the shortest recent gap
// between two animation frames: ?fps paces by it, and stats.js counts the
// frames the browser skipped against it.
import { options } from './options.js';

let pausedMs = 0;
let hiddenSince = null;

// Seconds the demo stood still since the start, the pause under way included.
export function pausedSeconds() {
  return (pausedMs + (hiddenSince !== null ? performance.now() - hiddenSince : 0)) / 1000;
}

export function resetPauses() {
  pausedMs = 0;
  hiddenSince = null;
}

// While running() says so (a headless run keeps virtual time and ignores
// it), hiding the tab pauses the clock and calls onPause(); showing it again
// calls onResume().
export function pauseWhenHidden(running, onPause, onResume) {
  document.addEventListener('visibilitychange', () => {
    if (!running() || options.headless) return;
    if (document.hidden && hiddenSince === null) {
      hiddenSince = performance.now();
      onPause();
    } else if (!document.hidden && hiddenSince !== null) {
      pausedMs += performance.now() - hiddenSince;
      hiddenSince = null;
      onResume();
    }
  });
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
        this.interval = Math.max(4, Math.min(...this.deltas));
      }
    }
    this.lastAt = t;
    this.lastPaused = paused;
    return gap;
  }
}
