// A pseudo-terminal pair standing in for a device at the other end of a serial
// line: the program opens the terminal side by its path; the test plays the
// radio or the application on the controlling side.
//
// Both sides are raw (no echo, no line editing, no character translation), the
// controlling side is non-blocking. The helper keeps the terminal side open as
// well, so the program's opening and closing it never hangs up the line.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vantorel::testing {

class PtyPair {
 public:
  // Throws std::system_error when the system has no pseudo-terminal to give.
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  // The terminal side's path (/dev/pts/N), for the serial port to open.
  [[nodiscard]] const std::string& Path() const { return path_; }

  // Sends text toward the program, as the device would.
  void Write(std::string_view text) const;

  // What the program has sent by now, without waiting.
  std::string ReadAvailable() const;

  // Reads what the program sends until `count` characters have come or `limit`
  // has passed, calling `pump` between looks so the program's event loop can
  // run (and send). The limit is only a safety net against a hang.
  std::string Read(std::size_t count, const std::function<void()>& pump,
                   std::chrono::milliseconds limit = std::chrono::seconds(5)) const;

  // Closes both sides: the device disappears.
  void Close();

 private:
  int controller_ = -1;
  int terminal_ = -1;
  std::string path_;
};

// Calls `pump` until `done()` holds or `limit` passes; returns done().
bool PumpUntil(const std::function<bool()>& done, const std::function<void()>& pump,
               std::chrono::milliseconds limit = std::chrono::seconds(5));

}  // namespace vantorel::testing
