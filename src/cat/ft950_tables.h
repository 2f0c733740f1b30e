// The facts behind the FT-950 emulation, as data: App 1's FT-950 commands,
// the Kenwood commands they become (the reads and answer forms come from the
// radio's dialect; the settings here are the TS-590S/SG forms), mode
// characters, level scales and meter curves. The emulation reads each table
// with one loop.
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
};

struct Reply {
  ReplyKind kind = ReplyKind::kNone;
  std::uint8_t row = 0;
};

// At most two radio answers make one FT-950 answer (a mode needs the radio's
// mode and its data switch).
struct Needs {
  RadioKey first = RadioKey::kNone;
  RadioKey second = RadioKey::kNone;
};

// What App 1 gets, in FT-950 form, when the radio sends an answer of a kind on
// its own and App 1 has asked for auto-information; indexed by RadioKey.
inline constexpr auto kReports = std::to_array<ReplyKind>({
    ReplyKind::kFrequencyA,   // frequency A
    ReplyKind::kFrequencyB,   // frequency B
    ReplyKind::kMode,         // mode
    ReplyKind::kMode,         // data switch
    ReplyKind::kStatus,       // status
    ReplyKind::kVfo,          // receive VFO
    ReplyKind::kTransmitVfo,  // transmit VFO
    ReplyKind::kNone,        ReplyKind::kNone, ReplyKind::kNone, ReplyKind::kNone, ReplyKind::kNone,
    ReplyKind::kNone,        ReplyKind::kNone, ReplyKind::kNone, ReplyKind::kNone, ReplyKind::kNone,
    ReplyKind::kNone,        ReplyKind::kNone, ReplyKind::kNone, ReplyKind::kNone,
});
static_assert(kReports.size() == kRadioKeys);

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

// --- Modes -------------------------------------------------------------------

// The radio's mode digit plus its data switch (DA) against App 1's mode
// character. Where the radio has no data variant the switch is left alone.
inline constexpr char kAnyData = '*';

enum class WidthTable : std::uint8_t {
  kNone,        // no width index in this mode (App 1 is refused)
  kVoice,       // indices 00..20
  kNarrowBand,  // indices 00..13
};

struct Mode {
  char app1;
  char radioMode;
  char radioData;
  WidthTable widths;
  char autoRoofing;  // the roofing answer while AUTO: '4' 15 kHz, '5' 6 kHz, '6' 3 kHz
  bool narrow;       // the mode starts with the narrow filter
};

// The first row with the radio's digits is the mode App 1 reads, unless App 1
// chose a later row with the same digits (FM-N, AM-N).
inline constexpr auto kModes = std::to_array<Mode>({
    {'1', '1', '0', WidthTable::kVoice, '6', false},            // LSB
    {'2', '2', '0', WidthTable::kVoice, '6', false},            // USB
    {'3', '3', kAnyData, WidthTable::kNarrowBand, '6', false},  // CW
    {'4', '4', '0', WidthTable::kNone, '4', false},             // FM
    {'5', '5', kAnyData, WidthTable::kNone, '5', false},        // AM
    {'6', '6', kAnyData, WidthTable::kNarrowBand, '6', false},  // RTTY-L
    {'7', '7', kAnyData, WidthTable::kNarrowBand, '6', false},  // CW-R
    {'8', '1', '1', WidthTable::kNarrowBand, '6', false},       // PKT-L
    {'9', '9', kAnyData, WidthTable::kNarrowBand, '6', false},  // RTTY-U
    {'A', '4', '1', WidthTable::kNone, '4', false},             // PKT-FM
    {'B', '4', '0', WidthTable::kNone, '4', true},              // FM-N
    {'C', '2', '1', WidthTable::kNarrowBand, '6', false},       // PKT-U
    {'D', '5', kAnyData, WidthTable::kNone, '5', true},         // AM-N
});
inline constexpr std::size_t kModeCount = kModes.size();

// The highest width index App 1 may choose per width table.
inline constexpr std::array<int, 3> kWidestIndex = {0, 20, 13};

// --- AGC ---------------------------------------------------------------------

// App 1's AGC choice, the radio's time constant for it, and what App 1 reads
// back while the radio still holds that constant (AUTO reads as AUTO-mid).
struct AgcChoice {
  char app1;
  std::string_view radio;
  int radioValue;
  char answer;
};

inline constexpr auto kAgcChoices = std::to_array<AgcChoice>({
    {'0', "GT00;", 0, '0'},   // off
    {'1', "GT05;", 5, '1'},   // fast
    {'2', "GT10;", 10, '2'},  // mid
    {'3', "GT20;", 20, '3'},  // slow
    {'4', "GT10;", 10, '5'},  // auto
});

// The radio's time constant read as App 1's AGC: the first row at or above it.
struct AgcAnswer {
  int radioUpTo;
  char app1;
};

inline constexpr auto kAgcAnswers = std::to_array<AgcAnswer>({
    {0, '0'},
    {5, '1'},
    {10, '2'},
    {99, '3'},
});

// --- Levels ------------------------------------------------------------------

// A level App 1 sets and reads with letters, a fixed selector and three digits,
// and its radio command. Values scale by full scale (App 1's 0..255 microphone
// gain is the radio's 0..100) and are held to the radio's range.
struct Level {
  std::string_view letters;
  std::string_view selector;
  int app1Min;
  int app1Max;
  int app1Scale;
  RadioKey key;
  std::string_view radioPrefix;  // the radio's letters and selector
  int radioMin;
  int radioMax;
  int radioScale;
};

