// The simulated radio's facts as data: a TS-590S's mode digits, the range of
// its VFOs and RIT, the settings that share one grammar (with the TS-890 class's
// forms a translating program sends), the switch settings and the filter
// commands it remembers without judging them. The command handling reads each
// table with one loop.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantorel::sim {

// The MD digits; the data modes are these plus "DA1;" on this radio.
enum class Mode : char {
  kLsb = '1',
  kUsb = '2',
  kCw = '3',
  kFm = '4',
  kAm = '5',
  kFsk = '6',
  kCwReverse = '7',
  kFskReverse = '9',
};

inline constexpr auto kModes = std::to_array<Mode>({
    Mode::kLsb,
    Mode::kUsb,
    Mode::kCw,
    Mode::kFm,
    Mode::kAm,
    Mode::kFsk,
    Mode::kCwReverse,
    Mode::kFskReverse,
});

// The transmit meters by their RM digit: "RMp;" puts meter p on the display,
// "RM;" reads all three at once ("RM1nnnn;RM2nnnn;RM3nnnn;").
enum class TransmitMeter : char { kSwr = '1', kCompression = '2', kAlc = '3' };

inline constexpr auto kTransmitMeters = std::to_array<TransmitMeter>({
    TransmitMeter::kSwr,
    TransmitMeter::kCompression,
    TransmitMeter::kAlc,
});

constexpr std::size_t MeterIndex(TransmitMeter meter) {
  return static_cast<std::size_t>(meter) - static_cast<std::size_t>(TransmitMeter::kSwr);
}

// Receive range of the VFOs; FA/FB carry eleven digits of hertz.
inline constexpr std::uint64_t kLowestHertz = 30'000;
inline constexpr std::uint64_t kHighestHertz = 60'000'000;
inline constexpr std::size_t kFrequencyDigits = 11;

// RIT/XIT: RU/RD carry five digits of hertz, a bare RU/RD moves one step, and
// the offset stops at ±9.99 kHz like the knob does.
inline constexpr std::size_t kRitDigits = 5;
inline constexpr int kRitStepHertz = 10;
inline constexpr int kRitLimitHertz = 9'990;

// S-meter and transmit meters read 0..30 on this radio, four digits wide.
inline constexpr int kMeterTop = 30;
inline constexpr std::size_t kMeterDigits = 4;

inline constexpr std::string_view kIdentity = "ID021;";  // TS-590S
inline constexpr std::string_view kFirmware = "FV1.04;";

// What a value outside a setting's range gets: refused with "?;", or brought to
// the nearest end (power and microphone gain: Hamlib learns their range by
// setting 000 and 255 and reading back what the radio made of it).
enum class OutOfRange { kRefuse, kClamp };

// A setting whose set form is letters, an optional fixed selector digit and a
// fixed number of digits, and whose read form is letters plus the selector.
// Where a selector exists, the TS-890 form without it is taken too and
// answered without it. A few answers carry fixed digits after the value (the
// sub-receiver's place on radios that have one).
struct PlainSetting {
  std::string_view letters;
  std::string_view selector;  // "0": the main receiver
  std::size_t digits;
  int lowest;
  int highest;
  int initial;
  OutOfRange outOfRange = OutOfRange::kRefuse;
  std::string_view answerTail = "";
};

inline constexpr auto kPlainSettings = std::to_array<PlainSetting>({
    {"AG", "0", 3, 0, 255, 100},                        // AF gain
    {"SQ", "0", 3, 0, 255, 0},                          // squelch
    {"RG", "", 3, 0, 255, 255},                         // RF gain
    {"PC", "", 3, 5, 100, 100, OutOfRange::kClamp},     // transmit power, watts
    {"MG", "", 3, 0, 100, 50, OutOfRange::kClamp},      // microphone gain
    {"KS", "", 3, 4, 60, 20},                           // CW speed, words per minute
    {"GT", "", 2, 0, 20, 10},                           // AGC time constant, 00 off
    {"NB", "", 1, 0, 2, 0},                             // noise blanker: off, NB1, NB2
    {"NR", "", 1, 0, 2, 0},                             // noise reduction: off, NR1, NR2
    {"RA", "", 2, 0, 1, 0, OutOfRange::kRefuse, "00"},  // attenuator: "RA01;" answers "RA0100;"
    {"PA", "", 1, 0, 1, 0, OutOfRange::kRefuse, "0"},   // preamplifier: "PA1;" answers "PA10;"
    {"RT", "", 1, 0, 1, 0},                             // RIT on
    {"XT", "", 1, 0, 1, 0},                             // XIT on
    {"AI", "", 1, 0, 4, 0},                             // auto-information: 0 off
    // The TS-890 class's forms of what this radio keeps in menus or other letters.
    {"GC", "", 1, 0, 4, 2},       // AGC: off, slow, mid, fast, back to the last speed
    {"BP", "", 3, 0, 255, 128},   // manual notch frequency
    {"ML", "", 3, 0, 20, 10},     // monitor level
    {"NL", "", 3, 0, 20, 5},      // noise blanker level
    {"SD", "", 4, 0, 1000, 300},  // CW break-in delay, milliseconds
    {"VG", "", 3, 0, 20, 5},      // VOX gain
    {"RL", "", 2, 0, 10, 5},      // noise reduction level, 00 automatic
});

// A setting made of one-digit switches, each taking only the digits listed.
// A set carries every switch, or only the first `shortest` of them (the shorter
// TS-890 form), and the others keep their state; a read answers every switch.
inline constexpr std::size_t kMostSwitches = 3;

struct SwitchSetting {
  std::string_view letters;
  std::array<std::string_view, kMostSwitches> allowed;  // empty: no such switch
  std::size_t shortest;
  std::string_view initial;
};

inline constexpr auto kSwitchSettings = std::to_array<SwitchSetting>({
    {"LK", {"01", "01"}, 1, "00"},         // lock: frequency, then the other controls
    {"NT", {"012", "01"}, 1, "00"},        // notch: off, auto, manual; a second switch
    {"AN", {"12", "01", "01"}, 3, "100"},  // antenna 1 or 2, receive antenna, drive out
    {"AC", {"01", "01", "01"}, 3, "000"},  // tuner: in for receive, in for transmit, tuning
});

// Filter commands: any run of up to kLongestFilterValue digits is taken and
// read back as it came; their meaning depends on mode and menu settings this
// simulator does not model.
struct FilterSetting {
  std::string_view letters;
  std::string_view initial;
};

inline constexpr std::size_t kLongestFilterValue = 8;

inline constexpr auto kFilterSettings = std::to_array<FilterSetting>({
    {"FL", "0"},     // IF filter
    {"SH", "08"},    // high cut
    {"SL", "04"},    // low cut
    {"FW", "0500"},  // CW/FSK width
});

}  // namespace vantorel::sim
