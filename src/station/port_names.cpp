#include "station/port_names.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "cat/text_helpers.h"

namespace vantorel::station {

std::int16_t PortNumber(std::string_view comboText) {
  // "COM" takes three characters; the list never goes beyond two digits.
  constexpr std::size_t kNumberStart = 3;
  constexpr std::size_t kNumberLength = 2;
  if (comboText.size() <= kNumberStart) {
    return 0;
  }
  const double number = cat::LeadingNumber(comboText.substr(kNumberStart, kNumberLength));
  // Two characters always fit in 16 bits; 0 is what the ports refuse anyway.
  return cat::ToInt16(number).value_or(0);
}

bool IsDevicePath(std::string_view comboText) { return comboText.starts_with('/'); }

std::string DevicePathForPort(int number) {
  if (number < kFirstPortNumber || number > kLastPortNumber) {
    throw SerialError("Invalid port number " + std::to_string(number) + " (serial ports are " +
                      std::to_string(kFirstPortNumber) + " to " + std::to_string(kLastPortNumber) +
                      ")");
  }
#ifdef _WIN32
  return "\\\\.\\COM" + std::to_string(number);
#else
  return "/dev/ttyS" + std::to_string(number - 1);
#endif
}

std::string DeviceForName(std::string_view name) {
  return IsDevicePath(name) ? std::string(name) : DevicePathForPort(PortNumber(name));
}

std::string DefaultApp1PtyName() {
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

}  // namespace vantorel::station
