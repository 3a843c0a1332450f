#pragma once
// Windows: the program is a window program (no console window opens when it
// is started from the desktop). Started from a terminal, its messages, --help
// and the trace on stderr should still reach that terminal. Windows only.
namespace tolvarin {

// Output already going somewhere (a pipe, a file: redirected, or under a test
// runner) stays there; output going nowhere is sent to the console of the
// process that started us, when it has one. Call first thing in main.
void useParentConsole();

}  // namespace tolvarin
