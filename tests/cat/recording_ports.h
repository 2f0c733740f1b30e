// A CatPorts that records every write in order, with ports that can be closed
// or made to refuse writes; and the state the command translation works on.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "cat/cat_ports.h"
#include "cat/command_translation.h"

namespace vantorel::cat::testing {

struct PortWrite {
  CatPort port;
  std::string text;
  friend bool operator==(const PortWrite&, const PortWrite&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const PortWrite& write) {
  return out << (write.port == CatPort::App1 ? "App1:" : "Radio:") << write.text;
}

class RecordingPorts : public CatPorts {
 public:
  [[nodiscard]] bool IsOpen(CatPort port) const override {
    return port == CatPort::App1 ? app1Open : radioOpen;
  }

  void Write(CatPort port, std::string_view text) override {
    if (port == CatPort::App1 ? app1Refuses : radioRefuses) {
      throw std::runtime_error("Device I/O error");
    }
    writes.push_back({port, std::string(text)});
  }

  // The texts written to one port, in order.
  [[nodiscard]] std::vector<std::string> To(CatPort port) const {
    std::vector<std::string> texts;
    for (const auto& write : writes) {
      if (write.port == port) {
        texts.push_back(write.text);
      }
    }
    return texts;
  }

  // Every write in order, each as "app1 TEXT" or "radio TEXT", joined by blanks.
  [[nodiscard]] std::string Log() const {
    std::string log;
    for (const auto& write : writes) {
      log += log.empty() ? "" : " ";
      log += (write.port == CatPort::App1 ? "app1 " : "radio ") + write.text;
    }
    return log;
  }

  bool app1Open = true;
  bool radioOpen = true;
  bool app1Refuses = false;
  bool radioRefuses = false;
  std::vector<PortWrite> writes;
};

struct CommandState {
  TranslationState translation;
  KeyingState keying;
  RecordingPorts ports;
  CommandContext ctx{.translation = translation, .keying = keying, .ports = ports};
};

}  // namespace vantorel::cat::testing
