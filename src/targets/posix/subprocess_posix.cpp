#include "platform/subprocess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

extern char** environ;

namespace tolvarin {
namespace {

std::vector<char*> argvPointers(const std::vector<std::string>& argv) {
  std::vector<char*> out;
  for (const auto& a : argv) out.push_back(const_cast<char*>(a.c_str()));
  out.push_back(nullptr);
  return out;
}

int waitFor(int pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

struct Subprocess::Child {
  int pid = -1;
  int input = -1;  // our end of the pipe to its standard input
};

Subprocess::Subprocess() = default;

Subprocess::~Subprocess() {
  if (child_ && child_->pid > 0) (void)finish();
}

bool Subprocess::start(const std::vector<std::string>& argv) {
  // A program that quits early must not kill us with SIGPIPE; write() reports it.
  std::signal(SIGPIPE, SIG_IGN);
  if (argv.empty()) return false;  // no program named
  int fds[2];
  // Close-on-exec, so no other child we start inherits this pipe and keeps
  // it open after we close it (the program would never see its input end).
  if (pipe2(fds, O_CLOEXEC) != 0) return false;
#ifdef F_SETPIPE_SZ
  // A whole frame (300 KB) per write: a pipe that holds a few of them saves
  // the two processes a wake-up every 64 KB. Where the system refuses, the
  // default size still works.
  (void)fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
#endif
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[1]);
  auto args = argvPointers(argv);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[0]);
  if (rc != 0) {
    close(fds[1]);
    return false;
  }
  child_ = std::make_unique<Child>(Child{pid, fds[1]});
  return true;
}

bool Subprocess::write(const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    if (!child_ || child_->input < 0) return false;
    const ssize_t n = ::write(child_->input, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

int Subprocess::finish() {
  if (!child_) return -1;
  if (child_->input >= 0) {
    close(child_->input);
    child_->input = -1;
  }
  const int pid = child_->pid;
  child_.reset();
  return pid > 0 ? waitFor(pid) : -1;
}

int runProgram(const std::vector<std::string>& argv) {
  if (argv.empty()) return -1;  // no program named
  auto args = argvPointers(argv);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return -1;
  return waitFor(pid);
}

}  // namespace tolvarin
