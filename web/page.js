// The demo's page, an ES module loaded by index.html: it publishes
// `tolvarinPage`, the object the program's web backends call (contract.js
// lists every call both ways), and loads the program. Each concern is a
// module of its own:
//
//   options.js   the URL's options and the command line they make
//   layout.js    the canvas's scale, full screen, overlay, message box, notice
//   keys.js      the keyboard
//   clock.js     the pauses of a hidden tab; the display's frame cadence
//   frames.js    frames on the canvas at the animation frames; busy waits
//   sound.js     the music through Web Audio (pcm-player.js: the worklet)
//   program.js   loading, start, run, end, watch again, failures
//   stats.js     the page's measurements, only when a test asks (?stats)
//   wake-lock.js the screen kept awake while the demo plays
//   offline.js   the service worker: the site kept for offline visits
import { pausedSeconds } from './clock.js';
import { callPath, PROGRAM_CALLS } from './contract.js';
import { show, yieldToBrowser } from './frames.js';
import { takeKeys } from './keys.js';
import { scale, setUpLayout } from './layout.js';
import { takeNewBuild } from './offline.js';
import { fail, message, programState, runProgram } from './program.js';
import { sound } from './sound.js';
import { keepConsole } from './stats.js';
import { mediaAction } from './media-session.js';
import { calm } from './options.js';
import { frameShown, playing, position } from './viewer.js';
import { awake } from './wake-lock.js';

const page = {
  open(title) {
    document.title = title;
  },
  close() {},
  show(heap, ptr) {
    frameShown();
    return show(heap, ptr);
  },
  yieldToBrowser,
  takeKeys,
  pausedSeconds,
  message,
  sound,
  // What the tests read.
  inspect: () => ({
    ...programState(),
    scale: scale(),
    paused: pausedSeconds(),
    audio: { kind: sound.kind, clock: sound.clockKind, state: sound.state(), time: sound.clock(), pushed: sound.pushed,
      joins: sound.joins, notice: sound.status, heard: sound.heardNow() },
    awake: awake(),
    viewer: { calm: { ...calm }, playing: playing(), position: position(), level: sound.level,
      warning: !document.getElementById('warning').hidden,
      media: 'mediaSession' in navigator && navigator.mediaSession.metadata ? navigator.mediaSession.metadata.title : null },
  }),
  // A media key (play, pause), as the system would press it (the tests).
  mediaAction,
};

keepConsole();
// Whatever the page's Content-Security-Policy (index.html) blocks is a fault
// of the page's: it says so on the console.
document.addEventListener('securitypolicyviolation', (e) => {
  console.error(`tolvarin: the page's policy blocked ${e.blockedURI || 'an inline script or style'} (${e.violatedDirective})`);
});
window.tolvarinPage = page;
setUpLayout();

// Every call the program makes on the page must find its function: a
// missing one would otherwise stop the program midway with a TypeError.
const missing = PROGRAM_CALLS.map(([call]) => callPath(call))
  .filter((p) => p[0] === 'tolvarinPage' && typeof p.slice(1).reduce((o, name) => o && o[name], page) !== 'function')
  .map((p) => p.join('.'));
if (missing.length > 0) fail(`the page lacks ${missing.join(', ')}`);
// A new build's worker waiting: the page reloads from it instead.
else takeNewBuild().then((taking) => taking || runProgram());
