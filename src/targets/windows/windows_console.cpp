#include "targets/windows/windows_console.h"

#include <windows.h>

#include <cstdio>

namespace tolvarin {
namespace {

bool goesSomewhere(DWORD which) {
  const HANDLE h = GetStdHandle(which);
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void useParentConsole() {
  const bool out = goesSomewhere(STD_OUTPUT_HANDLE);
  const bool err = goesSomewhere(STD_ERROR_HANDLE);
  if (out && err) return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;  // started from the desktop: nowhere to write
  // The C streams were set up at start-up without a handle; bind them to the
  // console now. C++'s streams write through them.
  if (!out) (void)std::freopen("CONOUT$", "w", stdout);
  if (!err) (void)std::freopen("CONOUT$", "w", stderr);
}

}  // namespace tolvarin
