#include "replay_tool.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testing_support {

namespace {
const std::string kTool = std::string(ORVANTA_TOOLS_DIR) + "/orvanta-nmea-replay";
}  // namespace

bool ReplayTool::available() { return ::access(kTool.c_str(), X_OK) == 0; }

ReplayTool::~ReplayTool() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (out_ >= 0) ::close(out_);
}

std::string ReplayTool::start(const std::vector<std::string>& args) {
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  std::vector<char*> argv{const_cast<char*>(kTool.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const int spawned = posix_spawn(&pid_, kTool.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipe_fds[1]);
  out_ = pipe_fds[0];
  if (spawned != 0) {
    pid_ = -1;
    return {};
  }
  std::string line;
  char c;
  pollfd p{out_, POLLIN, 0};
  while (::poll(&p, 1, 5000) == 1 && ::read(out_, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

int ReplayTool::stop() {
  int status = -1;
  if (pid_ <= 0) return status;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
  return status;
}

}  // namespace testing_support
