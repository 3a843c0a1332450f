// The contract between the page and the program (tolvarin-page.wasm): every
// function one side calls on the other, and what it means. The page's side
// is checked against this table when it loads (page.js), the program's side
// by the browser tests, which read the calls out of the C++ sources.
//
// The program finds the page through the global `tolvarinPage` (its web
// backends: a page is there when `typeof tolvarinPage === 'object'`; under
// node there is none and the program runs headless only). It talks to the
// runtime's global `Module` once: when main returns. The page talks to the
// program only through `Module` (Emscripten's runtime), set up in program.js.
//
// Frames are 320x240 RGBA (R, G, B, 255) in the program's memory; sound is
// 16-bit stereo at 44100 Hz. Calls marked async return a promise the program
// awaits (ASYNCIFY): the browser runs in the meantime.

// Calls the program makes on the page.
export const PROGRAM_CALLS = [
  ['tolvarinPage.open(title)', 'The program opened its window: the title becomes the tab\'s.'],
  ['tolvarinPage.show(HEAPU8, ptr)', 'async. A frame at HEAPU8[ptr]: on the canvas at the next animation frame (with ?fps, the first one due), and resolved in a task of its own after it, so the browser paints.'],
  ['tolvarinPage.yieldToBrowser()', 'async. A busy wait polls (its third poll without a frame and on): resolved in a task of its own, after half a second of waiting by a 5 ms timer.'],
  ['tolvarinPage.close()', 'The window closed: nothing to do, the last frame stays.'],
  ['tolvarinPage.takeKeys()', 'Returns the key presses for the demo since the last call.'],
  ['tolvarinPage.pausedSeconds()', 'Returns the seconds the demo stood still since the start (the tab hidden); the demo\'s clock leaves them out.'],
  ['tolvarinPage.message(caption, text)', 'A message box: shown over the frame, and on the console as an error.'],
  ['tolvarinPage.sound.open()', 'The sound output opened: the queue emptied, no stream frame placed yet.'],
  ['tolvarinPage.sound.resume()', 'The music plays: framesWanted() asks for sound from now.'],
  ['tolvarinPage.sound.pause()', 'The music stops: framesWanted() returns 0.'],
  ['tolvarinPage.sound.close()', 'The sound output closed: the queue emptied.'],
  ['tolvarinPage.sound.framesWanted()', 'Returns the frames to mix now to keep the lead queued ahead of the speakers, 0 when enough is queued; at the start and after an underrun, a whole lead.'],
  ['tolvarinPage.sound.secondsUntilHeard()', 'Returns the seconds until the end of what is queued is heard: the output\'s latency.'],
  ['tolvarinPage.sound.heardSeconds()', 'Returns the stream second heard at this moment, -1 before the first sound: the program releases the music\'s syncs by it.'],
  ['tolvarinPage.sound.push(HEAP16, index, frames)', 'Queues `frames` stereo frames at HEAP16[index] after those pushed before.'],
  ['Module.onMainEnd(code)', 'main returned with this exit code (src/app/main.cpp), long after callMain returned: the run ended.'],
];

// What the page gives and calls on the program's runtime (Emscripten's Module).
export const PAGE_CALLS = [
  ['Module.noInitialRun', 'true: main waits for the viewer\'s start.'],
  ['Module.setStatus(text)', 'Called while loading: "(done/total)" in the text is the progress bar.'],
  ['Module.onRuntimeInitialized()', 'Called once loaded: the page starts the program, or asks for a click.'],
  ['Module.callMain(args)', 'Runs main with the URL\'s options as the native command line has them (options.js).'],
  ['Module.print(line)', 'Called with each line of stdout: the frame hashes of ?headless, to the console.'],
  ['Module.printErr(line)', 'Called with each line of stderr: trace lines ({"t":...}) to the console; other lines are warnings, kept for the message when the program fails.'],
  ['Module.onExit(code)', 'Called when the program exits by exit(): the run ended (as onMainEnd).'],
  ['Module.onAbort(what)', 'Called when the program aborts: the page says the demo stopped.'],
];

// The function a call names: 'tolvarinPage.sound.push(...)' -> ['tolvarinPage', 'sound', 'push'].
export function callPath(call) {
  return /^[\w.]+/.exec(call)[0].split('.');
}
