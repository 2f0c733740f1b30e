// What the port combo boxes offer after "COM1" to "COM20": the serial devices
// present on this machine, then the program's own ports.
//
// Threading: the program's one thread (the lists are read when the window is
// made).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vantorel::ports {

// Where the system keeps a name per USB serial adapter that stays the same
// when it is plugged into another socket or in another order.
inline const std::filesystem::path kSerialByIdFolder = "/dev/serial/by-id";

// The stable names first (the links in `byIdFolder`, sorted), then the kernel's
// device paths (/dev/ttyUSB0, /dev/ttyS0, ...) as the system lists them.
std::vector<std::string> SerialDeviceNames(
    const std::filesystem::path& byIdFolder = kSerialByIdFolder);

// App 1's virtual port in the user's runtime folder ("pty:" and
// $XDG_RUNTIME_DIR/vantorel-app1; the temporary folder with the user's number in
// the name where there is no runtime folder), then the simulated radio
// ("sim:kenwood") and the simulated models ("sim:ts890", ...).
std::vector<std::string> OwnPortNames();

// The first of those: the virtual port a new user's App 1 is offered.

}  // namespace vantorel::ports
