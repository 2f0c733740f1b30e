#include "ports/serial_devices.h"

#include <unistd.h>

#include <QSerialPortInfo>
#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "sim/radio_model.h"
#include "station/port_names.h"

namespace vantorel::ports {

std::vector<std::string> SerialDeviceNames(const std::filesystem::path& byIdFolder) {
  std::vector<std::string> stable;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(byIdFolder, error)) {
    stable.push_back(entry.path().string());
  }
  std::sort(stable.begin(), stable.end());
  std::vector<std::string> names = std::move(stable);
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    names.push_back(info.systemLocation().toStdString());
  }
  return names;
}

std::vector<std::string> OwnPortNames() {
  std::vector<std::string> names{station::DefaultApp1PtyName(), station::kSimulatedRadioName};
  for (const std::string_view model : sim::ModelNames()) {
    std::string port = "sim:" + std::string(model);
    if (port != station::kSimulatedRadioName) {
      names.push_back(std::move(port));
    }
  }
  return names;
}

}  // namespace vantorel::ports
