// Linked in front of the program (--pre-js). Under node the program reads
// node's environment through getenv(), as a native program reads its own
// (TOLVARIN_SIMD=off, TMPDIR, TOLVARIN_DATA_DIR); Emscripten's C library
// otherwise starts with a fixed, made-up environment. A browser has none to
// give.
if (typeof process === 'object' && process.versions && process.versions.node) {
  Module['preRun'] = Module['preRun'] || [];
  Module['preRun'].push(function () {
    Object.assign(ENV, process.env);
  });
}
