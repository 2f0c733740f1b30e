#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

extern char** environ;

namespace vantorel::testing {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPollSliceMs = 20;

int StatusOf(int waitStatus) {
  return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
  std::array<int, 2> output{};
  std::array<int, 2> errors{};
  if (::pipe2(output.data(), O_CLOEXEC) != 0 || ::pipe2(errors.data(), O_CLOEXEC) != 0) {
    throw std::system_error(errno, std::generic_category(), "pipe");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
  std::vector<char*> args;
  for (const std::string& arg : argv) {
    args.push_back(const_cast<char*>(arg.c_str()));
  }
  args.push_back(nullptr);
  const int failed = posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(output[1]);
  ::close(errors[1]);
  outputPipe_ = output[0];
  errorPipe_ = errors[0];
  if (failed != 0) {
    ::close(outputPipe_);
    ::close(errorPipe_);
    throw std::system_error(failed, std::generic_category(), "start " + argv[0]);
  }
}

ChildProcess::~ChildProcess() {
  if (!status_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  for (const int fd : {outputPipe_, errorPipe_}) {
    if (fd >= 0) {
      ::close(fd);
    }
  }
}

void ChildProcess::Collect(int waitMs) {
  std::array<pollfd, 2> pipes{{{outputPipe_, POLLIN, 0}, {errorPipe_, POLLIN, 0}}};
  if (::poll(pipes.data(), pipes.size(), waitMs) <= 0) {
    return;
  }
  const std::array<std::pair<int*, std::string*>, 2> targets{
      {{&outputPipe_, &output_}, {&errorPipe_, &errors_}}};
  for (std::size_t i = 0; i < pipes.size(); ++i) {
    if (pipes[i].revents == 0) {
      continue;
    }
    std::array<char, 4096> buffer{};
    const ssize_t got = ::read(*targets[i].first, buffer.data(), buffer.size());
    if (got > 0) {
      targets[i].second->append(buffer.data(), static_cast<std::size_t>(got));
    } else if (got == 0) {
      ::close(*targets[i].first);
      *targets[i].first = -1;  // poll ignores a negative descriptor
    }
  }
}

std::string ChildProcess::ReadLine(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  std::size_t end = output_.find('\n', lineStart_);
  while (end == std::string::npos && Clock::now() < deadline && outputPipe_ >= 0) {
    Collect(kPollSliceMs);
    end = output_.find('\n', lineStart_);
  }
  const std::string line =
      output_.substr(lineStart_, end == std::string::npos ? std::string::npos : end - lineStart_);
  lineStart_ = end == std::string::npos ? output_.size() : end + 1;
  return line;
}

bool ChildProcess::WaitForError(std::string_view text, std::chrono::milliseconds limit,
                                std::size_t from) {
  const auto deadline = Clock::now() + limit;
  while (errors_.find(text, from) == std::string::npos && Clock::now() < deadline &&
         errorPipe_ >= 0) {
    Collect(kPollSliceMs);
  }
  return errors_.find(text, from) != std::string::npos;
}

void ChildProcess::Signal(int signal) const { ::kill(pid_, signal); }

std::optional<int> ChildProcess::Wait(std::chrono::milliseconds limit) {
  const auto deadline = Clock::now() + limit;
  while (!status_ && Clock::now() < deadline) {
    int waitStatus = 0;
    if (::waitpid(pid_, &waitStatus, WNOHANG) == pid_) {
      status_ = StatusOf(waitStatus);
      break;
    }
    Collect(kPollSliceMs);
  }
  // What the child wrote before it ended, up to the end of both pipes.
  while (status_ && (outputPipe_ >= 0 || errorPipe_ >= 0) && Clock::now() < deadline) {
    Collect(kPollSliceMs);
  }
  return status_;
}

Finished RunToEnd(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
  ChildProcess child(argv);
  const std::optional<int> status = child.Wait(limit);
  return {status, child.Output(), child.Errors()};
}

std::string FindProgram(std::string_view name) {
  const char* path = std::getenv("PATH");
  std::string_view folders = path != nullptr ? path : "/usr/bin:/bin";
  while (!folders.empty()) {
    const std::size_t colon = folders.find(':');
    const std::string candidate = std::string(folders.substr(0, colon)) + "/" + std::string(name);
    if (::access(candidate.c_str(), X_OK) == 0) {
      return candidate;
    }
    folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
  }
  return {};
}

double CpuMilliseconds(pid_t pid) {
  double total = 0;
  const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
  for (const auto& task : std::filesystem::directory_iterator(tasks)) {
    std::ifstream sched(task.path() / "sched");
    for (std::string line; std::getline(sched, line);) {
      if (line.rfind("se.sum_exec_runtime", 0) == 0) {
        total += std::stod(line.substr(line.find(':') + 1));
      }
    }
  }
  return total;
}

}  // namespace vantorel::testing
