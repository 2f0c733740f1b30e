#include "bridge/monitor.h"

namespace vantorel::bridge {

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

void MonitorApp1Block(model::CatmuxModel& model, std::string_view block) {
  // One append per block: the cost follows the piece, not the box's size.
  if (model.HexX.Ticked()) {
    model.Text5.Append(HexForm(block));
  } else {
    model.Text5.Append(block);
  }
}

}  // namespace vantorel::bridge
