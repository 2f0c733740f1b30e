// Makes the port a name in a port box stands for.
//
// Threading: the program's one thread.
#pragma once

#include <memory>
#include <string>

#include "station/serial_port.h"

namespace vantorel::ports {

class QtPortFactory final : public station::PortFactory {
 public:
  // "COMn" is the system's n-th serial port; a text beginning with "/" is a
  // device path used as it stands.
  [[nodiscard]] std::shared_ptr<station::SerialPort> Make(const std::string& name) override;
};

}  // namespace vantorel::ports
