// The viewer's hold on a playing demo: the start screen's flashing warning
// and calm switch, pause and resume (the control bar, a media key), jumps
// to a scene or a moment (a fresh page started there, as --start does),
// the volume, and where the demo is now for the timeline. The demo's own
// key rule stays: none of these is a key for the demo.
import { held, hold, release } from './clock.js';
import { setUpControls } from './controls.js';
import { el, hideOverlay, showOverlay } from './layout.js';
import { mediaPlaying, setUpMediaSession } from './media-session.js';
import { calm, options } from './options.js';
import { settings } from './settings.js';
import { sound } from './sound.js';
import { keepAwake } from './wake-lock.js';

const warning = document.getElementById('warning');
const calmSwitch = document.getElementById('calm');
const bar = document.getElementById('controls');

let isRunning = () => false;
let controls = null;
let mark = null; // the newest trace line's demo time, and the music heard then
let gettingThere = false; // the overlay says where a start point is being reached

// Keeps presses (and keys on a focused control) from the handlers that
// make them the demo's key.
function keepToItself(element) {
  for (const type of ['pointerdown', 'touchstart', 'keydown']) {
    element.addEventListener(type, (e) => e.stopPropagation(), { passive: type === 'touchstart' });
  }
}

// Before the first click: the warning, with the calm switch beside it.
export function showWarning() {
  if (options.headless) return;
  calmSwitch.checked = calm.on;
  calmSwitch.title = `calm mode: ${calm.on ? 'on' : 'off'} (${calm.by})`;
  warning.hidden = false;
}

export function setUpViewer(running) {
  isRunning = running;
  keepToItself(warning);
  calmSwitch.addEventListener('change', () => {
    calm.on = calmSwitch.checked;
    calm.by = 'your choice';
    settings.calmSwitch = calm.on;
    calmSwitch.title = `calm mode: ${calm.on ? 'on' : 'off'} (${calm.by})`;
  });
  sound.setVolume(settings.volume, settings.muted);
  showWarning();
}

// The run begins: the warning goes, the controls come.
export function runBegins() {
  warning.hidden = true;
  mark = null;
  if (options.headless) return;
  if (options.start !== null) {
    gettingThere = true;
    showOverlay(`getting to ${options.start}…`, undefined, false);
  }
  if (!controls) {
    bar.hidden = false;
    controls = setUpControls({
      running: isRunning,
      playing,
      setPlaying,
      position,
      jump,
      volume: (level, muted) => sound.setVolume(level, muted),
    });
    setUpMediaSession({ play: () => setPlaying(true), pause: () => setPlaying(false) });
  }
  mediaPlaying(true);
}

// A frame reached the screen: a start point, if one was being reached, is.
export function frameShown() {
  if (!gettingThere) return;
  gettingThere = false;
  hideOverlay();
}

// A trace event of the program's: where the demo is, in demo time.
export function traced(event) {
  if (typeof event.t === 'number') mark = { t: event.t, heard: sound.heardNow() };
}

// Where the demo is now (seconds of demo time), null before it is known.
export function position() {
  if (!mark) return null;
  return mark.t + Math.max(0, sound.heardNow() - mark.heard);
}

export function playing() {
  return !held('viewer');
}

// Pause holds the demo's clock and its music together, as a hidden tab
// does; play goes on exactly where it stood.
export function setPlaying(on) {
  if (!isRunning() || options.headless) return;
  if (!on && !held('viewer')) {
    hold('viewer');
    sound.suspend();
    keepAwake(false);
  } else if (on && held('viewer')) {
    release('viewer');
    if (!held('hidden')) sound.resumeContext();
    keepAwake(true);
  }
  mediaPlaying(playing());
  if (controls) controls.update();
}

// A fresh page that starts at `where` (a scene's name or a time such as
// 93.5s), with the sound let in at once where the browser allows it.
export function jump(where) {
  try {
    sessionStorage.setItem('tolvarin-again', '1');
  } catch (e) {
    // no storage: the new page asks for a click
  }
  const url = new URL(location.href);
  url.searchParams.set('start', where);
  location.assign(url.toString());
}

export { keepToItself };
