// The line settings text of a serial port, "19200,N,8,1": speed in baud, parity
// letter, data bits and stop bits.
//
// Pure parsing: the serial layer refuses a text it cannot apply before it
// touches the device, with a description that names the bad field.
#pragma once

#include <string_view>

namespace vantorel::station {

// The line settings text of the applications' ports.
inline constexpr std::string_view kAppPortSettings = "19200,N,8,1";

enum class Parity { None, Odd, Even, Mark, Space };

struct LineSettings {
  int baud = 9600;
  Parity parity = Parity::None;
  int dataBits = 8;
  int stopBits = 1;
  bool operator==(const LineSettings&) const = default;
};

// Parses "baud,parity,data bits,stop bits". Parity letters N, O, E, M, S (either
// case). The system's serial drivers take 5 to 8 data bits and 1 or 2 stop
// bits; anything else, a speed that is not a whole positive number, a missing
// or extra field, throws SerialError naming the field.
LineSettings ParseLineSettings(std::string_view text);

}  // namespace vantorel::station
