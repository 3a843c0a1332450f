// The page's URL options, read once, and the program's command line they make.
//
//   ?fps=N          frames a second (0 = unpaced); otherwise the display's rate
//   ?start=WHERE    the scene (or time) the demo starts at
//   ?until=T        the demo ends at T seconds
//   ?trace          the program's trace lines on the console
//   ?autostart      no click first (the browser must allow sound already)
//   ?headless       virtual time and no sound; frame hashes on the console
//   ?sound=script   the ScriptProcessor path even where AudioWorklet exists
//   ?stats          the page measures itself for the tests (stats.js)
//   ?log            the console's lines kept in the page too (tests whose
//                   driver cannot read the console: WebKit's WebDriver)
//   ?scaling=MODE   whole: the picture at a whole multiple; fill: as large
//                   as fits; otherwise whole unless that leaves a quarter of
//                   the largest picture that fits unused (small screens)
//   ?calm           calm mode: no more than 3 flashes in any second (?calm=0:
//                   off); without it, the start screen's switch as the viewer
//                   left it, or on when the system asks for reduced motion

import { calmMode } from './settings.js';

const params = new URLSearchParams(location.search);

export const options = Object.freeze({
  headless: params.has('headless'),
  until: params.get('until'),
  fps: params.get('fps'),
  start: params.get('start'),
  trace: params.has('trace'),
  autostart: params.has('autostart') || params.has('headless'),
  scriptProcessor: params.get('sound') === 'script',
  stats: params.has('stats'),
  log: params.has('log'),
  scaling: ['whole', 'fill'].includes(params.get('scaling')) ? params.get('scaling') : null,
});

// Calm mode for the next run (the start screen's switch changes `on`), and
// what decided it.
export const calm = { ...calmMode(params.get('calm')) };

// The frame rate the page paces the frames at: null for the display's own,
// 0 for none (each frame as soon as it is drawn).
export const targetFps = options.fps !== null && /^\d+$/.test(options.fps) ? Number(options.fps) : null;

// The program's arguments: the URL's options as the native command line has them.
export function programArguments() {
  const args = [];
  if (options.headless) args.push('--headless', '--quiet', '--frame-hashes', '/dev/stdout');
  if (options.until !== null) args.push('--until', options.until);
  if (options.fps !== null) args.push('--fps', options.fps);
  if (options.start !== null) args.push('--start', options.start);
  // The page follows the trace for its timeline; headless, only when asked.
  if (options.trace || !options.headless) args.push('--trace', '-');
  if (calm.on) args.push('--calm');
  return args;
}
