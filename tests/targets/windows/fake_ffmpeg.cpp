// A stand-in for ffmpeg.exe, so the recording path of tolvarin.exe can be
// tested under Wine without a Windows ffmpeg: the last argument is the output
// file. Reading "pipe:0" it writes "pipe <bytes read> <arguments>" there;
// given files it writes their contents one after the other (the final
// muxing step), so the output shows what both encoders received. It takes
// its arguments as UTF-16 (wmain) and writes them as UTF-8, so a name that
// no legacy code page holds shows whether it arrived intact.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string utf8(const std::wstring& s) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  std::vector<std::wstring> inputs;
  std::string all;
  for (int i = 1; i < argc; ++i) {
    all += ' ';
    all += utf8(argv[i]);
    if (std::wstring(argv[i]) == L"-i" && i + 1 < argc) inputs.push_back(argv[i + 1]);
  }
  std::FILE* out = _wfopen(argv[argc - 1], L"wb");
  if (out == nullptr) return 3;
  static char buffer[1 << 16];
  for (const std::wstring& input : inputs) {
    if (input == L"pipe:0") {
      _setmode(_fileno(stdin), _O_BINARY);
      unsigned long long bytes = 0;
      std::size_t n = 0;
      while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) bytes += n;
      std::fprintf(out, "pipe %llu%s\n", bytes, all.c_str());
    } else {
      std::FILE* in = _wfopen(input.c_str(), L"rb");
      if (in == nullptr) return 4;
      std::size_t n = 0;
      while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) std::fwrite(buffer, 1, n, out);
      std::fclose(in);
    }
  }
  return std::fclose(out) == 0 ? 0 : 5;
}
