// The facts behind the FT-950 emulation, as data: App 1's FT-950 commands
// and answers, and what each means in the radio dialect's terms (operating
// modes, AGC speeds, hertz, the radio's answer kinds). Every Kenwood form
// comes from the radio's dialect (cat/radio_dialect.h); nothing here names
// one. The emulation reads each table with one loop.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "cat/message_text.h"
#include "cat/radio_dialect.h"

namespace vantorel::cat::ft950 {

// What App 1 is answered from the radio's answers. Level and meter answers
// carry the row of their table.
enum class ReplyKind : std::uint8_t {
  kNone,
  kFrequencyA,
  kFrequencyB,
  kMode,
  kStatus,
  kVfo,
  kReceiveVfo,
  kTransmitVfo,
  kPower,
  kLevel,
  kAgc,
  kMeter,
  kRit,
  kXit,
  kWidth,
};

struct Reply {
  ReplyKind kind = ReplyKind::kNone;
  std::uint8_t row = 0;
};

// At most two radio answers make one FT-950 answer (a mode needs the radio's
// mode and its data switch, a width its two filter edges).
struct Needs {
  RadioKey first = RadioKey::kNone;
  RadioKey second = RadioKey::kNone;
};

// What App 1 gets, in FT-950 form, when the radio sends an answer of a kind on
// its own and App 1 has asked for auto-information; indexed by RadioKey.
inline constexpr auto kReports = [] {
  std::array<ReplyKind, kRadioKeys> reports{};
  reports[static_cast<std::size_t>(RadioKey::kFrequencyA)] = ReplyKind::kFrequencyA;
  reports[static_cast<std::size_t>(RadioKey::kFrequencyB)] = ReplyKind::kFrequencyB;
  reports[static_cast<std::size_t>(RadioKey::kMode)] = ReplyKind::kMode;
  reports[static_cast<std::size_t>(RadioKey::kData)] = ReplyKind::kMode;
  reports[static_cast<std::size_t>(RadioKey::kStatus)] = ReplyKind::kStatus;
  reports[static_cast<std::size_t>(RadioKey::kReceiveVfo)] = ReplyKind::kVfo;
  reports[static_cast<std::size_t>(RadioKey::kTransmitVfo)] = ReplyKind::kTransmitVfo;
  return reports;
}();

constexpr ReplyKind ReportOf(RadioKey key) { return kReports[static_cast<std::size_t>(key)]; }

// One character of a radio answer against App 1's; characters not listed
// read as the table's first App 1 character.
struct CharPair {
  char radio;
  char app1;
};

// The radio's VFO field against App 1's VFO/memory field: a memory channel is
// App 1's 1, either VFO its 0 (anything else would make Hamlib switch to VFO
// mode before every frequency change).
inline constexpr auto kStatusVfo = std::to_array<CharPair>({{'0', '0'}, {'1', '0'}, {'2', '1'}});

// The radio's tone field (0 off, 1 tone, 2 CTCSS) against App 1's CTCSS field
// (0 off, 1 encode and decode, 2 encode only).
inline constexpr auto kStatusTone = std::to_array<CharPair>({{'0', '0'}, {'1', '2'}, {'2', '1'}});

// Switches and VFOs whose 0 and 1 mean the same on both radios (VS and FR,
// FT, PS, RT, XT); anything else (a memory channel) reads as 0.
inline constexpr auto kSwitchAnswer = std::to_array<CharPair>({{'0', '0'}, {'1', '1'}});

// The radio's receive VFO against App 1's FR answer: 0 VFO A, 4 VFO B.
inline constexpr auto kReceiveVfoAnswer = std::to_array<CharPair>({{'0', '0'}, {'1', '4'}});

// App 1's status answer: the fields after its CTCSS field (tone number 00,
// no repeater shift) and the memory channel it shows for the radio's 000.
inline constexpr std::string_view kStatusTail = "000;";
inline constexpr std::string_view kNoMemory = "000";
inline constexpr std::string_view kFirstMemory = "001";

// The radio's VFO digits, as its VFO answers and settings carry them.
inline constexpr char kVfoA = '0';
inline constexpr char kVfoB = '1';

// --- Modes -------------------------------------------------------------------

// Whether an App 1 mode is the data variant of the radio's mode; kAny: the
// radio's data switch is left as it is and read either way.
enum class DataSwitch : std::uint8_t { kOff, kOn, kAny };

enum class WidthTable : std::uint8_t {
  kNone,        // no width index in this mode (App 1 is refused)
  kVoice,       // indices 00..20
  kNarrowBand,  // indices 00..13
};

struct Mode {
  char app1;
  OperatingMode mode;
  DataSwitch data;
  WidthTable widths;
  char autoRoofing;  // the roofing answer while AUTO: '4' 15 kHz, '5' 6 kHz, '6' 3 kHz
  bool narrow;       // the mode starts with the narrow filter
};

// The first row of a radio mode is the one App 1 reads, unless App 1 chose a
// later row of the same mode (FM-N, AM-N, or a data mode the radio cannot
// show). The last rows name the radio's modes App 1 has no word for.
inline constexpr auto kModes = std::to_array<Mode>({
    {'1', OperatingMode::kLsb, DataSwitch::kOff, WidthTable::kVoice, '6', false},  // LSB
    {'2', OperatingMode::kUsb, DataSwitch::kOff, WidthTable::kVoice, '6', false},  // USB
    {'3', OperatingMode::kCw, DataSwitch::kAny, WidthTable::kNarrowBand, '6', false},
    {'4', OperatingMode::kFm, DataSwitch::kOff, WidthTable::kNone, '4', false},
    {'5', OperatingMode::kAm, DataSwitch::kAny, WidthTable::kNone, '5', false},
    {'6', OperatingMode::kFsk, DataSwitch::kAny, WidthTable::kNarrowBand, '6', false},  // RTTY-L
    {'7', OperatingMode::kCwReverse, DataSwitch::kAny, WidthTable::kNarrowBand, '6', false},
    {'8', OperatingMode::kLsb, DataSwitch::kOn, WidthTable::kNarrowBand, '6', false},  // PKT-L
    {'9', OperatingMode::kFskReverse, DataSwitch::kAny, WidthTable::kNarrowBand, '6', false},
    {'A', OperatingMode::kFm, DataSwitch::kOn, WidthTable::kNone, '4', false},         // PKT-FM
    {'B', OperatingMode::kFm, DataSwitch::kOff, WidthTable::kNone, '4', true},         // FM-N
    {'C', OperatingMode::kUsb, DataSwitch::kOn, WidthTable::kNarrowBand, '6', false},  // PKT-U
    {'D', OperatingMode::kAm, DataSwitch::kAny, WidthTable::kNone, '5', true},         // AM-N
    {'C', OperatingMode::kPsk, DataSwitch::kAny, WidthTable::kNarrowBand, '6', false},
    {'8', OperatingMode::kPskReverse, DataSwitch::kAny, WidthTable::kNarrowBand, '6', false},
});
// App 1's own modes: the rows before the radio's extra ones.
inline constexpr std::size_t kModeCount = 13;

// The class of filters the radio keeps for a mode.
constexpr FilterClass FilterClassOf(OperatingMode mode) {
  switch (mode) {
    case OperatingMode::kCw:
    case OperatingMode::kCwReverse:
      return FilterClass::kCw;
    case OperatingMode::kFsk:
    case OperatingMode::kFskReverse:
      return FilterClass::kFsk;
    case OperatingMode::kFm:
      return FilterClass::kFm;
    case OperatingMode::kAm:
      return FilterClass::kAm;
    case OperatingMode::kLsb:
    case OperatingMode::kUsb:
    case OperatingMode::kPsk:
    case OperatingMode::kPskReverse:
      break;
  }
  return FilterClass::kSsb;
}

// --- Widths ------------------------------------------------------------------

// App 1's width index in hertz: a table from its first index; indices below
// it read as its first entry. Index 00 is the mode's standard width, wide or
// narrow.
struct Widths {
  int firstIndex;
  std::span<const int> hertz;
  int standard;
  int standardNarrow;
};

inline constexpr auto kVoiceHertz =
    std::to_array<int>({200,  400,  600,  850,  1100, 1350, 1500, 1650, 1800, 1950,
                        2100, 2250, 2400, 2450, 2500, 2600, 2700, 2800, 2900, 3000});
inline constexpr auto kNarrowBandHertz =
    std::to_array<int>({100, 200, 300, 400, 500, 800, 1200, 1400, 1700, 2000, 2400});

// Indexed by WidthTable.
inline constexpr auto kWidths = std::to_array<Widths>({
    {0, {}, 0, 0},
    {1, kVoiceHertz, 2400, 1800},
    {3, kNarrowBandHertz, 500, 300},
});

// The highest width index App 1 may choose per width table.
inline constexpr std::array<int, 3> kWidestIndex = {0, 20, 13};

// The low cut the radio's SSB filter is set to where several pairs of cuts
// give the width App 1 asks for: the usual edge of a voice filter.
inline constexpr int kUsualLowCut = 300;

// --- AGC ---------------------------------------------------------------------

// App 1's AGC choice, the radio's speed for it, and what App 1 reads back
// while the radio still holds that speed (AUTO reads as AUTO-mid). The rows
// of the four speeds come first: a speed the radio shows reads as the first
// row with it.
struct AgcChoice {
  char app1;
  AgcSpeed speed;
  char answer;
};

inline constexpr auto kAgcChoices = std::to_array<AgcChoice>({
    {'0', AgcSpeed::kOff, '0'},
    {'1', AgcSpeed::kFast, '1'},
    {'2', AgcSpeed::kMid, '2'},
    {'3', AgcSpeed::kSlow, '3'},
    {'4', AgcSpeed::kMid, '5'},  // auto
});

// --- Levels ------------------------------------------------------------------

// A level App 1 sets and reads with letters, a fixed selector and three
// digits, and the radio's kind for it. Values scale by full scale (App 1's
// 0..255 microphone gain is the radio's 0..100) and are held to the radio's
// range (both from the dialect).
struct Level {
  std::string_view letters;
  std::string_view selector;
  int app1Min;
  int app1Max;
  int app1Scale;
  RadioKey key;
};

inline constexpr auto kLevels = std::to_array<Level>({
    {"AG", "0", 0, 255, 255, RadioKey::kAfGain},
    {"RG", "0", 0, 255, 255, RadioKey::kRfGain},
    {"SQ", "0", 0, 255, 255, RadioKey::kSquelch},
    {"PC", "", 0, 100, 100, RadioKey::kRfPower},
    {"KS", "", 4, 60, 60, RadioKey::kKeySpeed},
    {"MG", "", 0, 255, 255, RadioKey::kMicGain},
});

// --- Meters ------------------------------------------------------------------

// A meter reading through points (radio value, App 1 value), straight between
// them and flat beyond the last.
struct CurvePoint {
  int radio;
  int app1;
};

// The FT-950's S-meter at the dialect's points (S1 ... S9+60 dB).
inline constexpr auto kSMeterPoints = std::to_array<int>({12, 40, 65, 95, 130, 172, 220, 255});
static_assert(kSMeterPoints.size() == cat::kSMeterPoints);

// The transmit meters below read a radio scale of 0..30; a radio with another
// full scale is brought to it first.
inline constexpr int kCurveTop = 30;

// SWR 1.0, 1.5, 2.0, 3.0 at 0, 6, 12, 18 (5.0 near 21) against the FT-950's
// readings for the same ratios.
inline constexpr auto kSwrCurve = std::to_array<CurvePoint>({
    {0, 0},
    {6, 65},
    {12, 89},
    {18, 140},
    {21, 242},
    {30, 255},
});

// In transmit the radio's S-meter shows power: full scale for 100 W. The
// FT-950 reads 0.8, 8, 26, 54, 92 W at 10, 50, 100, 150, 200.
inline constexpr auto kPowerCurve = std::to_array<CurvePoint>({
    {0, 0},
    {1, 24},
    {3, 56},
    {6, 83},
    {9, 107},
    {15, 143},
    {18, 158},
    {24, 184},
    {30, 208},
});

// Compression and ALC: the radio's scale spread over 0..255.
inline constexpr auto kLinearCurve = std::to_array<CurvePoint>({
    {0, 0},
    {30, 255},
});

// When a meter has a reading at all; otherwise App 1 reads 0 without asking.
enum class MeterReads : std::uint8_t { kAlways, kInReceive, kInTransmit };

struct Meter {
  std::string_view command;  // App 1's read
  std::string_view prefix;   // App 1's answer before its three digits
  RadioKey key;
  std::span<const CurvePoint> curve;  // empty: the S-meter's points
  MeterReads reads;
};

inline constexpr auto kMeters = std::to_array<Meter>({
    {"SM0;", "SM0", RadioKey::kSMeter, {}, MeterReads::kInReceive},
    {"RM3;", "RM3", RadioKey::kCompMeter, kLinearCurve, MeterReads::kAlways},
    {"RM4;", "RM4", RadioKey::kAlcMeter, kLinearCurve, MeterReads::kAlways},
    {"RM5;", "RM5", RadioKey::kSMeter, kPowerCurve, MeterReads::kInTransmit},
    {"RM6;", "RM6", RadioKey::kSwrMeter, kSwrCurve, MeterReads::kAlways},
});

inline constexpr TableIndex kMeterIndex(kMeters, &Meter::command);
static_assert(kMeterIndex.KeysUnique() && kMeterIndex.KeysWithin(4));

// --- Settings kept here ------------------------------------------------------

// FT-950 settings App 1 sets and reads back from the emulation: those the
// radio has no one-to-one command for, and App 1's own width choice (the
// radio gets it in its own form too). Width, narrow and roofing are kept per
// mode.
enum class LocalRule : std::uint8_t {
  kPlain,
  kWidth,    // refused in modes without a width index; its highest index per mode
  kNarrow,   // the N modes start narrow
  kRoofing,  // AUTO (0) reads back as the filter AUTO picks for the mode
};

struct LocalSetting {
  std::string_view letters;
  std::string_view selector;
  std::size_t digits;
  int max;
  bool perMode;
  LocalRule rule;
  int initial;
};

inline constexpr auto kLocalSettings = std::to_array<LocalSetting>({
    {"SH", "0", 2, 20, true, LocalRule::kWidth, 0},  // 00: the mode's standard width
    {"NA", "0", 1, 1, true, LocalRule::kNarrow, 0},
    {"RF", "0", 1, 3, true, LocalRule::kRoofing, 0},
    {"KP", "", 2, 15, false, LocalRule::kPlain, 8},    // CW pitch: 300 Hz + 50 Hz steps
    {"MS", "", 1, 5, false, LocalRule::kPlain, 0},     // front meter
    {"AI", "", 1, 1, false, LocalRule::kPlain, 0},     // App 1's auto-information
    {"EX", "027", 1, 3, false, LocalRule::kPlain, 0},  // CAT time-out timer
});

// The rows of App 1's width, narrow filter and auto-information switch.
inline constexpr std::size_t kWidthRow = 0;
inline constexpr std::size_t kNarrowRow = 1;
inline constexpr std::size_t kAutoInformationRow = 5;
static_assert(kLocalSettings[kWidthRow].letters == "SH" &&
              kLocalSettings[kNarrowRow].letters == "NA" &&
              kLocalSettings[kAutoInformationRow].letters == "AI");

// --- Commands with parameters ------------------------------------------------

// Frequencies: App 1's eight digits (programs send from one to eleven), the
// radio's eleven.
struct Frequency {
  std::string_view letters;
  RadioKey key;
  ReplyKind reply;
};

inline constexpr auto kFrequencies = std::to_array<Frequency>({
    {"FA", RadioKey::kFrequencyA, ReplyKind::kFrequencyA},
    {"FB", RadioKey::kFrequencyB, ReplyKind::kFrequencyB},
});
inline constexpr std::size_t kFrequencyDigits = 8;
inline constexpr std::size_t kMostFrequencyDigits = 11;
inline constexpr long kLowestFrequency = 30'000;
inline constexpr long kHighestFrequency = 56'000'000;

// Clarifier steps: App 1's four digits, the radio's five.
struct ClarifierStep {
  std::string_view letters;
  std::string_view RadioDialect::*radio;
};
inline constexpr auto kClarifierSteps = std::to_array<ClarifierStep>({
    {"RU", &RadioDialect::clarifierUp},
    {"RD", &RadioDialect::clarifierDown},
});
inline constexpr std::size_t kClarifierDigits = 4;

// Mode, AGC and band select: their letters and selector digit.
struct Head {
  std::string_view letters;
  std::string_view selector;
};
inline constexpr Head kModeHead = {"MD", "0"};
inline constexpr Head kAgcHead = {"GT", "0"};
inline constexpr Head kBandHead = {"BS", ""};
inline constexpr std::size_t kBandDigits = 2;
inline constexpr int kHighestBand = 12;  // Hamlib may name 0.5-1.7 MHz as 12

// --- Whole commands ----------------------------------------------------------

// What a fixed command does besides what it sends to the radio.
enum class Effect : std::uint8_t {
  kNone,
  kKeyDown,
  kKeyUp,
  kReportTransmit,  // App 1's transmit read
  kReportMox,       // App 1's MOX read
  kTransmitVfo,     // the radio's transmit VFO
  kReceiveVfo,      // the radio's receive VFO; a split stays a split
  kPowerOn,         // kept from the radio while the Power On/Off box is ticked
  kClarifierClear,
};

// App 1's whole command (upper case), what the radio gets (the setting of a
// kind with one character), and how App 1 is answered: a fixed text, an
// answer built from the radio's, or nothing (a set).
struct FixedCommand {
  std::string_view command;
  RadioKey key = RadioKey::kNone;
  char value = 0;
  Effect effect = Effect::kNone;
  ReplyKind reply = ReplyKind::kNone;
  Needs needs = {};
  std::string_view answer = {};
};

inline constexpr auto kFixedCommands = std::to_array<FixedCommand>({
    {.command = "ID;", .answer = "ID0310;"},
    {.command = "IF;", .reply = ReplyKind::kStatus, .needs = {RadioKey::kStatus, RadioKey::kData}},
    {.command = "VS;", .reply = ReplyKind::kVfo, .needs = {RadioKey::kReceiveVfo}},
    {.command = "FR;", .reply = ReplyKind::kReceiveVfo, .needs = {RadioKey::kReceiveVfo}},
    {.command = "FT;", .reply = ReplyKind::kTransmitVfo, .needs = {RadioKey::kTransmitVfo}},
    {.command = "PS;", .reply = ReplyKind::kPower, .needs = {RadioKey::kPower}},
    {.command = "RT;", .reply = ReplyKind::kRit, .needs = {RadioKey::kRit}},
    {.command = "XT;", .reply = ReplyKind::kXit, .needs = {RadioKey::kXit}},
    {.command = "TX;", .effect = Effect::kReportTransmit},
    {.command = "MX;", .effect = Effect::kReportMox},
    {.command = "TX0;", .effect = Effect::kKeyUp},
    {.command = "TX1;", .effect = Effect::kKeyDown},
    {.command = "MX0;", .effect = Effect::kKeyUp},
    {.command = "MX1;", .effect = Effect::kKeyDown},
    // App 1 sends 2 and 3 for VFO A and B.
    {.command = "FT2;", .value = kVfoA, .effect = Effect::kTransmitVfo},
    {.command = "FT3;", .value = kVfoB, .effect = Effect::kTransmitVfo},
    {.command = "VS0;", .value = kVfoA, .effect = Effect::kReceiveVfo},
    {.command = "VS1;", .value = kVfoB, .effect = Effect::kReceiveVfo},
    {.command = "FR0;", .value = kVfoA, .effect = Effect::kReceiveVfo},
    {.command = "FR4;", .value = kVfoB, .effect = Effect::kReceiveVfo},
    {.command = "PS0;", .key = RadioKey::kPower, .value = '0'},
    {.command = "PS1;", .key = RadioKey::kPower, .value = '1', .effect = Effect::kPowerOn},
    {.command = "RT0;", .key = RadioKey::kRit, .value = '0'},
    {.command = "RT1;", .key = RadioKey::kRit, .value = '1'},
    {.command = "XT0;", .key = RadioKey::kXit, .value = '0'},
    {.command = "XT1;", .key = RadioKey::kXit, .value = '1'},
    {.command = "RC;", .effect = Effect::kClarifierClear},
});

inline constexpr TableIndex kFixedIndex(kFixedCommands, &FixedCommand::command);
static_assert(kFixedIndex.KeysUnique() && kFixedIndex.KeysWithin(4));
static_assert(NoKeyIn(kFixedIndex, kMeters, &Meter::command));

// The answers App 1 gets for its transmit and MOX reads.
inline constexpr std::string_view kTransmitting = "TX3;";  // keyed through CAT
inline constexpr std::string_view kReceiving = "TX0;";
inline constexpr std::string_view kMoxOn = "MX1;";
inline constexpr std::string_view kMoxOff = "MX0;";

// The FT-950's answer to what it cannot do.
inline constexpr std::string_view kRefused = "?;";

}  // namespace vantorel::cat::ft950
