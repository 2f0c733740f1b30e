// Programs a test starts: the project's own programs and Hamlib's rigctl. Standard
// output and error come back through pipes; standard input is /dev/null.
// Every wait has a limit, only as a net against a hang: a program that runs
// past it is killed and the test fails instead of hanging.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel::testing {

class ChildProcess {
 public:
  // argv[0] is the program's path. Throws std::system_error when it cannot start.
  explicit ChildProcess(const std::vector<std::string>& argv);
  // A child still running is killed and reaped.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next line of standard output without its '\n'; what came so far when
  // the limit passes first.
  std::string ReadLine(std::chrono::milliseconds limit = std::chrono::seconds(10));
  // Collects standard error until it holds `text` (at `from` or after);
  // false when the limit passes or the child closes it first.
  bool WaitForError(std::string_view text,
                    std::chrono::milliseconds limit = std::chrono::seconds(10),
                    std::size_t from = 0);
  void Signal(int signal) const;
  [[nodiscard]] pid_t Pid() const { return pid_; }
  // The exit status (128 + n for a death by signal n), or nullopt when the
  // child was still running at the limit and had to be killed.
  std::optional<int> Wait(std::chrono::milliseconds limit = std::chrono::seconds(10));

  [[nodiscard]] const std::string& Output() const { return output_; }
  [[nodiscard]] const std::string& Errors() const { return errors_; }

 private:
  void Collect(int waitMs);

  pid_t pid_ = -1;
  int outputPipe_ = -1;
  int errorPipe_ = -1;
  std::string output_;
  std::string errors_;
  std::size_t lineStart_ = 0;
  std::optional<int> status_;
};

struct Finished {
  std::optional<int> status;
  std::string output;
  std::string errors;
};

// Runs a program to its end, or kills it at the limit.
Finished RunToEnd(const std::vector<std::string>& argv, std::chrono::milliseconds limit);

// The program's path found through PATH; empty when it is not installed.
std::string FindProgram(std::string_view name);

// CPU time of all of a process's threads so far, in milliseconds, from the
// scheduler's own account (finer than the clock ticks of /proc/<pid>/stat).
double CpuMilliseconds(pid_t pid);

}  // namespace vantorel::testing
