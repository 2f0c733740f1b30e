// An application's end of a pseudo-terminal, as a test plays it: opens the
// terminal side by its path (a link or /dev/pts/N), raw, and talks through it.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace vantorel::testing {

class TerminalClient {
 public:
  explicit TerminalClient(const std::filesystem::path& path)
      : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    if (fd_ < 0) {
      throw std::system_error(errno, std::generic_category(), "open " + path.string());
    }
    termios mode{};
    tcgetattr(fd_, &mode);
    cfmakeraw(&mode);
    tcsetattr(fd_, TCSANOW, &mode);
  }
  ~TerminalClient() { ::close(fd_); }
  TerminalClient(const TerminalClient&) = delete;
  TerminalClient& operator=(const TerminalClient&) = delete;

  [[nodiscard]] int Fd() const { return fd_; }

  void Send(std::string_view text) const {
    if (::write(fd_, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
      throw std::system_error(errno, std::generic_category(), "write to the terminal side");
    }
  }

  // Reads until `ends` answers (';'-ended) have come; the limit is only a net
  // against a hang, never a measure of speed.
  [[nodiscard]] std::string ReadAnswers(
      std::size_t ends, std::chrono::milliseconds limit = std::chrono::seconds(10)) const {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (static_cast<std::size_t>(std::count(text.begin(), text.end(), ';')) < ends &&
           std::chrono::steady_clock::now() < deadline) {
      pollfd readable{fd_, POLLIN, 0};
      if (::poll(&readable, 1, 50) > 0) {
        text += Available();
      }
    }
    return text;
  }

  // What has arrived by now, without waiting.
  [[nodiscard]] std::string Available() const {
    std::array<char, 256> buffer{};
    const ssize_t got = ::read(fd_, buffer.data(), buffer.size());
    return got > 0 ? std::string(buffer.data(), static_cast<std::size_t>(got)) : std::string();
  }

 private:
  int fd_;
};

}  // namespace vantorel::testing
