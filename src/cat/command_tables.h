// The facts of the Yaesu-to-Kenwood command translation, as data: which App 1
// messages become which radio commands, which parameter groups are read and
// how they are scaled. ChangeInput reads these tables with one loop each, and
// the tests walk the same rows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "cat/band_table.h"
#include "cat/message_text.h"

namespace vantorel::cat::commands {

// Whole App 1 messages that stand for one or more radio commands. Compared
// exactly, case included.
struct Replacement {
  std::string_view message;
  std::string_view radio;
};

// Lock goes to the radio in both of its forms, because the radio acts on the
// first and App 1's panel reads back the second.
inline constexpr auto kWholeMessageReplacements = std::to_array<Replacement>({
    {"LK1;", "LK10;LK1;"},
    {"LK0;", "LK00;LK0;"},
    {"BC00;", "NT00;"},  // notch off
    {"BC01;", "NT10;"},  // notch on
    {"NR00;", "NR0;"},   // noise reduction
    {"NR01;", "NR1;"},
    {"PA00;", "PA0;"},  // preamplifier: the radio has one stage, App 1 two
    {"PA01;", "PA1;"},
    {"PA02;", "PA1;"},
    {"AB;", "VV;"},  // copy VFO A to VFO B
});

// How a parameter family turns App 1's number into the radio's.
enum class Scaling {
  kNone,
  kDivideAbove25,     // App 1's 0..255 level to the radio's steps; small values as they are
  kDivide,            // number / divisor to the nearest whole number
  kDivideIfPositive,  // as kDivide, but a value not above 0 becomes 0
  kAgc,               // App 1's AGC digit to the radio's AGC digit
  kAttenuator,        // 0 stays off, anything else is on
};

struct ParameterFamily {
  std::string_view letters;  // found anywhere in the message
  std::size_t first;         // characters read, counted from 1 at the letters
  std::size_t last;
  Scaling scaling;
  double divisor;
  std::size_t minWidth;  // zero-fill of the digit text
  std::string_view radioLetters;
  std::string_view tail;  // what follows the digits
};

// In this order: each family sees the message as the earlier ones left it.
// App 1 puts a selector digit after most command letters, so most values start
// at the 4th character; "SD" and "MG" carry none and "BP" carries two.
inline constexpr auto kParameterFamilies = std::to_array<ParameterFamily>({
    {"ML", 4, 6, Scaling::kDivideAbove25, 25.0, 3, "ML", ";"},    // monitor level
    {"NL", 4, 6, Scaling::kDivideAbove25, 25.0, 3, "NL", ";"},    // noise blanker level
    {"GT", 4, 4, Scaling::kAgc, 1.0, 1, "GC", ";"},               // AGC
    {"RA", 4, 4, Scaling::kAttenuator, 1.0, 1, "RA", ";"},        // attenuator
    {"SD", 3, 6, Scaling::kDivideIfPositive, 3.0, 4, "SD", ";"},  // CW break-in delay
    {"AN", 4, 6, Scaling::kNone, 1.0, 1, "AN", "00;"},            // antenna
    {"RL", 4, 6, Scaling::kDivide, 1.5, 2, "RL", ";"},            // noise reduction level
    {"NB", 4, 6, Scaling::kNone, 1.0, 1, "NB", ";"},              // noise blanker
    {"BP", 5, 7, Scaling::kNone, 1.0, 3, "BP", ";"},              // manual notch frequency
    {"RG", 4, 6, Scaling::kNone, 1.0, 3, "RG", ";"},              // RF gain
    {"AG", 4, 6, Scaling::kNone, 1.0, 3, "AG", ";"},              // AF gain
    {"VG", 4, 6, Scaling::kDivide, 11.0, 3, "VG", ";"},           // VOX gain
    {"MG", 3, 5, Scaling::kDivide, 2.5, 3, "MG", ";"},            // microphone gain
});

// The capitals of each family's letters, for a quick test of a message.
inline constexpr auto kParameterFamilyLetters = [] {
  std::array<std::uint32_t, kParameterFamilies.size()> letters{};
  for (std::size_t i = 0; i < kParameterFamilies.size(); ++i) {
    letters[i] = CapitalLetters(kParameterFamilies[i].letters);
  }
  return letters;
}();

// What a row of the last table does besides giving the radio text.
enum class Effect {
  kNone,
  kCwKeyOn,  // App 1 chose CW: break-in now means VOX
  kCwKeyOff,
  kShowVfoB,  // App 1 now works on VFO B
  kHideVfoB,
  kKeyDown,  // the radio is keyed: arm the transmit supervision (when it is enabled)
  kKeyUp,    // the radio is unkeyed: disarm it and reset its count
};

// Rows compared with the upper-cased whole message after the band rows
// (band_table.h); the first equal row ends the translation. An empty `radio` leaves the message as
// it is. The effect comes before the writes unless `effectLast`; the radio write comes before the
// echo to App 1.
struct FinalRow {
  std::string_view message;
  std::string_view radio;
  std::string_view toRadio = {};
  std::string_view echo = {};
  Effect effect = Effect::kNone;
  bool effectLast = false;
};

inline constexpr auto kFinalRows = std::to_array<FinalRow>({
    // Mode keys. MK5 is answered as MK6 on purpose; MK3 and MK4 give the same mode.
    {"MK0;", "MD1;", {}, "MK0;", Effect::kCwKeyOff},
    {"MK1;", "MD2;", {}, "MK1;", Effect::kCwKeyOff},
    {"MK2;", "MD3;", {}, "MK2;", Effect::kCwKeyOn},
    {"MK3;", "MD5;", {}, "MK3;", Effect::kCwKeyOff},
    {"MK4;", "MD5;", {}, "MK4;", Effect::kCwKeyOff},
    {"MK5;", "MD6;", {}, "MK6;", Effect::kCwKeyOff},
    // Mode: App 1 puts a 0 before the mode digit, the radio does not.
    {"MD01;", "MD1;"},
    {"MD02;", "MD2;"},
    {"MD03;", "MD3;"},
    {"MD04;", "MD4;"},
    {"MD05;", "MD5;"},
    {"MD06;", "MD6;"},
    {"MD07;", "MD7;"},
    {"MD08;", "MD8;"},
    // Roofing filter: App 1 hears its choice back first.
    {"RF00;", "FL002002;SH;SL;", {}, "RF00;"},
    {"RF01;", "FL005002;SH;SL;", {}, "RF01;"},
    {"RF02;", "FL007003;SH;SL;", {}, "RF02;"},
    {"RF03;", "FL007007;SH;SL;", {}, "RF03;"},
    {"RF04;", "FL005002;SH;SL;", {}, "RF04;"},
    {"RF05;", "FL007007;SH;SL;", {}, "RF05;"},
    // VFO select: transmit and receive move together.
    {"VS1;", "FT1;FR1;", {}, "VS1;", Effect::kShowVfoB, true},
    {"VS0;", "FT0;FR0;", {}, "VS0;", Effect::kHideVfoB},
    // Narrow.
    {"NA01;", "MD7;FL007007;SH;SL;", {}, "NA01;"},
    {"NA00;", "MD3;", {}, "NA00;"},
    // Display rows: filters back to a known state, then receive and auto-information.
    {"DS1;", "FL007007;SH;SL;RX;AI1;"},
    {"DS0;", "FL005002;SH;SL;RX;AI1;"},
    // Tuner: App 1 waits for its own command back.
    {"AC000;", {}, {}, "AC000;"},
    {"AC001;", {}, {}, "AC001;"},
    // Meter select.
    {"MS0;", "RM2;", {}, "MS0;"},
    {"MS1;", "RM3;", {}, "MS1;"},
    {"MS2;", "RM2;", {}, "MS2;"},
    {"MS3;", "RM1;", {}, "MS3;"},
    // Transmit: key the radio and ask for its meter; App 1 is told it transmits.
    {"MX1;", {}, "TX1;TX;RM;", "TX1;TX;RM;", Effect::kKeyDown},
    {"MX0;", {}, "RX;", "TX0;", Effect::kKeyUp},
    // Keyer: the paddle keys the radio through its MOX command, and the
    // transmit time-out follows it like any other key-down.
    {"KY7;", {}, "MX1;", {}, Effect::kKeyDown},
    {"KY9;", {}, "MX0;", {}, Effect::kKeyUp},
    // PTT in App 1's dialect. A Kenwood radio takes "TX0;" as "transmit": App 1's
    // PTT off becomes the radio's receive command.
    {"TX0;", "RX;", {}, {}, Effect::kKeyUp},
    {"TX1;", {}, {}, {}, Effect::kKeyDown},
});

// Longest message the last table can match; longer ones need no upper-case copy.
inline constexpr std::size_t kLongestFinalRow = 6;

inline constexpr TableIndex kFinalRowIndex(kFinalRows, &FinalRow::message);
static_assert(kFinalRowIndex.KeysUnique() && kFinalRowIndex.KeysWithin(kLongestFinalRow));

// The band rows are looked up first; no row here may shadow one.
static_assert(NoKeyIn(kBandIndex, kFinalRows, &FinalRow::message));

}  // namespace vantorel::cat::commands
