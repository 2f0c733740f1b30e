// How the text of a port combo box names a serial device.
//
// The combo boxes offer "COM1" to "COM20": the number after "COM" is the
// system's n-th serial port. A text beginning with "/" is a device path used
// as it stands, so a station on Linux can name /dev/ttyUSB0, a
// /dev/serial/by-id/... link or one end of a virtual port pair.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "station/serial_port.h"  // SerialError

namespace vantorel::station {

// The port numbers the serial layer can name.
inline constexpr int kFirstPortNumber = 1;
inline constexpr int kLastPortNumber = 256;

// The number in a "COMn" text: the characters from the 4th on, at most two,
// read as a leading number ("COM7" 7, "COM15" 15, "COM123" 12, "COM" 0).
std::int16_t PortNumber(std::string_view comboText);

// True for a text that names a device by path.
bool IsDevicePath(std::string_view comboText);

// The device of the system's n-th serial port (/dev/ttyS0 for 1). Throws
// SerialError for a number outside kFirstPortNumber..kLastPortNumber.
std::string DevicePathForPort(int number);

// The device a port name stands for: a path as it stands, else the system's
// port of the number after "COM". Throws SerialError for a number the system
// cannot name.
std::string DeviceForName(std::string_view name);

// The simulated radio's port name.
inline constexpr const char* kSimulatedRadioName = "sim:kenwood";

// A virtual port for App 1 under the user's runtime folder
// ("pty:/run/user/1000/vantorel-app1"), or in the temporary folder under a
// name of the user's own where there is none.
std::string DefaultApp1PtyName();

}  // namespace vantorel::station
