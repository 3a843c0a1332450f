// A stand-in for ffmpeg.exe, so the recording path of tolvarin.exe can be
// tested under Wine without a Windows ffmpeg: the last argument is the output
// file. Reading "pipe:0" it writes "pipe <bytes read> <arguments>" there;
// given files it writes their contents one after the other (the final
// muxing step), so the output shows what both encoders received.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::vector<std::string> inputs;
  std::string all;
  for (int i = 1; i < argc; ++i) {
    all += ' ';
    all += argv[i];
    if (std::strcmp(argv[i], "-i") == 0 && i + 1 < argc) inputs.push_back(argv[i + 1]);
  }
  std::FILE* out = std::fopen(argv[argc - 1], "wb");
  if (out == nullptr) return 3;
  static char buffer[1 << 16];
  for (const std::string& input : inputs) {
    if (input == "pipe:0") {
      _setmode(_fileno(stdin), _O_BINARY);
      unsigned long long bytes = 0;
      std::size_t n = 0;
      while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) bytes += n;
      std::fprintf(out, "pipe %llu%s\n", bytes, all.c_str());
    } else {
      std::FILE* in = std::fopen(input.c_str(), "rb");
      if (in == nullptr) return 4;
      std::size_t n = 0;
      while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) std::fwrite(buffer, 1, n, out);
      std::fclose(in);
    }
  }
  return std::fclose(out) == 0 ? 0 : 5;
}
