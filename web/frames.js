// The program's frames on the canvas, and its waits. show() puts a frame up
// at the browser's next animation frame (or, with ?fps, at the first one
// due) and returns in a task of its own, so the browser paints in between;
// yieldToBrowser() is a busy wait's poll. The program awaits both (ASYNCIFY).
import { Cadence, held, released } from './clock.js';
import { el, HEIGHT, WIDTH } from './layout.js';
import { targetFps } from './options.js';

const g = el.canvas.getContext('2d', { alpha: false });
g.fillStyle = '#000';
g.fillRect(0, 0, WIDTH, HEIGHT);

let image = null;
let imageFor = null;
let nextDue = null; // ?fps: when the next frame is due (animation-frame time)
let waitingSince = Infinity; // when the running busy wait began (none: Infinity)
let cadence = null; // measured for ?fps pacing and for the statistics only
let stats = null; // the statistics, when a test asked for them

const wakeChannel = new MessageChannel();
const wakeQueue = [];
wakeChannel.port1.onmessage = () => wakeQueue.shift()();

// Resumes in a task of its own, after the browser's pending work.
function nextTask() {
  return new Promise((resolve) => {
    wakeQueue.push(resolve);
    wakeChannel.port2.postMessage(0);
  });
}

export function animationFrame() {
  return new Promise((resolve) => requestAnimationFrame(resolve));
}

function putFrame(heap, ptr) {
  if (!image || imageFor.buffer !== heap.buffer || imageFor.ptr !== ptr) {
    image = new ImageData(new Uint8ClampedArray(heap.buffer, ptr, WIDTH * HEIGHT * 4), WIDTH, HEIGHT);
    imageFor = { buffer: heap.buffer, ptr };
  }
  g.putImageData(image, 0, 0);
}

// At the program's start; `recorder` is the statistics or null.
export function startFrames(recorder) {
  stats = recorder;
  cadence = targetFps || stats ? new Cadence() : null;
  nextDue = null;
  waitingSince = Infinity;
}

// The display's frame interval as measured (ms), null when not measured.
export function frameInterval() {
  return cadence ? cadence.interval : null;
}

// The viewer's pause holds the program where it is, as a hidden tab does
// (where animation frames stop): no frame is drawn and no wait polls.
// Called only when paused: otherwise the frame and poll paths keep exactly
// their awaits (one more microtask in the busy waits' polls made Firefox's
// page stop answering).
async function whilePaused() {
  await released('viewer');
  nextDue = null;
  if (waitingSince !== Infinity) waitingSince = performance.now();
}

// Shows the RGBA frame at heap[ptr...].
export async function show(heap, ptr) {
  waitingSince = Infinity;
  if (stats) stats.drawEnded();
  let t;
  if (targetFps === 0) {
    // Unpaced: the browser shows the newest frame at its next refresh.
    putFrame(heap, ptr);
    t = performance.now();
  } else {
    t = await animationFrame();
    if (targetFps) {
      const period = 1000 / targetFps;
      if (nextDue === null || t - nextDue > 3 * period) nextDue = t;
      while (t < nextDue - cadence.interval / 2) t = await animationFrame();
      nextDue += period;
    }
    putFrame(heap, ptr);
  }
  if (cadence) {
    const gap = cadence.frame(t);
    if (stats) stats.frameShown(gap, cadence.interval);
  }
  if (held('viewer')) await whilePaused();
  await nextTask();
  if (stats) stats.resumed();
}

// A busy wait's poll. For its first half second the program gets control
// back at once (the wait for a sync releases it within a millisecond or
// two); a longer wait (the closing picture's wait for the last key) goes by
// timers, which leave the processor alone.
export async function yieldToBrowser() {
  if (held('viewer')) await whilePaused();
  if (stats) stats.waitBegan();
  if (waitingSince === Infinity) waitingSince = performance.now();
  if (performance.now() - waitingSince < 500) await nextTask();
  else await new Promise((resolve) => setTimeout(resolve, 5));
  if (stats) stats.resumed();
}
