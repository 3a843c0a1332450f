// tolvarin-test-run: the tests' trace reader for the shell tests, which run
// the program under node, Wine or a window and must read its trace the way
// the C++ tests do.
//   tolvarin-test-run trace [--live] FILE
// prints one event a line, fields separated by one space, for awk:
//   t frame order row event scene      (scene "-" when none was running)
// A line that is not a trace line is named on stderr and the exit code is 1.
// --live: the program may still be writing FILE; a missing file is empty
// and an unfinished last line is left out.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "support/trace_events.h"

int main(int argc, char** argv) {
  const bool live = argc == 4 && std::strcmp(argv[2], "--live") == 0;
  if (argc < 3 || std::strcmp(argv[1], "trace") != 0 || argc != (live ? 4 : 3)) {
    std::fprintf(stderr, "usage: tolvarin-test-run trace [--live] FILE\n");
    return 2;
  }
  const char* path = argv[argc - 1];
  std::ifstream in(path, std::ios::binary);
  if (!in && !live) {
    std::fprintf(stderr, "tolvarin-test-run: cannot read %s\n", path);
    return 1;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto trace = tolvarin::testing::parseTrace(text, live);
  for (const auto& e : trace.events) {
    std::printf("%.3f %lld %d %d %s %s\n", e.t, static_cast<long long>(e.frame), e.order, e.row, e.event.c_str(),
                e.scene.empty() ? "-" : e.scene.c_str());
  }
  for (const auto& line : trace.malformed) std::fprintf(stderr, "%s: not a trace line: %s\n", path, line.c_str());
  return trace.malformed.empty() ? 0 : 1;
}
