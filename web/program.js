// The program's life on the page: loading it (tolvarin-page.js, .wasm,
// .data), the start overlay (browsers allow sound only after a gesture, so
// the page waits for a tap, a click or a key unless ?autostart), the run, its
// end and watching again, and its failures and message boxes.
//
// The viewer's input: a key, or a tap on the picture (a touch or a pen; the
// mouse's double-click is full screen), is the demo's key: it ends the
// running scene, and after the closing picture ends the demo; then it
// plays the demo again. Every gesture is also offered to the sound first
// (sound.js), which a browser lets start only in one.
//
//   loading -> ready -> starting -> running -> ended (-> loading: watch again)
//                                           -> failed
import { held, pauseWhenHidden, resetPauses } from './clock.js';
import { animationFrame, frameInterval, startFrames } from './frames.js';
import { clearKeys, keyForDemo, listenForKeys } from './keys.js';
import { el, hideOverlay, messageShown, showMessage, showNotice, showOverlay } from './layout.js';
import { keepForOffline } from './offline.js';
import { options, programArguments } from './options.js';
import { SITE_SIZES } from './site.js';
import { sound } from './sound.js';
import { Stats, statsWanted } from './stats.js';
import { runBegins, setUpViewer, traced } from './viewer.js';
import { keepAwake } from './wake-lock.js';

let phase = 'loading';
let startWhenReady = options.autostart;
let exitCode = null;
let programMessages = []; // the program's stderr lines that are not trace
let stats = null;
// Set by watchAgain() across the reload (storage may be refused: then the
// click is asked again).
let again = false;
try {
  again = sessionStorage.getItem('tolvarin-again') === '1';
  sessionStorage.removeItem('tolvarin-again');
} catch (e) {
  again = false;
}

function overlay(text, progress) {
  showOverlay(text, progress, phase === 'ready' || phase === 'ended');
}

// The program's message box.
export function message(caption, text) {
  console.error(`${caption}: ${text}`);
  showMessage(caption, text);
}

function stderrLine(line) {
  if (line.startsWith('{"t":')) {
    // The page always asks for the trace (the timeline follows it); the
    // console gets it when the address asks (?trace).
    if (options.trace) console.log(line);
    if (stats) stats.traced(line);
    try {
      traced(JSON.parse(line));
    } catch (e) {
      // a line cut short: the next one serves
    }
  } else {
    console.warn(line);
    programMessages.push(line);
  }
}

// The run cannot go on: the page says why.
export function fail(text) {
  if (phase === 'failed') return;
  phase = 'failed';
  keepAwake(false);
  sound.end();
  hideOverlay();
  console.error(`tolvarin: ${text}`);
  if (!messageShown()) showMessage('The demo stopped', text);
}

function programEnded(code) {
  if (phase !== 'running') return;
  exitCode = code;
  keepAwake(false);
  sound.end();
  if (code !== 0) {
    phase = 'failed';
    console.error(`tolvarin: the program ended with exit code ${code}`);
    if (!messageShown()) showMessage('The demo stopped', programMessages.join('\n') || `exit code ${code}`);
    return;
  }
  phase = 'ended';
  if (options.headless) overlay('done');
  else overlay('press a key to watch again');
}

// The loading bar's part (0..1) from the runtime's "(done/total)": done
// counts the data's bytes as the browser has decoded them, while total is
// the server's Content-Length, the compressed size when the server
// compresses; the data's real size is the site's own figure (site.js).
function loadedPart(text) {
  const m = /\((\d+)\/(\d+)\)/.exec(text || '');
  if (!m) return null;
  const total = SITE_SIZES['tolvarin-page.data'] || Number(m[2]);
  return total > 0 ? Math.min(1, Number(m[1]) / total) : 0;
}

function makeModule() {
  return {
    noInitialRun: true,
    print: (line) => console.log(line),
    printErr: stderrLine,
    setStatus: (text) => {
      // Its last call, with no figures, says the download is over.
      const part = loadedPart(text);
      if (phase === 'loading' && part !== null) overlay('loading…', part);
    },
    onRuntimeInitialized: async () => {
      phase = 'ready';
      keepForOffline();
      if (!startWhenReady && again) {
        // Watching again: the key that asked for it reloaded the page; the
        // sound may start without a new gesture, or else the click is asked.
        await sound.prepare();
        startWhenReady = sound.running();
      }
      if (startWhenReady) start();
      else overlay(window.matchMedia('(pointer: coarse)').matches ? 'tap to start' : 'click or press a key to start');
    },
    onExit: programEnded,
    onMainEnd: programEnded,
    onAbort: (what) => fail(`the program stopped: ${what}`),
  };
}

