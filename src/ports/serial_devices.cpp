#include "ports/serial_devices.h"

#include <unistd.h>

#include <QSerialPortInfo>
#include <algorithm>
#include <cstdlib>
#include <system_error>

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

std::string App1PtyName() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::error_code error;
  if (runtime != nullptr && *runtime == '/' && std::filesystem::is_directory(runtime, error)) {
    return "pty:" + (std::filesystem::path(runtime) / "vantorel-app1").string();
  }
  // The temporary folder is shared: the user's number keeps two users apart.
  const std::string name = "vantorel-app1-" + std::to_string(::getuid());
  std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
  if (error) {
    temporary = "/tmp";
  }
  return "pty:" + (temporary / name).string();
}

std::vector<std::string> OwnPortNames() { return {App1PtyName(), "sim:kenwood"}; }

}  // namespace vantorel::ports
