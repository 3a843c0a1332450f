// Starting the encoder program: arguments arrive exactly as given (no shell,
// and on Windows the command line's quoting undone by the child), every byte
// written reaches the child's input, exit codes come back, a program that is
// missing or that quits early is reported, and two children never hold each
// other's input open.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <vector>

#include "platform/subprocess.h"
#ifdef _WIN32
#include "targets/windows/find_program.h"
#endif

namespace tolvarin {
namespace {

namespace fs = std::filesystem;

const std::string kHelper = TOLVARIN_SUBPROCESS_HELPER;

std::string tempPath(const std::string& name) { return (fs::path(::testing::TempDir()) / ("subprocess_" + name)).string(); }

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// What the helper wrote: its arguments, then its input.
struct Seen {
  std::vector<std::string> args;
  std::string input;
};

Seen readSeen(const std::string& path) {
  const std::string all = slurp(path);
  Seen seen;
  std::size_t at = all.find('\n');
  if (at == std::string::npos) return seen;
  const int count = std::stoi(all.substr(0, at));
  ++at;
  for (int i = 0; i < count; ++i) {
    const std::size_t end = all.find('\0', at);
    if (end == std::string::npos) return seen;
    seen.args.push_back(all.substr(at, end - at));
    at = end + 1;
  }
  seen.input = all.substr(at);
  return seen;
}

std::string pattern(std::size_t n) {
  std::string s(n, '\0');
  std::uint32_t x = 12345;
  for (char& c : s) {
    x = x * 1664525u + 1013904223u;
    c = static_cast<char>(x >> 24);
  }
  return s;
}

TEST(Subprocess, ArgumentsArriveUnchanged) {
  const std::string out = tempPath("args");
  const std::vector<std::string> tricky{
      "plain",         "two words",      "",          "quote\"inside", "\"quoted\"",       "trailing\\",
      "trail space\\", "back\\\\slash",  "a\\\"b",    "tab\there",     "C:\\Program Files\\x\\", "-i",
      "pipe:0",        "scale=iw*2:ih*2:flags=neighbor", "%PATH%", "semi;colon&amp|bar<gt>^caret",
  };
  std::vector<std::string> argv{kHelper, out, "0"};
  argv.insert(argv.end(), tricky.begin(), tricky.end());
  ASSERT_EQ(runProgram(argv), 0);
  EXPECT_EQ(readSeen(out).args, tricky);
}

TEST(Subprocess, EveryByteWrittenReachesTheChildAndItsExitCodeComesBack) {
  const std::string out = tempPath("input");
  // More than any pipe buffer, in pieces of odd sizes; bytes of every value,
  // including CR, LF and Ctrl-Z, which a text-mode pipe would change.
  const std::string data = pattern(3 * 1024 * 1024 + 17) + "\r\n\x1a\n";
  Subprocess child;
  ASSERT_TRUE(child.start({kHelper, out, "7", "arg"}));
  std::size_t at = 0;
  for (std::size_t piece = 1; at < data.size(); piece = piece * 3 + 1) {
    const std::size_t n = std::min(piece, data.size() - at);
    ASSERT_TRUE(child.write(data.data() + at, n));
    at += n;
  }
  EXPECT_EQ(child.finish(), 7);
  const Seen seen = readSeen(out);
  EXPECT_EQ(seen.args, std::vector<std::string>{"arg"});
  ASSERT_EQ(seen.input.size(), data.size());
  EXPECT_TRUE(seen.input == data);
  EXPECT_EQ(child.finish(), -1) << "a second finish has no child to wait for";
}

TEST(Subprocess, AMissingProgramIsReportedNotRun) {
  Subprocess child;
  EXPECT_FALSE(child.start({"tolvarin-no-such-program-here", "x"}));
  EXPECT_FALSE(child.write("x", 1));
  EXPECT_EQ(child.finish(), -1);
  EXPECT_EQ(runProgram({"tolvarin-no-such-program-here"}), -1);
  EXPECT_EQ(runProgram({(fs::path(TOLVARIN_BINARY_DIR) / "no-such-program").string()}), -1);
  EXPECT_EQ(runProgram({}), -1);
  Subprocess nothing;
  EXPECT_FALSE(nothing.start({}));
  EXPECT_EQ(nothing.finish(), -1);
}

TEST(Subprocess, WritingToAChildThatQuitFailsInsteadOfHangingOrKillingUs) {
  Subprocess child;
  ASSERT_TRUE(child.start({kHelper, tempPath("unused"), "quit"}));
  // The child reads nothing and exits; once the pipe is full or closed the
  // writes must fail (no SIGPIPE, no endless wait).
  const std::string block = pattern(1 << 20);
  bool failed = false;
  for (int i = 0; i < 64 && !failed; ++i) failed = !child.write(block.data(), block.size());
  EXPECT_TRUE(failed);
  EXPECT_EQ(child.finish(), 3);
}

TEST(Subprocess, TwoChildrenDoNotHoldEachOthersInputOpen) {
  const std::string outA = tempPath("a");
  const std::string outB = tempPath("b");
  Subprocess a;
  Subprocess b;
  ASSERT_TRUE(a.start({kHelper, outA, "0"}));
  ASSERT_TRUE(b.start({kHelper, outB, "0"}));
  ASSERT_TRUE(a.write("first", 5));
  // If b had inherited a's pipe, a would never see the end of its input and
  // finishing it would wait forever; give it a minute.
  auto finished = std::async(std::launch::async, [&a] { return a.finish(); });
  ASSERT_EQ(finished.wait_for(std::chrono::seconds(60)), std::future_status::ready) << "the first child never ended";
  EXPECT_EQ(finished.get(), 0);
  EXPECT_EQ(readSeen(outA).input, "first");
  ASSERT_TRUE(b.write("second", 6));
  EXPECT_EQ(b.finish(), 0);
  EXPECT_EQ(readSeen(outB).input, "second");
}

TEST(Subprocess, DestroyingARunningChildClosesItsInputAndWaits) {
  const std::string out = tempPath("destroyed");
  {
    Subprocess child;
    ASSERT_TRUE(child.start({kHelper, out, "0"}));
    ASSERT_TRUE(child.write("bye", 3));
  }
  EXPECT_EQ(readSeen(out).input, "bye");
}

#ifdef _WIN32
TEST(FindProgram, LooksInPathAddingExeAndTakesNamesWithAFolderAsTheyAre) {
  // Wine and Windows both have cmd.exe in the system folder, which is on PATH.
  const std::string cmd = findProgram("cmd");
  ASSERT_FALSE(cmd.empty());
  EXPECT_EQ(fs::path(cmd).filename(), "cmd.exe");
  EXPECT_TRUE(fs::exists(cmd));
  EXPECT_EQ(findProgram("tolvarin-no-such-program-here"), "");
  EXPECT_EQ(findProgram(""), "");
  // With a folder: that file, ".exe" added when there is no extension.
  const fs::path helper(kHelper);
  fs::path withoutExe = helper;
  withoutExe.replace_extension();
  EXPECT_TRUE(fs::equivalent(findProgram(withoutExe.string()), helper));
  EXPECT_TRUE(fs::equivalent(findProgram(helper.string()), helper));
  EXPECT_EQ(findProgram((helper.parent_path() / "missing").string()), "");
  // A folder is never a program.
  EXPECT_EQ(findProgram(helper.parent_path().string()), "");
}
#endif

}  // namespace
}  // namespace tolvarin