function loadProgram() {
  phase = 'loading';
  overlay('loading…', 0);
  window.Module = makeModule();
  const script = document.createElement('script');
  script.src = 'tolvarin-page.js';
  script.onerror = () => fail('could not load the demo: tolvarin-page.js not found');
  document.body.appendChild(script);
}

async function start() {
  if (phase !== 'ready') return;
  phase = 'starting';
  hideOverlay();
  if (!options.headless) await sound.prepare();
  resetPauses();
  clearKeys();
  programMessages = [];
  stats = statsWanted() ? new Stats(() => sound.heardNow()) : null;
  sound.stats = stats;
  startFrames(stats);
  phase = 'running';
  runBegins();
  if (options.headless) overlay('rendering in virtual time…');
  else keepAwake(true);
  // Lets the overlay change paint before a headless run holds the page.
  await animationFrame();
  try {
    window.Module.callMain(programArguments());
  } catch (e) {
    fail(String(e));
  }
}

// A fresh page runs the program again (an ended program's runtime cannot
// be started twice); the URL's options stay.
function watchAgain() {
  phase = 'loading';
  try {
    sessionStorage.setItem('tolvarin-again', '1');
  } catch (e) {
    // no storage: the reloaded page asks for a click
  }
  location.reload();
}

// The viewer's key for the demo (a key press or a tap on the picture).
function demoKey() {
  if (phase === 'ready') start();
  else if (phase === 'running') keyForDemo();
  else if (phase === 'ended') watchAgain();
}

// Loads the program, and starts it when the viewer (or ?autostart) says so.
export function runProgram() {
  if (!options.headless) sound.onStatus = showNotice;
  listenForKeys(() => {
    // A key that resumed an interrupted sound was for the sound only.
    if (sound.gesture() && phase === 'running') return;
    demoKey();
  });
  // The start button answers the press, not the release: a phone lets
  // sound start in the touch itself (start() makes the audio context now).
  const press = (e) => {
    if (phase === 'ready') start();
    else if (phase === 'ended') watchAgain();
    else return;
    e.stopPropagation();
  };
  el.overlay.addEventListener('pointerdown', press);
  el.overlay.addEventListener('touchstart', press, { passive: true });
  // A click only from the keyboard (Enter or Space on the focused button):
  // a pointer's click ends a press the handlers above have had, and one
  // whose press ended the demo must not start it again at its release.
  el.overlay.addEventListener('click', (e) => {
    if (e.detail === 0) press(e);
  });
  // A tap on the picture; the mouse only offers its clicks to the sound.
  el.stage.addEventListener('pointerdown', (e) => {
    if (e.target === el.notice || e.target.closest('#fullscreen, #controls, #warning')) return;
    const forSound = sound.gesture();
    if (e.pointerType === 'mouse' || (forSound && phase === 'running')) return;
    demoKey();
  });
  // Some browsers count only the release of a touch as the gesture that
  // lets sound start: it is offered that too.
  for (const type of ['pointerup', 'touchend', 'click']) document.addEventListener(type, () => sound.gesture(), { passive: true });
  el.notice.addEventListener('pointerdown', (e) => {
    e.stopPropagation();
    sound.gesture();
  });
  // A tab shown again while the viewer holds the demo stays held.
  pauseWhenHidden(() => phase === 'running', () => sound.suspend(), () => {
    if (!held('viewer')) sound.resumeContext();
  });
  setUpViewer(() => phase === 'running');
  // The page's own failures while loading (the .wasm or .data not found).
  window.addEventListener('error', (e) => {
    if (phase === 'loading') fail(`could not load the demo: ${e.message}`);
  });
  loadProgram();
}

// The paths the page took where engines differ: the sound's player and
// clock, the timer's grain, full screen, the wake lock.
function paths() {
  return {
    sound: sound.path(),
    timerGrainMs: timerGrain(),
    fullscreen: Boolean(document.fullscreenEnabled || document.webkitFullscreenEnabled),
    wakeLock: 'wakeLock' in navigator,
  };
}

// The smallest step performance.now() takes (browsers coarsen it), measured once.
let grain = null;
function timerGrain() {
  if (grain !== null) return grain;
  let smallest = Infinity;
  for (let i = 0, last = performance.now(); i < 2000 && smallest > 0.001; i += 1) {
    const now = performance.now();
    if (now > last) smallest = Math.min(smallest, now - last);
    last = now;
  }
  grain = Number.isFinite(smallest) ? smallest : null;
  return grain;
}

// The run as the tests see it; `stats` is null unless they asked for it.
export function programState() {
  return { phase, exitCode, stats: stats ? { ...stats.report(frameInterval()), paths: paths() } : null };
}