inline constexpr auto kLevels = std::to_array<Level>({
    {"AG", "0", 0, 255, 255, RadioKey::kAfGain, "AG0", 0, 255, 255},
    {"RG", "0", 0, 255, 255, RadioKey::kRfGain, "RG", 0, 255, 255},
    {"SQ", "0", 0, 255, 255, RadioKey::kSquelch, "SQ0", 0, 255, 255},
    {"PC", "", 0, 100, 100, RadioKey::kRfPower, "PC", 5, 100, 100},
    {"KS", "", 4, 60, 60, RadioKey::kKeySpeed, "KS", 4, 60, 60},
    {"MG", "", 0, 255, 255, RadioKey::kMicGain, "MG", 0, 100, 100},
});

// --- Meters ------------------------------------------------------------------

// A meter reading through points (radio value, App 1 value), straight between
// them and flat beyond the last.
struct CurvePoint {
  int radio;
  int app1;
};

// The radio's 0..30 S-meter against the FT-950's: the same S units.
inline constexpr auto kSMeterCurve = std::to_array<CurvePoint>({
    {0, 0},
    {3, 12},
    {6, 40},
    {9, 65},
    {12, 95},
    {15, 130},
    {20, 172},
    {25, 220},
    {30, 255},
});

// The radio's 0..30 SWR (1.0, 1.5, 2.0, 3.0 at 0, 6, 12, 18; 5.0 near 21)
// against the FT-950's readings for the same ratios.
inline constexpr auto kSwrCurve = std::to_array<CurvePoint>({
    {0, 0},
    {6, 65},
    {12, 89},
    {18, 140},
    {21, 242},
    {30, 255},
});

// In transmit the radio's S-meter shows power: 0..30 for 0..100 W. The
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

// Compression and ALC: the radio's 0..30 spread over 0..255.
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
  std::span<const CurvePoint> curve;
  MeterReads reads;
};

inline constexpr auto kMeters = std::to_array<Meter>({
    {"SM0;", "SM0", RadioKey::kSMeter, kSMeterCurve, MeterReads::kInReceive},
    {"RM3;", "RM3", RadioKey::kCompMeter, kLinearCurve, MeterReads::kAlways},
    {"RM4;", "RM4", RadioKey::kAlcMeter, kLinearCurve, MeterReads::kAlways},
    {"RM5;", "RM5", RadioKey::kSMeter, kPowerCurve, MeterReads::kInTransmit},
    {"RM6;", "RM6", RadioKey::kSwrMeter, kSwrCurve, MeterReads::kAlways},
});

inline constexpr TableIndex kMeterIndex(kMeters, &Meter::command);
static_assert(kMeterIndex.KeysUnique() && kMeterIndex.KeysWithin(4));

// --- Settings kept here ------------------------------------------------------

// FT-950 settings the radio has no one-to-one command for: App 1 sets them and
// reads them back from the emulation. Width, narrow and roofing are kept per mode.
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

// The row of App 1's auto-information switch.
inline constexpr std::size_t kAutoInformationRow = 5;
static_assert(kLocalSettings[kAutoInformationRow].letters == "AI");

// --- Commands with parameters ------------------------------------------------

// Frequencies: App 1's eight digits, the radio's eleven.
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
inline constexpr long kLowestFrequency = 30'000;
inline constexpr long kHighestFrequency = 56'000'000;

// Clarifier steps: App 1's four digits, the radio's five.
struct ClarifierStep {
  std::string_view letters;
};
inline constexpr auto kClarifierSteps = std::to_array<ClarifierStep>({{"RU"}, {"RD"}});
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
  kTransmitOnA,
  kTransmitOnB,
  kOperateA,  // the radio's receive VFO; a split stays a split
  kOperateB,
  kPowerOn,  // kept from the radio while the Power On/Off box is ticked
};

// App 1's whole command (upper case), what the radio gets, and how App 1 is
// answered: a fixed text, an answer built from the radio's, or nothing (a set).
struct FixedCommand {
  std::string_view command;
  std::string_view radio = {};
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
    // App 1 sends 2 and 3 for VFO A and B; the radio's 0 and 1 mean the same.
    {.command = "FT2;", .radio = "FT0;", .effect = Effect::kTransmitOnA},
    {.command = "FT3;", .radio = "FT1;", .effect = Effect::kTransmitOnB},
    {.command = "VS0;", .radio = "FR0;", .effect = Effect::kOperateA},
    {.command = "VS1;", .radio = "FR1;", .effect = Effect::kOperateB},
    {.command = "FR0;", .radio = "FR0;", .effect = Effect::kOperateA},
    {.command = "FR4;", .radio = "FR1;", .effect = Effect::kOperateB},
    {.command = "PS0;", .radio = "PS0;"},
    {.command = "PS1;", .radio = "PS1;", .effect = Effect::kPowerOn},
    {.command = "RT0;", .radio = "RT0;"},
    {.command = "RT1;", .radio = "RT1;"},
    {.command = "XT0;", .radio = "XT0;"},
    {.command = "XT1;", .radio = "XT1;"},
    {.command = "RC;", .radio = "RC;"},
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
