// Subprocess on Windows: CreateProcessW with a pipe to the child's standard
// input. Only the child's end of the pipe is ever inheritable, and only while
// that child is being created, so a second encoder never holds the first
// one's input open.
#include "platform/subprocess.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>

#include "targets/windows/find_program.h"
#include "targets/windows/windows_command_line.h"
#include "targets/windows/windows_unicode.h"

namespace tolvarin {
namespace {

bool isFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string environmentVariable(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  const DWORD n = GetEnvironmentVariableW(name, value.data(), size);
  value.resize(n < size ? n : 0);
  return narrow(value);
}

// A handle the child can be given as standard output or error: ours when it
// is a real one, otherwise none.
HANDLE inheritableStdHandle(DWORD which) {
  const HANDLE h = GetStdHandle(which);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return nullptr;
  DWORD flags = 0;
  if (!GetHandleInformation(h, &flags) || (flags & HANDLE_FLAG_INHERIT) == 0) return nullptr;
  return h;
}

// Starts argv with `input` as its standard input (null: ours). The process
// handle, or null.
HANDLE spawn(const std::vector<std::string>& argv, HANDLE input) {
  if (argv.empty()) return nullptr;
  const std::string program = findProgram(argv[0]);
  if (program.empty()) return nullptr;
  std::vector<std::string> args = argv;
  args[0] = program;
  std::wstring commandLine = widen(windowsCommandLine(args));

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input != nullptr ? input : inheritableStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = inheritableStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = inheritableStdHandle(STD_ERROR_HANDLE);
  // Without a console of our own (started from the desktop), a console
  // program like ffmpeg would open a console window: it gets none.
  const DWORD creation = GetConsoleWindow() == nullptr ? CREATE_NO_WINDOW : 0;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(widen(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE, creation, nullptr, nullptr,
                      &startup, &info)) {
    return nullptr;
  }
  CloseHandle(info.hThread);
  return info.hProcess;
}

int waitFor(HANDLE process) {
  WaitForSingleObject(process, INFINITE);
  DWORD code = 0;
  const bool ok = GetExitCodeProcess(process, &code) != 0;
  CloseHandle(process);
  // Codes from 0xC0000000 up are exceptions (a crash), not an exit.
  if (!ok || code >= 0xC0000000u) return -1;
  return static_cast<int>(code);
}

}  // namespace

std::string findProgram(const std::string& name) {
  if (name.empty()) return {};
  namespace fs = std::filesystem;
  const fs::path given(widen(name));
  const bool addExe = !given.has_extension();
  auto candidate = [&](const fs::path& path) -> std::string {
    std::wstring file = path.wstring();
    if (addExe) file += L".exe";
    return isFile(file) ? narrow(file) : std::string();
  };
  if (given.has_parent_path() || given.has_root_name()) return candidate(given);
  for (const std::string& folder : splitWindowsSearchPath(environmentVariable(L"PATH"))) {
    std::string found = candidate(fs::path(widen(folder)) / given);
    if (!found.empty()) return found;
  }
  return {};
}

struct Subprocess::Child {
  HANDLE process = nullptr;
  HANDLE input = nullptr;  // our end of the pipe to its standard input
};

Subprocess::Subprocess() = default;

Subprocess::~Subprocess() {
  if (child_ && child_->process != nullptr) (void)finish();
}

bool Subprocess::start(const std::vector<std::string>& argv) {
  if (child_ && child_->process != nullptr) return false;
  // Both ends made uninheritable; the child's end is made inheritable for the
  // moment of its creation only.
  HANDLE childEnd = nullptr;
  HANDLE ourEnd = nullptr;
  if (!CreatePipe(&childEnd, &ourEnd, nullptr, 0)) return false;
  HANDLE process = nullptr;
  if (SetHandleInformation(childEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) process = spawn(argv, childEnd);
  CloseHandle(childEnd);
  if (process == nullptr) {
    CloseHandle(ourEnd);
    return false;
  }
  child_ = std::make_unique<Child>(Child{process, ourEnd});
  return true;
}

bool Subprocess::write(const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    if (!child_ || child_->input == nullptr) return false;
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    // Fails (ERROR_BROKEN_PIPE, ERROR_NO_DATA) once the program has gone.
    if (!WriteFile(child_->input, p, chunk, &written, nullptr) || written == 0) return false;
    p += written;
    size -= written;
  }
  return true;
}

int Subprocess::finish() {
  if (!child_) return -1;
  if (child_->input != nullptr) {
    CloseHandle(child_->input);
    child_->input = nullptr;
  }
  const HANDLE process = child_->process;
  child_.reset();
  return process != nullptr ? waitFor(process) : -1;
}

int runProgram(const std::vector<std::string>& argv) {
  const HANDLE process = spawn(argv, nullptr);
  return process != nullptr ? waitFor(process) : -1;
}

}  // namespace tolvarin
