#pragma once
// How the Windows target finds the program it starts.
#include <string>

namespace tolvarin {

// The file a program name starts: the name itself when it has a folder,
// otherwise the first match in the folders of PATH, ".exe" added when the
// name has no extension. Empty when there is none. (Unlike CreateProcess's
// own search, the working folder and the program's folder are not searched.)
std::string findProgram(const std::string& name);

}  // namespace tolvarin
