#include "pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <system_error>

namespace vantorel::testing {
namespace {

[[noreturn]] void ThrowErrno(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

void MakeRaw(int fd) {
  termios mode{};
  if (tcgetattr(fd, &mode) != 0) {
    ThrowErrno("tcgetattr");
  }
  cfmakeraw(&mode);
  if (tcsetattr(fd, TCSANOW, &mode) != 0) {
    ThrowErrno("tcsetattr");
  }
}

// How long one look at the controlling side may sleep before the next pump.
constexpr int kPollSliceMs = 2;

}  // namespace

PtyPair::PtyPair() {
  // openpty writes the terminal's name into this buffer; ptsname's shared
  // static buffer is never used.
  std::array<char, 256> name{};
  if (openpty(&controller_, &terminal_, name.data(), nullptr, nullptr) != 0) {
    ThrowErrno("openpty");
  }
  path_ = name.data();
  try {
    MakeRaw(terminal_);
    MakeRaw(controller_);
    // A program the test starts must not hold the line open behind its back:
    // closing the pair has to hang up the program's end.
    for (const int fd : {controller_, terminal_}) {
      if (fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) {
        ThrowErrno("fcntl");
      }
    }
    const int flags = fcntl(controller_, F_GETFL);
    if (flags < 0 || fcntl(controller_, F_SETFL, flags | O_NONBLOCK) != 0) {
      ThrowErrno("fcntl");
    }
  } catch (...) {
    Close();
    throw;
  }
}

PtyPair::~PtyPair() { Close(); }

void PtyPair::Close() {
  if (controller_ >= 0) {
    ::close(controller_);
    controller_ = -1;
  }
  if (terminal_ >= 0) {
    ::close(terminal_);
    terminal_ = -1;
  }
}

void PtyPair::Write(std::string_view text) const {
  while (!text.empty()) {
    const ssize_t written = ::write(controller_, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR || errno == EAGAIN) {
        pollfd waitWritable{controller_, POLLOUT, 0};
        ::poll(&waitWritable, 1, kPollSliceMs);
        continue;
      }
      ThrowErrno("write to pseudo-terminal");
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

std::string PtyPair::ReadAvailable() const {
  std::string text;
  std::array<char, 4096> buffer{};
  for (;;) {
    const ssize_t got = ::read(controller_, buffer.data(), buffer.size());
    if (got > 0) {
      text.append(buffer.data(), static_cast<std::size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) {
      continue;
    }
    return text;  // EAGAIN: nothing more now
  }
}

std::string PtyPair::Read(std::size_t count, const std::function<void()>& pump,
                          std::chrono::milliseconds limit) const {
  std::string text;
  PumpUntil(
      [&] {
        text += ReadAvailable();
        if (text.size() >= count) {
          return true;
        }
        pollfd waitReadable{controller_, POLLIN, 0};
        ::poll(&waitReadable, 1, kPollSliceMs);
        return false;
      },
      pump, limit);
  return text;
}

bool PumpUntil(const std::function<bool()>& done, const std::function<void()>& pump,
               std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return done();
    }
    pump();
  }
  return true;
}

}  // namespace vantorel::testing
