#include "station/port_names.h"

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

}  // namespace vantorel::station
