#pragma once
// What differs from one target to the next besides the window and the sound
// device (backends.h): declared once here, defined once by each target's
// folder under src/targets/ (posix, windows, web), which src/CMakeLists.txt
// picks for the build.
#include <filesystem>
#include <vector>

namespace tolvarin {

// Done first thing in main. On Windows the program is a window program:
// started from a terminal, its messages go to that terminal. Nothing elsewhere.
void attachToTerminal();

// Done when the program is about to return its exit code. In a browser page
// main returns long after the page called it, and this tells the page.
void announceExit(int code);

// Whether standard error goes to a terminal (the progress line is shown only there).
[[nodiscard]] bool stderrIsTerminal();

// The folder of the running program's file; empty when it is unknown or the
// program is no file of its own (WebAssembly).
[[nodiscard]] std::filesystem::path programFolder();

// The folders searched for the data files after the working folder, in order.
[[nodiscard]] std::vector<std::filesystem::path> dataSearchFolders();

// Whether the target can write PNG files (--shot) and start other programs
// (ffmpeg for --record). Where it cannot, those options are refused.
[[nodiscard]] bool canWritePng();
[[nodiscard]] bool canStartPrograms();

}  // namespace tolvarin
