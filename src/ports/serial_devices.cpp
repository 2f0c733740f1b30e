#include "ports/serial_devices.h"

#include <QSerialPortInfo>

namespace vantorel::ports {

std::vector<std::string> SerialDeviceNames() {
  std::vector<std::string> names;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    names.push_back(info.systemLocation().toStdString());
  }
  return names;
}

}  // namespace vantorel::ports
