// Linked in front of the program (--pre-js): what it takes from node when it
// runs there. A browser page has neither an environment nor an exit code.
if (typeof process === 'object' && process.versions && process.versions.node) {
  // The program reads node's environment through getenv(), as a native
  // program reads its own (TOLVARIN_SIMD=off, TMPDIR, TOLVARIN_DATA_DIR);
  // Emscripten's C library otherwise starts with a fixed, made-up one.
  Module['preRun'] = Module['preRun'] || [];
  Module['preRun'].push(function () {
    Object.assign(ENV, process.env);
  });
  // A program that never got to run (the page output's packed data could
  // not be read, say) must not end as one that ran and succeeded.
  process.on('exit', function (code) {
    if (code === 0 && !Module['calledRun']) process.exitCode = 1;
  });
}
