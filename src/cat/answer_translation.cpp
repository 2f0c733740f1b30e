#include "cat/answer_translation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "cat/answer_tables.h"
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

// Longest answer the whole-answer table can match.
constexpr std::size_t kLongestWholeAnswer = 5;

// The layout of the radio's IF status answer and of the one App 1 expects.
constexpr std::size_t kIfFrequencyEnd = 13;  // "IF" and the 11 frequency digits
constexpr std::size_t kIfAfterMemory = 19;   // the offset, after the memory-channel digits
constexpr std::size_t kIfModePosition = 30;  // the radio's mode digit
constexpr std::size_t kIfModeTarget = 21;    // where App 1 reads the mode
constexpr std::size_t kIfKeptLength = 22;
constexpr std::string_view kIfPadding = "      ;";  // App 1's fields the radio has no value for

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

// Step 1.
void SMeter(std::string& text) {
  if (text.starts_with("SM")) {
    text = "SM0" + MeterDigits(text) + ";";
  }
}

// Step 2. App 1 reads back both forms of the lock answer.
void Lock(std::string& text) {
  if (text == "LK10;") {
    text = "LK1;LK10;";
  } else if (text == "LK00;") {
    text = "LK0;LK00;";
  }
}

// Step 3, one family. The products are computed wide enough for any 16-bit
// value and then capped, so a large radio value gives App 1 its top level
// instead of losing the answer.
void Level(std::string& text, const AnswerFamily& family) {
  if (!text.starts_with(family.letters)) {
    return;
  }
  if (text.size() > kMaxAnswerLength) {
    text.resize(kMaxAnswerLength);
  }
  if (Mid(text, 3, 1) == ";") {
    return;  // a bare query
  }
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

// Step 4.
void Meter(std::string& text) {
  if (!text.starts_with("RM")) {
    return;
  }
  char selector = answers::kOtherMeter;
  const std::string_view radioSelector = Mid(text, 3, 1);
  for (const auto& row : answers::kMeterSelectors) {
    if (radioSelector.size() == 1 && radioSelector[0] == row.radio) {
      selector = row.app1;
    }
  }
  text = "RM" + std::string(1, selector) + MeterDigits(text) + ";";
}

// Step 5. App 1 gets the rebuilt status answer on its own, then the radio's
// answer continues unchanged. A status text too short to carry the mode keeps
// the character it has there; nothing is read past its end.
void Status(const std::string& text, CatPorts& ports) {
  if (!text.starts_with("IF")) {
    return;
  }
  std::string rebuilt(Mid(text, 1, kIfFrequencyEnd));
  rebuilt.append(Mid(text, kIfAfterMemory));
  const std::string_view mode = Mid(text, kIfModePosition, 1);
  if (rebuilt.size() >= kIfModeTarget && !mode.empty()) {
    rebuilt[kIfModeTarget - 1] = mode[0];
  }
  if (rebuilt.size() > kIfKeptLength) {
    rebuilt.resize(kIfKeptLength);
  }
  rebuilt.append(kIfPadding);
  WriteToApp1(ports, rebuilt);
}

// Step 6. App 1 takes eight frequency digits, the radio gives eleven.
void Frequency(std::string& text) {
  if (text.starts_with("FA") && Contains(text, ";")) {
    text = "FA" + std::string(Mid(text, 6, 9));
  }
}

// Step 7.
void WholeAnswer(std::string& text, CatPorts& ports) {
  if (text.size() > kLongestWholeAnswer) {
    return;
  }
  std::string upper;
  UpperInto(text, upper);
  for (const auto& row : answers::kWholeAnswers) {
    if (upper == row.text) {
      if (!row.alsoWrite.empty()) {
        WriteToApp1(ports, row.alsoWrite);
      }
      text = row.replacement;
      return;
    }
  }
}

// Step 8. App 1 keys the radio itself and keeps its own transmit state.
void SuppressTransmit(std::string& text) {
  if (Contains(text, "TX")) {
    text.clear();
  }
}

}  // namespace

std::string Changeoutput(std::string& oneData, CatPorts& ports) {
  // Worked on a copy, so an answer that fails leaves the caller's text as it was.
  std::string text = oneData;
  SMeter(text);
  Lock(text);
  for (const AnswerFamily& family : answers::kAnswerFamilies) {
    Level(text, family);
  }
  Meter(text);
  Status(text, ports);
  Frequency(text);
  WholeAnswer(text, ports);
  SuppressTransmit(text);
  oneData = text;
  return text;
}

}  // namespace vantorel::cat
