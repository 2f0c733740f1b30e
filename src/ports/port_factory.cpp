#include "ports/port_factory.h"

#include "ports/device_port.h"
#include "station/port_names.h"

namespace vantorel::ports {

std::shared_ptr<station::SerialPort> QtPortFactory::Make(const std::string& name) {
  return std::make_shared<DevicePort>(name, station::DeviceForName(name));
}

}  // namespace vantorel::ports
