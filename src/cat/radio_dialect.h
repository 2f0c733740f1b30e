// The radio on the line as a dialect: how its messages end, the commands the
// station itself sends it (auto-information on, back to receive, the Test
// button's sequence), and every read and setting the FT-950 emulation sends
// it, with the forms of its answers, its ranges, its mode codes, its AGC
// values, its filter forms and its S-meter scale. A dialect is data: one
// instance per Kenwood model, and models that share a command grammar share
// its tables, so another model is another table here, not a branch where the
// forms are used. The station and the emulation take every form from the
// dialect in hand and name none themselves.
//
// The dialect speaks of the radio in the radio's own terms (operating modes,
// AGC speeds, hertz): what App 1 makes of them is the emulation's business.
//
// Threading: constant data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vantorel::cat {

// The radio's answers and settings the emulation uses, one kind each.
enum class RadioKey : std::uint8_t {
  kFrequencyA,
  kFrequencyB,
  kMode,
  kData,  // the data switch of radios that keep it apart from the mode
  kStatus,
  kReceiveVfo,
  kTransmitVfo,
  kSplit,  // radios that say only whether the other VFO transmits
  kPower,
  kRfPower,
  kAfGain,
  kRfGain,
  kSquelch,
  kAgc,
  kKeySpeed,
  kMicGain,
  kSMeter,
  kSwrMeter,
  kCompMeter,
  kAlcMeter,
  kRit,
  kXit,
  kLowCut,   // the filter's low cut (or, in some modes, its width)
  kHighCut,  // the filter's high cut
  kWidth,    // the filter's width
  kNone,     // no answer: the end of a short list of needs
};
inline constexpr std::size_t kRadioKeys = static_cast<std::size_t>(RadioKey::kNone);

// One kind of answer: the read that asks for it ("" when the radio has no
// read for it) and its form, which is also the form of the setting: literal
// characters, '#' a digit, '*' any character but the terminator. The literal
// start tells the answers apart; the placeholders hold the value. Levels carry
// their range and the value that stands for full scale.
struct RadioAnswerForm {
  RadioKey key;
  std::string_view read;
  std::string_view form;
  int lowest = 0;
  int highest = 0;
  int fullScale = 0;
};

enum class OperatingMode : std::uint8_t {
  kLsb,
  kUsb,
  kCw,
  kCwReverse,
  kFm,
  kAm,
  kFsk,
  kFskReverse,
  kPsk,
  kPskReverse,
};

// One code of the radio's mode read and set, and of its status answer's mode
// column: the mode, and whether it is the mode's data variant.
struct ModeCode {
  char code;
  OperatingMode mode;
  bool data = false;
};

enum class AgcSpeed : std::uint8_t { kOff, kFast, kMid, kSlow };

// The radio's AGC value for a speed (a set takes the first row of the speed),
// and the speed a read means (the first row whose `upTo` the value reaches).
struct AgcValue {
  AgcSpeed speed;
  int value;
  int upTo;
};

// The classes of mode a radio keeps its filters for.
enum class FilterClass : std::uint8_t { kSsb, kCw, kFsk, kFm, kAm };
inline constexpr std::size_t kFilterClasses = 5;

// One filter setting: its key, and the hertz each index stands for (or, not
// indexed, the hertz the setting takes as they are).
struct FilterEdge {
  RadioKey key = RadioKey::kNone;
  std::span<const int> hertz = {};
  bool indexed = true;
};

// How the filter of one class of mode is set and read: a low and a high cut,
// or a width alone (in `high`). No key: not set from here.
struct FilterForms {
  FilterEdge low;
  FilterEdge high;
};

// The S-meter's readings at S1, S3, S5, S7, S9, S9+20, S9+40 and S9+60 dB.
inline constexpr std::size_t kSMeterPoints = 8;

