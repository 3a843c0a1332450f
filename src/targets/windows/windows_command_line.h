#pragma once
// How a program's arguments travel on Windows: as one command line, which
// the started program splits again (the C runtime's rules, the same as
// CommandLineToArgvW's). Plain string work, built on every platform so the
// rules are tested everywhere; only subprocess_windows.cpp uses it for real.
#include <string>
#include <vector>

namespace tolvarin {

// One argument, quoted so that the C runtime's splitting gives it back
// unchanged: as it is when it has no blank and no quote; otherwise in quotes,
// with quotes escaped and the backslashes before them (and before the closing
// quote) doubled.
std::string quoteWindowsArgument(const std::string& argument);

// The whole command line for argv (the program first).
std::string windowsCommandLine(const std::vector<std::string>& argv);

// The folders of a PATH value: split at ';', surrounding quotes removed,
// empty entries left out.
std::vector<std::string> splitWindowsSearchPath(const std::string& path);

}  // namespace tolvarin
