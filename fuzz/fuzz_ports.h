// Ports for the fuzzers: open or closed, taking writes or refusing them, as
// the input's flag byte says.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string_view>

#include "cat/cat_ports.h"

namespace vantorel::fuzz {

class FuzzPorts : public cat::CatPorts {
 public:
  explicit FuzzPorts(unsigned flags)
      : app1Open_((flags & 1) != 0),
        radioOpen_((flags & 2) != 0),
        app1Refuses_((flags & 4) != 0),
        radioRefuses_((flags & 8) != 0) {}

  [[nodiscard]] bool IsOpen(cat::CatPort port) const override {
    return port == cat::CatPort::App1 ? app1Open_ : radioOpen_;
  }

  void Write(cat::CatPort port, std::string_view text) override {
    if (!IsOpen(port)) {
      __builtin_trap();  // a translation must test the port before writing
    }
    if (port == cat::CatPort::App1 ? app1Refuses_ : radioRefuses_) {
      throw std::runtime_error("Device I/O error");
    }
    written_ += text.size();
  }

  [[nodiscard]] std::size_t Written() const { return written_; }

 private:
  bool app1Open_;
  bool radioOpen_;
  bool app1Refuses_;
  bool radioRefuses_;
  std::size_t written_ = 0;
};

}  // namespace vantorel::fuzz
