#include "support/program_run.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

namespace tolvarin::testing {

namespace fs = std::filesystem;

std::vector<FrameLine> parseFrameHashes(std::string_view text) {
  std::vector<FrameLine> out;
  std::istringstream in{std::string(text)};
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    FrameLine f;
    fields >> f.index >> f.time >> f.hash;
    EXPECT_FALSE(fields.fail()) << "not a frame line: " << line;
    out.push_back(f);
  }
  return out;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string freshFolder(std::string_view tag) {
  static std::atomic<int> counter{0};
  std::string name = "run";
  if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info()) {
    name = std::string(test->test_suite_name()) + "_" + test->name();
  }
  // The same name on every run of the suite, so that its files replace the
  // last run's instead of piling up.
  name.append("_").append(tag).append("_").append(std::to_string(counter++));
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  const fs::path folder = fs::path(::testing::TempDir()) / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder.string();
}

std::string dataFolder() { return TOLVARIN_TEST_DATA_DIR; }

Program Program::native() { return Program({std::string(TOLVARIN_BINARY_DIR) + "/tolvarin"}); }

ProgramRun Program::headless(std::vector<std::string> args, const RunOptions& options) const {
  args.insert(args.begin(), {"--headless", "--data", dataFolder()});
  return run(args, options);
}

ProgramRun Program::run(const std::vector<std::string>& args, const RunOptions& options) const {
  ProgramRun r;
  r.folder = options.folder.empty() ? freshFolder() : options.folder;
  std::vector<std::string> argv = command_;
  argv.insert(argv.end(), args.begin(), args.end());
  if ((options.outputs & kTrace)) argv.insert(argv.end(), {"--trace", r.path("trace.jsonl")});
  if ((options.outputs & kFrameHashes)) argv.insert(argv.end(), {"--frame-hashes", r.path("frames.txt")});
  if ((options.outputs & kWav)) argv.insert(argv.end(), {"--wav", r.path("music.wav")});
  const std::string outPath = r.path("stdout.txt"), errPath = r.path("stderr.txt");

  const pid_t pid = fork();
  if (pid == 0) {
    for (const std::string& e : options.environment) {
      const auto eq = e.find('=');
      if (eq == std::string::npos) {
        unsetenv(e.c_str());
      } else {
        setenv(e.substr(0, eq).c_str(), e.substr(eq + 1).c_str(), 1);
      }
    }
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> list;
    for (std::string& a : argv) list.push_back(a.data());
    list.push_back(nullptr);
    execvp(list[0], list.data());
    _exit(127);
  }
  if (pid < 0) {
    ADD_FAILURE() << "cannot start " << argv[0];
    return r;
  }
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      r.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  if (WIFEXITED(status) && !r.timedOut) r.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);

  r.out = readFile(outPath);
  r.err = readFile(errPath);
  if ((options.outputs & kTrace)) r.trace = parseTrace(readFile(r.path("trace.jsonl")));
  if ((options.outputs & kFrameHashes)) r.frames = parseFrameHashes(readFile(r.path("frames.txt")));
  if ((options.outputs & kWav)) r.wav = readWav(r.path("music.wav"));
  return r;
}

}  // namespace tolvarin::testing
