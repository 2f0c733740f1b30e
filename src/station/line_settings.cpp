#include "station/line_settings.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <string>
#include <vector>

#include "station/serial_port.h"

namespace vantorel::station {
namespace {

[[noreturn]] void Refuse(std::string_view what, std::string_view field, std::string_view text,
                         std::string_view why) {
  throw SerialError("Invalid " + std::string(what) + " \"" + std::string(field) +
                    "\" in the port settings \"" + std::string(text) + "\": " + std::string(why));
}

struct ParityLetter {
  char letter;
  Parity parity;
};
constexpr std::array<ParityLetter, 5> kParityLetters{{{'N', Parity::None},
                                                      {'O', Parity::Odd},
                                                      {'E', Parity::Even},
                                                      {'M', Parity::Mark},
                                                      {'S', Parity::Space}}};

// A whole number written with digits only: the settings come from combo boxes
// the user can type into, and "96OO" must not quietly become 96.
bool ReadWholeNumber(std::string_view field, int& value) {
  if (field.empty()) {
    return false;
  }
  for (char c : field) {
    if (c < '0' || c > '9') {
      return false;
    }
  }
  const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
  return ec == std::errc{} && end == field.data() + field.size();
}

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) {
      fields.push_back(text.substr(start));
      return fields;
    }
    fields.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
}

}  // namespace

LineSettings ParseLineSettings(std::string_view text) {
  const std::vector<std::string_view> fields = SplitFields(text);
  if (fields.size() != 4) {
    throw SerialError("Invalid port settings \"" + std::string(text) +
                      "\": expected speed,parity,data bits,stop bits (e.g. 19200,N,8,1)");
  }

  LineSettings settings;
  if (!ReadWholeNumber(fields[0], settings.baud) || settings.baud < 1) {
    Refuse("speed", fields[0], text, "a whole number of baud above 0 is needed");
  }

  const auto* parity =
      std::find_if(kParityLetters.begin(), kParityLetters.end(), [&](const ParityLetter& p) {
        return fields[1].size() == 1 &&
               std::toupper(static_cast<unsigned char>(fields[1][0])) == p.letter;
      });
  if (parity == kParityLetters.end()) {
    Refuse("parity", fields[1], text, "one letter N, O, E, M or S is needed");
  }
  settings.parity = parity->parity;

  if (!ReadWholeNumber(fields[2], settings.dataBits) || settings.dataBits < 5 ||
      settings.dataBits > 8) {
    Refuse("data bits", fields[2], text, "this system's serial ports take 5 to 8");
  }

  // 1.5 stop bits exist only on some Windows drivers; Linux serial ports cannot
  // send them.
  if (!ReadWholeNumber(fields[3], settings.stopBits) ||
      (settings.stopBits != 1 && settings.stopBits != 2)) {
    Refuse("stop bits", fields[3], text, "this system's serial ports take 1 or 2");
  }
  return settings;
}

}  // namespace vantorel::station
