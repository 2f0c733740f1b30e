// The translations' and the transmit supervision's view of the ports: App 1's
// port MSComm1 and the radio's port MSComm3, through the serial layer.
//
// Threading: the program's one thread.
#pragma once

#include <string_view>

#include "bridge/serial_port.h"
#include "cat/cat_ports.h"

namespace vantorel::bridge {

class SerialCatPorts final : public cat::CatPorts {
 public:
  SerialCatPorts(SerialPort& app1, SerialPort& radio) : app1_(app1), radio_(radio) {}

  [[nodiscard]] bool IsOpen(cat::CatPort port) const override { return Port(port).PortOpen(); }
  // A refusal of the serial layer reaches the caller as a SerialError.
  void Write(cat::CatPort port, std::string_view text) override { Port(port).Output(text); }

 private:
  [[nodiscard]] SerialPort& Port(cat::CatPort port) const {
    return port == cat::CatPort::App1 ? app1_ : radio_;
  }
  SerialPort& app1_;
  SerialPort& radio_;
};

}  // namespace vantorel::bridge
