// The radio on the line as a dialect: how its messages end, the commands the
// station itself sends it (auto-information on, back to receive, the Test
// button's sequence), and the reads and answer forms the FT-950 emulation
// uses. A dialect is data: one instance per command grammar, so that another
// Kenwood model is another table here, not a branch where the forms are used.
// The station and the emulation take every form from the dialect in hand and
// name none themselves.
//
// Threading: constant data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vantorel::cat {

// The radio's answers the emulation keeps, one kind each. Each is asked for
// with one read and arrives in one fixed form.
enum class RadioKey : std::uint8_t {
  kFrequencyA,
  kFrequencyB,
  kMode,
  kData,
  kStatus,
  kReceiveVfo,
  kTransmitVfo,
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
  kNone,  // no answer: the end of a short list of needs
};
inline constexpr std::size_t kRadioKeys = static_cast<std::size_t>(RadioKey::kNone);

// A read and the form of its answer: literal characters, '#' a digit, '*' any
// character but the terminator, '+' a sign ('+', '-' or a blank). The literal
// start tells the answers apart.
struct RadioAnswerForm {
  RadioKey key;
  std::string_view read;
  std::string_view form;
};

struct RadioDialect {
  std::string_view name;
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
  // Indexed by RadioKey.
  std::span<const RadioAnswerForm> answers;
  // The radio's replies that refuse a command instead of answering it.
  std::span<const std::string_view> refusals;

  [[nodiscard]] constexpr const RadioAnswerForm& AnswerOf(RadioKey key) const {
    return answers[static_cast<std::size_t>(key)];
  }
  // How many messages a text holds: its terminators, and a text without any
  // counts as one (nothing counts as none).
  [[nodiscard]] std::uint64_t MessagesIn(std::string_view text) const;
  [[nodiscard]] bool IsRefusal(std::string_view message) const;
};

// Where a field stands in the Kenwood IF status answer (from 0); every model
// on the line keeps this layout for the status read.
namespace status {
inline constexpr std::size_t kLength = 38;
inline constexpr std::size_t kFrequency = 2;   // 11 digits
inline constexpr std::size_t kClarifier = 18;  // sign and 4 digits
inline constexpr std::size_t kRxClarifier = 23;
inline constexpr std::size_t kTxClarifier = 24;
inline constexpr std::size_t kMemory = 25;  // 3 digits
inline constexpr std::size_t kMode = 29;
inline constexpr std::size_t kVfo = 30;  // 0 A, 1 B, 2 memory
inline constexpr std::size_t kSplit = 32;
inline constexpr std::size_t kTone = 33;  // 0 off, 1 tone, 2 CTCSS
}  // namespace status

// The TS-590S/SG grammar, which the TS-2000 and TS-480 share for everything
// the station and the emulation send.
extern const RadioDialect kTs590Dialect;

}  // namespace vantorel::cat
