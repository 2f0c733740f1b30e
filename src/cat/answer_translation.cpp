#include "cat/answer_translation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "cat/answer_tables.h"
#include "cat/band_table.h"
#include "cat/message_text.h"
#include "cat/text_helpers.h"

namespace vantorel::cat {
namespace {

using answers::AnswerFamily;
using answers::ValueRule;

// A level answer is cut to this length before its field is read.
constexpr std::size_t kMaxAnswerLength = 255;

// S-meter and meter readings: the radio's 0..30 scale to App 1's 0..255.
constexpr double kMeterScale = 8.1;

// The layout of the radio's IF status answer and of the one App 1 expects.
constexpr std::size_t kIfFrequencyEnd = 13;  // "IF" and the 11 frequency digits
constexpr std::size_t kIfOffsetStart = 19;   // the clarifier offset; 14 to 18 are dropped
constexpr std::size_t kIfModePosition = 30;  // the radio's mode digit
constexpr std::size_t kIfModeTarget = 21;    // where App 1 reads the mode
constexpr std::size_t kIfKeptLength = 22;
constexpr std::string_view kIfPadding = "      ;";  // App 1's fields the radio has no value for

// App 1's frequency answer: "FA", eight digits, ";".
constexpr std::size_t kFaLength = 11;

// A value field as a 16-bit number; a field that does not fit (1E9) is an
// error the receive path reports.
std::int16_t ReadField(std::string_view field) {
  const auto value = ToInt16(LeadingNumber(field));
  if (!value) {
    throw AnswerOverflow();
  }
  return *value;
}

// A direct write to App 1 before the returned text. A refused write is the
// receive path's to report, like any failure of the port.
void WriteToApp1(CatPorts& ports, std::string_view text) {
  if (ports.IsOpen(CatPort::App1)) {
    ports.Write(CatPort::App1, text);
  }
}

// The S-meter and meter readings: floor(v × 8.1) in double precision.
std::string MeterDigits(std::string_view text) {
  const double scaled = std::floor(ReadField(Right(text, 4)) * kMeterScale);
  return ZeroFill(DecimalText(static_cast<std::int64_t>(scaled)), 3);
}

// S-meter: the radio's 0..30 reading on App 1's 0..255 scale.
void SMeter(std::string& text) {
  if (StartsWith(text, "SM")) {
    const std::string digits = MeterDigits(text);
    text.assign("SM0").append(digits).append(";");
  }
}

// Lock. App 1 reads back both forms of the lock answer.
void Lock(std::string& text) {
  if (SameText(text, "LK10;")) {
    text = "LK1;LK10;";
  } else if (SameText(text, "LK00;")) {
    text = "LK0;LK00;";
  }
}

// One level or setting family. The products are computed wide enough for any 16-bit
// value and then capped, so a large radio value gives App 1 its top level
// instead of losing the answer.
void Level(std::string& text, const AnswerFamily& family) {
  if (!StartsWith(text, family.letters)) {
    return;
  }
  if (Mid(text, 3, 1) == ";") {
    if (text.size() > kMaxAnswerLength) {
      text.resize(kMaxAnswerLength);
    }
    return;  // a bare query
  }
  // The field lies within the first 255 characters, so the cut that comes
  // first on the air needs no doing here: the text is replaced whole.
  const std::int16_t value = ReadField(Mid(text, 3, family.fieldLength));
  std::int64_t result = value;
  switch (family.rule) {
    case ValueRule::kValue:
      break;
    case ValueRule::kProduct:
      result = static_cast<std::int64_t>(value) * static_cast<std::int64_t>(family.factor);
      break;
    case ValueRule::kNearestEven:
      result = static_cast<std::int64_t>(NearestEven(value * family.factor));
      break;
  }
  if (family.cap != 0) {
    result = std::min<std::int64_t>(result, family.cap);
  }
  text.assign(family.prefix).append(ZeroFill(DecimalText(result), family.minWidth)).append(";");
}

// Transmit meters: the radio's meter number and reading in App 1's form.
void Meter(std::string& text) {
  if (!StartsWith(text, "RM")) {
    return;
  }
  char selector = answers::kOtherMeter;
  const std::string_view radioSelector = Mid(text, 3, 1);
  for (const auto& row : answers::kMeterSelectors) {
    if (radioSelector.size() == 1 && radioSelector[0] == row.radio) {
      selector = row.app1;
    }
  }
  const std::string digits = MeterDigits(text);
  text.assign("RM").append(1, selector).append(digits).append(";");
}

// Status answer. App 1 gets the rebuilt status answer on its own, then the radio's
// answer continues unchanged. A status text too short to carry the mode keeps
// the character it has there; nothing is read past its end.
void Status(const std::string& text, CatPorts& ports) {
  if (!StartsWith(text, "IF")) {
    return;
  }
  // Built in place: the radio polls this answer many times a second.
  std::array<char, kIfKeptLength + kIfPadding.size()> rebuilt{};
  std::size_t size = 0;
  const auto keep = [&](std::string_view part) {
    for (const char c : part) {
      if (size < kIfKeptLength) {
        rebuilt[size++] = c;
      }
    }
  };
  keep(Mid(text, 1, kIfFrequencyEnd));
  keep(Mid(text, kIfOffsetStart));
  const std::string_view mode = Mid(text, kIfModePosition, 1);
  if (size >= kIfModeTarget && !mode.empty()) {
    rebuilt[kIfModeTarget - 1] = mode[0];
  }
  for (const char c : kIfPadding) {
    rebuilt[size++] = c;
  }
  WriteToApp1(ports, std::string_view(rebuilt.data(), size));
}

// Frequency. App 1 takes eight frequency digits, the radio gives eleven.
void Frequency(std::string& text) {
  if (StartsWith(text, "FA") && Contains(text, ";")) {
    text.erase(2, 3);  // the three highest digits
    if (text.size() > kFaLength) {
      text.resize(kFaLength);
    }
  }
}

// Whole answers App 1 knows in another form.
void WholeAnswer(std::string& text, CatPorts& ports) {
  const UpperCopy<answers::kLongestWholeAnswer> upper(text);
  if (const BandBottom* band = kBandIndex.Find(upper.View())) {
    text = band->frequency;  // stays eleven digits: the frequency step has run
    return;
  }
  if (const answers::AnswerRow* row = answers::kWholeAnswerIndex.Find(upper.View())) {
    if (!row->alsoWrite.empty()) {
      WriteToApp1(ports, row->alsoWrite);
    }
    text = row->replacement;
  }
}

// Transmit answers. App 1 keys the radio itself and keeps its own transmit state.
void SuppressTransmit(std::string& text) {
  if (Contains(text, "TX")) {
    text.clear();
  }
}

}  // namespace

std::string Changeoutput(std::string& oneData, CatPorts& ports) {
  // Every step reads its field before it changes the text, and the direct
  // writes come before any change of a text they apply to, so a call that
  // throws leaves the caller's text as it was.
  SMeter(oneData);
  Lock(oneData);
  for (const AnswerFamily& family : answers::kAnswerFamilies) {
    Level(oneData, family);
  }
  Meter(oneData);
  Status(oneData, ports);
  Frequency(oneData);
  WholeAnswer(oneData, ports);
  SuppressTransmit(oneData);
  return oneData;
}

}  // namespace vantorel::cat
