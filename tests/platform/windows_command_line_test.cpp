// The quoting that carries arguments through a Windows command line, and the
// PATH splitting. Plain string work, tested on every platform; the
// round trip through a real child is in subprocess_test.cpp.
#include <gtest/gtest.h>

#include "targets/windows/windows_command_line.h"

namespace tolvarin {
namespace {

TEST(WindowsCommandLine, QuotesOnlyWhatNeedsItAndEscapesQuotesWithTheirBackslashes) {
  EXPECT_EQ(quoteWindowsArgument("plain"), "plain");
  EXPECT_EQ(quoteWindowsArgument("C:\\dir\\file.mkv"), "C:\\dir\\file.mkv");  // backslashes alone stay
  EXPECT_EQ(quoteWindowsArgument(""), "\"\"");
  EXPECT_EQ(quoteWindowsArgument("two words"), "\"two words\"");
  EXPECT_EQ(quoteWindowsArgument("tab\there"), "\"tab\there\"");
  EXPECT_EQ(quoteWindowsArgument("a\"b"), "\"a\\\"b\"");
  EXPECT_EQ(quoteWindowsArgument("a\\\"b"), "\"a\\\\\\\"b\"");          // a\"b: 1 backslash + quote -> 3 + quote
  EXPECT_EQ(quoteWindowsArgument("dir with space\\"), "\"dir with space\\\\\"");  // doubled before the closing quote
  EXPECT_EQ(quoteWindowsArgument("x\\\\y z"), "\"x\\\\y z\"");            // not before a quote: as they are
}

TEST(WindowsCommandLine, JoinsTheQuotedArgumentsWithSpaces) {
  EXPECT_EQ(windowsCommandLine({"C:\\Program Files\\ffmpeg.exe", "-i", "pipe:0", "out file.mp4"}),
            "\"C:\\Program Files\\ffmpeg.exe\" -i pipe:0 \"out file.mp4\"");
  EXPECT_EQ(windowsCommandLine({}), "");
  EXPECT_EQ(windowsCommandLine({"", ""}), "\"\" \"\"");
}

TEST(WindowsSearchPath, SplitsAtSemicolonsDroppingQuotesAndEmptyEntries) {
  using V = std::vector<std::string>;
  EXPECT_EQ(splitWindowsSearchPath("C:\\a;C:\\b"), (V{"C:\\a", "C:\\b"}));
  EXPECT_EQ(splitWindowsSearchPath(";;C:\\a;;\"C:\\Program Files\\b\";"), (V{"C:\\a", "C:\\Program Files\\b"}));
  EXPECT_EQ(splitWindowsSearchPath(""), V{});
  EXPECT_EQ(splitWindowsSearchPath("\"\""), V{});
  EXPECT_EQ(splitWindowsSearchPath("single"), V{"single"});
}

}  // namespace
}  // namespace tolvarin
