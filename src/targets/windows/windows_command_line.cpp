#include "targets/windows/windows_command_line.h"

namespace tolvarin {

std::string quoteWindowsArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) return argument;
  std::string out = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Backslashes are literal unless a quote follows them.
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  // Before the closing quote they must not escape it.
  out.append(2 * backslashes, '\\');
  out += '"';
  return out;
}

std::string windowsCommandLine(const std::vector<std::string>& argv) {
  std::string line;
  for (const std::string& argument : argv) {
    if (!line.empty()) line += ' ';
    line += quoteWindowsArgument(argument);
  }
  return line;
}

std::vector<std::string> splitWindowsSearchPath(const std::string& path) {
  std::vector<std::string> folders;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(';', start);
    if (end == std::string::npos) end = path.size();
    std::string entry = path.substr(start, end - start);
    if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"') entry = entry.substr(1, entry.size() - 2);
    if (!entry.empty()) folders.push_back(entry);
    start = end + 1;
  }
  return folders;
}

}  // namespace tolvarin
