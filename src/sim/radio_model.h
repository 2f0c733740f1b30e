// One Kenwood model's command grammar as data: its identity, its frequency
// range, which commands it takes and in which form (selector digits, widths,
// ranges, mode codes, filter forms), and what it refuses, by leaving it out.
// The command handling (kenwood_commands.cpp) reads these tables with one loop
// each; radio_models.cpp holds one table per model.
//
// These tables are the simulator's own on purpose: the translating code is
// tested against them and must not share them.
//
// Threading: constants.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "sim/kenwood_tables.h"

namespace vantorel::sim {

// A stretch of frequencies the VFOs take (the TS-2000 has several bands).
struct HertzRange {
  std::uint64_t lowest;
  std::uint64_t highest;
};

// One mode code: the character a mode command carries, the mode and its data
// number (0: not a data mode; 1..3: DATA1..DATA3 on a TS-990S).
struct ModeCode {
  char code;
  Mode mode;
  std::uint8_t data = 0;
};

enum class ModeFormKind : std::uint8_t {
  kBaseCode,          // the base mode only; the data mode is kept (MD on a TS-590)
  kFullCode,          // mode and data mode in one code (OM; MD on a TS-890S)
  kDataNumber,        // the data mode alone, 0 or 1 (DA on a TS-590)
  kFrequencyAndCode,  // eleven digits of hertz, then the full code (SF on a TS-890S)
};

// Which VFO a mode form reads and sets.
enum class VfoChoice : std::uint8_t {
  kWorking,  // the one receiving (transmitting while keyed)
  kOther,
  kA,
  kB,
};

// A mode command: letters and selector are its read form ("OM0;"); its set form
// is the read form with the value before the ';'.
struct ModeForm {
  std::string_view letters;
  std::string_view selector;
  VfoChoice vfo;
  ModeFormKind kind;
  std::span<const ModeCode> codes;  // empty for kDataNumber
};

// What a value outside a setting's range gets: refused with "?;", or brought to
// the nearest end (power and microphone gain: Hamlib learns their range by
// setting 000 and 255 and reading back what the radio made of it).
enum class OutOfRange : std::uint8_t { kRefuse, kClamp };

// A setting whose set form is letters, the selector and exactly `digits`
// digits, and whose read form is letters plus the selector. A model with two
// forms of one setting (with and without the selector) has two rows. A few
// answers carry fixed digits after the value (the sub-receiver's place).
struct SettingForm {
  Setting setting;
  std::string_view letters;
  std::string_view selector;
  std::size_t digits;
  int lowest;
  int highest;
  int initial;
  OutOfRange outOfRange = OutOfRange::kRefuse;
  std::string_view answerTail = "";
};

// An S-meter read: "SM" + selector; the answer adds four digits, 0..top.
struct MeterForm {
  std::string_view selector;
  int top;
};

// Which Passband field a filter form reads and sets.
enum class PassbandEdge : std::uint8_t { kLowCut, kHighCut, kWidth };

// A filter command in one class of mode: its value is an index into `hertz`,
// or (not indexed) one of `hertz` itself, four digits of hertz. The same
// letters in a class of mode without a row here are refused. A read answers
// the entry nearest to what the radio holds.
struct WidthForm {
  std::string_view letters;
  std::string_view selector;
  std::size_t digits;
  ModeClass modeClass;
  PassbandEdge edge;
  std::span<const int> hertz;
  bool indexed = true;
};

// A transmit command's parameters and what they do; `keys` false: taken
// silently and nothing happens (TX0/TX1 on a TS-2000).
struct KeyingForm {
  std::string_view parameters;
  Keying keying;
  bool keys = true;
};

// A filter command taken as any run of digits and read back as it came, for
// the radio whose filters are not modelled.
struct RawFilter {
  std::string_view letters;
  std::string_view initial;
};

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

inline constexpr std::size_t kLongestRawFilter = 8;

struct RadioModel {
  std::string_view name;      // as "sim:NAME" and "vantorel-sim --model NAME" call it
  std::string_view title;     // for people: "Kenwood TS-890S" (at most 52 characters)
  std::string_view identity;  // the answer to "ID;"
  std::string_view firmware;  // the answer to "FV;"
  std::span<const HertzRange> bands;
  // The letters of the commands with handling of their own (frequencies, VFOs,
  // status, keying, RIT, power, identity, ...), as kenwood_commands.cpp names them.
  std::span<const std::string_view> commands;
  std::span<const KeyingForm> keyings;
  std::span<const ModeForm> modes;
  std::span<const ModeCode> statusModes;  // the IF answer's mode column
  char ritPlus;                           // the IF answer's sign of an offset >= 0
  std::span<const SettingForm> settings;
  std::span<const MeterForm> sMeters;
  int meterTop;  // the meters' full scale
  std::span<const WidthForm> widths;
  std::span<const RawFilter> rawFilters;
  std::span<const SwitchSetting> switches;
  // The reads whose answers auto-information sends when they change.
  std::span<const std::string_view> reported;
};

// "sim:kenwood": a TS-590S that also takes the TS-890 class's forms a
// translating program sends, and reads them back.
const RadioModel& LenientModel();

// The six models by name ("ts890", "ts990", "ts590", "ts590sg", "ts2000",
// "ts480") or "kenwood" (LenientModel); nullptr for another name.
const RadioModel* FindModel(std::string_view name);

// Every model's name, "kenwood" first.
std::vector<std::string_view> ModelNames();

}  // namespace vantorel::sim
