// The other end of the Subprocess tests: subprocess_helper OUT CODE [ARGS...]
// writes into OUT the number of ARGS and a newline, each of ARGS followed by
// a NUL byte, then every byte it reads from its standard input; it exits with
// CODE. With CODE "quit" it exits with 3 at once, reading nothing.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
  if (argc < 3) return 100;
  if (std::strcmp(argv[2], "quit") == 0) return 3;
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);  // bytes as they come: no CR LF handling
#endif
  std::FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) return 101;
  std::fprintf(out, "%d\n", argc - 3);
  for (int i = 3; i < argc; ++i) std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, out);
  char buffer[65536];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) std::fwrite(buffer, 1, n, out);
  if (std::fclose(out) != 0) return 102;
  return std::atoi(argv[2]);
}
