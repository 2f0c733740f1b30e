// The station's three ports: App 1's, App 2's and the radio's. A slot is empty
// until Start first made its port; a port made anew replaces the old one.
//
// Whoever calls into a port and then lets the event loop run must hold the
// port itself (Get), not the slot: a Start pressed meanwhile may put another
// port into the slot.
//
// Threading: the program's one thread.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "cat/cat_ports.h"
#include "station/serial_port.h"
#include "station/station_events.h"

namespace vantorel::station {

class PortSlots final : public cat::CatPorts {
 public:
  [[nodiscard]] std::shared_ptr<SerialPort> Get(PortRole role) const { return slots_[Index(role)]; }
  void Put(PortRole role, std::shared_ptr<SerialPort> port) {
    slots_[Index(role)] = std::move(port);
  }

  [[nodiscard]] bool IsOpen(PortRole role) const {
    const auto& port = slots_[Index(role)];
    return port && port->IsOpen();
  }
  // Characters waiting to be read; 0 for an empty slot or a closed port.
  [[nodiscard]] std::size_t Waiting(PortRole role) const {
    const auto& port = slots_[Index(role)];
    return port ? port->Waiting() : 0;
  }
  [[nodiscard]] std::size_t Unsent(PortRole role) const {
    const auto& port = slots_[Index(role)];
    return port ? port->Unsent() : 0;
  }
  // Every write is preceded by the test that the port is open; a closed port
  // is skipped.
  void Write(PortRole role, std::string_view text) {
    if (const auto& port = slots_[Index(role)]; port && port->IsOpen()) {
      port->Write(text);
      if (role == PortRole::Radio && !text.empty()) {
        radioInCommand_ = text.back() != kTerminator;
      }
    }
  }

  // Ahead of anything waiting. The radio gets a terminator first while an
  // application's text to it ended inside a command: what comes is then a
  // command of its own, not the end of that one (an unkey glued to half a
  // command would be lost).
  void WriteFirst(PortRole role, std::string_view text) const {
    if (const auto& port = slots_[Index(role)]; port && port->IsOpen()) {
      if (role == PortRole::Radio && radioInCommand_) {
        port->WriteFirst(kTerminator + std::string(text));
      } else {
        port->WriteFirst(text);
      }
    }
  }
  [[nodiscard]] std::size_t UnsentFirst(PortRole role) const {
    const auto& port = slots_[Index(role)];
    return port ? port->UnsentFirst() : 0;
  }

  // The translations' and the supervision's view: App 1 and the radio.
  [[nodiscard]] bool IsOpen(cat::CatPort port) const override { return IsOpen(RoleOf(port)); }
  void Write(cat::CatPort port, std::string_view text) override { Write(RoleOf(port), text); }
  void WriteFirst(cat::CatPort port, std::string_view text) override {
    WriteFirst(RoleOf(port), text);
  }

 private:
  // Every Kenwood ends its commands with it, as the FT-950 does.
  static constexpr char kTerminator = ';';

  static std::size_t Index(PortRole role) { return static_cast<std::size_t>(role); }
  static PortRole RoleOf(cat::CatPort port) {
    return port == cat::CatPort::App1 ? PortRole::App1 : PortRole::Radio;
  }
  std::array<std::shared_ptr<SerialPort>, 3> slots_;
  // The last text written to the radio did not end a command.
  bool radioInCommand_ = false;
};

}  // namespace vantorel::station