struct RadioDialect {
  std::string_view name;      // as the settings file and the window name it: "TS-890S"
  std::string_view identity;  // its answer to the identity read
  // Every command and answer ends with it.
  char terminator;
  // Sent at every open: the radio then reports changes made at its front
  // panel by itself.
  std::string_view autoInformationOn;
  // Transmit, with the data audio input a remote station feeds.
  std::string_view keyDown;
  // Back to receive: the one form no radio takes for transmit.
  std::string_view unkey;
  // The Test button: VFO A to 14.2513 MHz, then the status read.
  std::string_view testCommands;
  // The clarifier's clear, and its steps up and down in hertz.
  std::string_view clarifierClear;
  std::string_view clarifierUp;
  std::string_view clarifierDown;
  // Indexed by RadioKey.
  std::span<const RadioAnswerForm> answers;
  std::span<const ModeCode> modes;
  // The mode read and set name the VFO they work on: the form's first '#' is
  // the receive VFO ('0' A, '1' B), not a fixed selector.
  bool modeNamesVfo;
  // Choosing the receive VFO keeps a split (else it ends it).
  bool selectKeepsSplit;
  std::span<const AgcValue> agc;
  std::span<const FilterForms> filters;  // by FilterClass
  std::span<const int> sMeter;           // kSMeterPoints readings
  int meterTop;                          // the meters' full scale
  // Which of the reads that tell the grammars apart this grammar answers.
  std::span<const std::string_view> answersReads;
  // The radio's replies that refuse a command instead of answering it.
  std::span<const std::string_view> refusals;

  [[nodiscard]] constexpr const RadioAnswerForm& AnswerOf(RadioKey key) const {
    return answers[static_cast<std::size_t>(key)];
  }
  // Whether the radio has a read for a kind, and a setting of it.
  [[nodiscard]] constexpr bool Reads(RadioKey key) const { return !AnswerOf(key).read.empty(); }
  [[nodiscard]] constexpr bool Sets(RadioKey key) const { return !AnswerOf(key).form.empty(); }
  [[nodiscard]] const FilterForms& FiltersOf(FilterClass which) const {
    return filters[static_cast<std::size_t>(which)];
  }
  // The setting of a kind with `value` in its placeholders ("" without a form).
  [[nodiscard]] std::string Set(RadioKey key, std::string_view value) const;
  // The setting of a kind whose value is a number, zero-filled to its digits.
  [[nodiscard]] std::string SetNumber(RadioKey key, long value) const;
  // The mode code for a mode (its data variant where asked and the radio has
  // one); nullptr when the radio has no such mode.
  [[nodiscard]] const ModeCode* CodeOf(OperatingMode mode, bool data) const;
  [[nodiscard]] const ModeCode* ModeOfCode(char code) const;
  // Whether the mode codes themselves carry the data variants.
  [[nodiscard]] bool CodesCarryData() const;
  // How many messages a text holds: its terminators, and a text without any
  // counts as one (nothing counts as none).
  [[nodiscard]] std::uint64_t MessagesIn(std::string_view text) const;
  [[nodiscard]] bool IsRefusal(std::string_view message) const;
};

// The placeholders of a form filled with `value`, character by character;
// "" when the counts differ.
[[nodiscard]] std::string FillForm(std::string_view form, std::string_view value);
// The literal start of a form: the letters (and selector) that name an answer.
[[nodiscard]] std::string_view LiteralStart(std::string_view form);
// Whether a message has a form's shape.
[[nodiscard]] bool FitsForm(std::string_view message, std::string_view form);

// Where a field stands in the value of the Kenwood IF status answer (the
// characters after its two letters); every model keeps this layout.
namespace status {
inline constexpr std::size_t kLength = 35;
inline constexpr std::size_t kFrequency = 0;   // 11 digits
inline constexpr std::size_t kClarifier = 11;  // ten characters: a sign somewhere, 4 digits last
inline constexpr std::size_t kClarifierDigits = 17;
inline constexpr std::size_t kRxClarifier = 21;
inline constexpr std::size_t kTxClarifier = 22;
inline constexpr std::size_t kMemory = 23;        // 3 digits
inline constexpr std::size_t kTransmitting = 26;  // 0 receive, 1 transmit
inline constexpr std::size_t kMode = 27;
inline constexpr std::size_t kVfo = 28;  // 0 A, 1 B, 2 memory
inline constexpr std::size_t kSplit = 30;
inline constexpr std::size_t kTone = 31;  // 0 off, 1 tone, 2 CTCSS
}  // namespace status

// Every dialect, in the order the window lists them.
[[nodiscard]] std::span<const RadioDialect* const> RadioDialects();
// The dialect of a model by its name (either case); nullptr for another name.
[[nodiscard]] const RadioDialect* FindRadioDialect(std::string_view name);
// The dialect a radio that answers nothing else is taken for.
[[nodiscard]] const RadioDialect& DefaultRadioDialect();

}  // namespace vantorel::cat
