#include "station/monitor.h"

namespace vantorel::station {

std::string HexForm(std::string_view block) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(block.size() * 2);
  for (const char c : block) {
    const auto code = static_cast<unsigned char>(c);
    hex.push_back(kDigits[code >> 4]);
    hex.push_back(kDigits[code & 0x0F]);
    if (c == '\n') {
      hex.append("\r\n");
    }
  }
  return hex;
}

}  // namespace vantorel::station
