// The serial devices present on this machine, offered in the port combo boxes
// after "COM1" to "COM20".
#pragma once

#include <string>
#include <vector>

namespace vantorel::ports {

// Device paths (/dev/ttyUSB0, /dev/ttyS0, ...), as the system lists them.
std::vector<std::string> SerialDeviceNames();

}  // namespace vantorel::ports
