// An application on the terminal side of a port, reading while the program's
// event loop runs (for test executables with the shared test support).
#pragma once

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "pty_pair.h"
#include "terminal_client.h"

namespace vantorel::testing {

class Application {
 public:
  Application(const std::filesystem::path& path, std::function<void()> pump)
      : line_(path), pump_(std::move(pump)) {}
  void Send(std::string_view text) const { line_.Send(text); }
  // Everything up to and including the `answers`-th ';' still unread, or what
  // came before the limit (a net against a hang) passed.
  std::string Read(std::size_t answers) {
    std::size_t end = std::string::npos;
    PumpUntil(
        [&] {
          unread_ += line_.Available();
          std::size_t found = 0;
          for (end = 0; end < unread_.size(); ++end) {
            if (unread_[end] == ';' && ++found == answers) {
              return true;
            }
          }
          return false;
        },
        pump_);
    const std::size_t taken = std::min(end + 1, unread_.size());
    std::string text = unread_.substr(0, taken);
    unread_.erase(0, taken);
    return text;
  }

 private:
  TerminalClient line_;
  std::function<void()> pump_;
  std::string unread_;
};

}  // namespace vantorel::testing
