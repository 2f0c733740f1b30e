// One table per model. The facts come from Kenwood's PC command references,
// Hamlib's Kenwood backends and programs written against the radios; where
// those leave a form open the choice is the one noted at the row.
#include <array>

#include "sim/radio_model.h"

namespace vantorel::sim {
namespace {

using M = Mode;
using C = ModeClass;
using E = PassbandEdge;
using S = Setting;

// Mode codes. MD on the older models: the base modes, the data mode apart.
constexpr auto kMdCodes = std::to_array<ModeCode>({
    {'1', M::kLsb},
    {'2', M::kUsb},
    {'3', M::kCw},
    {'4', M::kFm},
    {'5', M::kAm},
    {'6', M::kFsk},
    {'7', M::kCwReverse},
    {'9', M::kFskReverse},
});

// TS-890S OM (and its legacy MD): hex, the data modes as codes of their own.
constexpr auto kTs890Codes = std::to_array<ModeCode>({
    {'1', M::kLsb},
    {'2', M::kUsb},
    {'3', M::kCw},
    {'4', M::kFm},
    {'5', M::kAm},
    {'6', M::kFsk},
    {'7', M::kCwReverse},
    {'9', M::kFskReverse},
    {'A', M::kPsk},
    {'B', M::kPskReverse},
    {'C', M::kLsb, 1},
    {'D', M::kUsb, 1},
    {'E', M::kFm, 1},
    {'F', M::kAm, 1},
});

// TS-990S OM: three data modes each for LSB, USB, FM and AM.
constexpr auto kTs990Codes = std::to_array<ModeCode>({
    {'1', M::kLsb},   {'2', M::kUsb},        {'3', M::kCw},        {'4', M::kFm},
    {'5', M::kAm},    {'6', M::kFsk},        {'7', M::kCwReverse}, {'9', M::kFskReverse},
    {'A', M::kPsk},   {'B', M::kPskReverse}, {'C', M::kLsb, 1},    {'D', M::kUsb, 1},
    {'E', M::kFm, 1}, {'F', M::kAm, 1},      {'G', M::kLsb, 2},    {'H', M::kUsb, 2},
    {'I', M::kFm, 2}, {'J', M::kAm, 2},      {'K', M::kLsb, 3},    {'L', M::kUsb, 3},
    {'M', M::kFm, 3}, {'N', M::kAm, 3},
});

constexpr auto kMdAndDa = std::to_array<ModeForm>({
    {"MD", "", VfoChoice::kWorking, ModeFormKind::kBaseCode, kMdCodes},
    {"DA", "", VfoChoice::kWorking, ModeFormKind::kDataNumber, {}},
});
constexpr auto kMdOnly = std::to_array<ModeForm>({
    {"MD", "", VfoChoice::kWorking, ModeFormKind::kBaseCode, kMdCodes},
});
// OM0 is the VFO on the left of the display (the one receiving), OM1 the
// other; MD is the legacy form the radio still takes; SF names the VFO.
constexpr auto kTs890Modes = std::to_array<ModeForm>({
    {"OM", "0", VfoChoice::kWorking, ModeFormKind::kFullCode, kTs890Codes},
    {"OM", "1", VfoChoice::kOther, ModeFormKind::kFullCode, kTs890Codes},
    {"MD", "", VfoChoice::kWorking, ModeFormKind::kFullCode, kTs890Codes},
    {"SF", "0", VfoChoice::kA, ModeFormKind::kFrequencyAndCode, kTs890Codes},
    {"SF", "1", VfoChoice::kB, ModeFormKind::kFrequencyAndCode, kTs890Codes},
});
// OM0 is the main band (VFO A here), OM1 the sub band (VFO B).
constexpr auto kTs990Modes = std::to_array<ModeForm>({
    {"OM", "0", VfoChoice::kA, ModeFormKind::kFullCode, kTs990Codes},
    {"OM", "1", VfoChoice::kB, ModeFormKind::kFullCode, kTs990Codes},
});

constexpr auto kMicOrData = std::to_array<KeyingForm>({
    {"", Keying::kMicrophone},
    {"0", Keying::kMicrophone},
    {"1", Keying::kDataAudio},
});
// The TS-2000 keys on "TX;"; "TX0;" and "TX1;" are taken and do nothing.
constexpr auto kTs2000Keyings = std::to_array<KeyingForm>({
    {"", Keying::kMicrophone},
    {"0", Keying::kReceive, false},
    {"1", Keying::kReceive, false},
});

constexpr auto kHf60 = std::to_array<HertzRange>({{30'000, 60'000'000}});

// Filter tables, hertz by index (or the widths a FW in hertz takes).
constexpr auto kHigh1000To5000 = std::to_array<int>(
    {1000, 1200, 1400, 1600, 1800, 2000, 2200, 2400, 2600, 2800, 3000, 3400, 4000, 5000});
constexpr auto kHigh1400To5000 =
    std::to_array<int>({1400, 1600, 1800, 2000, 2200, 2400, 2600, 2800, 3000, 3400, 4000, 5000});
constexpr auto kLow0To1000 =
    std::to_array<int>({0, 50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
constexpr auto kAmHigh = std::to_array<int>({2500, 3000, 4000, 5000});
constexpr auto kAmLow0To300 = std::to_array<int>({0, 100, 200, 300});
constexpr auto kAmLow0To500 = std::to_array<int>({0, 100, 200, 500});
constexpr auto kCw50To2500 =
    std::to_array<int>({50, 80, 100, 150, 200, 250, 300, 400, 500, 600, 1000, 1500, 2000, 2500});
constexpr auto kCw50To2000 =
    std::to_array<int>({50, 80, 100, 150, 200, 300, 400, 500, 600, 1000, 2000});
constexpr auto kFsk250To1500 = std::to_array<int>({250, 500, 1000, 1500});
constexpr auto kSsbFilters = std::to_array<int>({2400, 500, 270});  // normal, two options

// ---------------------------------------------------------------------------
// "kenwood": the TS-590S the program always simulated, lenient on purpose.

constexpr auto kLenientCommands =
    std::to_array<std::string_view>({"FA", "FB", "FR", "FT", "IF", "TX", "RX", "RM", "RC", "RU",
                                     "RD", "PS", "ID", "FV", "VV", "MX", "QS"});

constexpr auto kLenientSettings = std::to_array<SettingForm>({
    {S::kAfGain, "AG", "0", 3, 0, 255, 100},
    {S::kAfGain, "AG", "", 3, 0, 255, 100},  // the TS-890 form
    {S::kSquelch, "SQ", "0", 3, 0, 255, 0},
    {S::kSquelch, "SQ", "", 3, 0, 255, 0},
    {S::kRfGain, "RG", "", 3, 0, 255, 255},
    {S::kPower, "PC", "", 3, 5, 100, 100, OutOfRange::kClamp},
    {S::kMicGain, "MG", "", 3, 0, 100, 50, OutOfRange::kClamp},
    {S::kKeySpeed, "KS", "", 3, 4, 60, 20},
    {S::kAgc, "GT", "", 2, 0, 20, 10},  // time constant, 00 off
    {S::kNoiseBlanker, "NB", "", 1, 0, 2, 0},
    {S::kNoiseReduction, "NR", "", 1, 0, 2, 0},
    {S::kAttenuator, "RA", "", 2, 0, 1, 0, OutOfRange::kRefuse, "00"},  // "RA01;" answers "RA0100;"
    {S::kPreamp, "PA", "", 1, 0, 1, 0, OutOfRange::kRefuse, "0"},       // "PA1;" answers "PA10;"
    {S::kRit, "RT", "", 1, 0, 1, 0},
    {S::kXit, "XT", "", 1, 0, 1, 0},
    {S::kAutoInformation, "AI", "", 1, 0, 4, 0},
    // The TS-890 class's forms of what this radio keeps in menus or other letters.
    {S::kAgcSpeed, "GC", "", 1, 0, 4, 2},  // off, slow, mid, fast, back to the last speed
    {S::kNotchFrequency, "BP", "", 3, 0, 255, 128},
    {S::kMonitorLevel, "ML", "", 3, 0, 20, 10},
    {S::kNoiseBlankerLevel, "NL", "", 3, 0, 20, 5},
    {S::kBreakInDelay, "SD", "", 4, 0, 1000, 300},  // milliseconds
    {S::kVoxGain, "VG", "", 3, 0, 20, 5},
    {S::kNoiseReductionLevel, "RL", "", 2, 0, 10, 5},  // 00 automatic
});

constexpr auto kLenientMeters = std::to_array<MeterForm>({{"0", 30}, {"", 30}});

constexpr auto kLenientFilters = std::to_array<RawFilter>({
    {"FL", "0"},     // IF filter
    {"SH", "08"},    // high cut
    {"SL", "04"},    // low cut
    {"FW", "0500"},  // CW/FSK width
});

constexpr auto kLenientSwitches = std::to_array<SwitchSetting>({
    {"LK", {"01", "01"}, 1, "00"},         // lock: frequency, then the other controls
    {"NT", {"012", "01"}, 1, "00"},        // notch: off, auto, manual; a second switch
    {"AN", {"12", "01", "01"}, 3, "100"},  // antenna 1 or 2, receive antenna, drive out
    {"AC", {"01", "01", "01"}, 3, "000"},  // tuner: in for receive, in for transmit, tuning
});

constexpr auto kMdAndDaReports = std::to_array<std::string_view>({"FA;", "FB;", "MD;", "DA;"});

constexpr RadioModel kLenient{
    .name = "kenwood",
    .title = "Kenwood TS-590S that also takes the TS-890S's forms",
    .identity = "ID021;",
    .firmware = "FV1.04;",
    .bands = kHf60,
    .commands = kLenientCommands,
    .keyings = kMicOrData,
    .modes = kMdAndDa,
    .statusModes = kMdCodes,
    .ritPlus = '+',
    .settings = kLenientSettings,
    .sMeters = kLenientMeters,
    .meterTop = 30,
    .widths = {},
    .rawFilters = kLenientFilters,
    .switches = kLenientSwitches,
    .reported = kMdAndDaReports,
};

// ---------------------------------------------------------------------------
// TS-890S: no selector on AG/RG/SQ/SM, AGC as GC, mode as OM in hex, S-meter
// 0..70, RIT offset read as RF, split also as TB. The IF answer (kept for older
// programs) shows a blank for a positive RIT offset.

constexpr auto kTs890Bands = std::to_array<HertzRange>({{30'000, 74'800'000}});

constexpr auto kTs890Commands =
    std::to_array<std::string_view>({"FA", "FB", "FR", "FT", "TB", "IF", "TX", "RX", "RC", "RU",
                                     "RD", "RF", "PS", "ID", "FV", "VV"});

constexpr auto kTs890Settings = std::to_array<SettingForm>({
    {S::kAfGain, "AG", "", 3, 0, 255, 100},
    {S::kSquelch, "SQ", "", 3, 0, 255, 0},
    {S::kRfGain, "RG", "", 3, 0, 255, 255},
    {S::kPower, "PC", "", 3, 5, 100, 100, OutOfRange::kClamp},
    {S::kMicGain, "MG", "", 3, 0, 100, 50, OutOfRange::kClamp},
    {S::kKeySpeed, "KS", "", 3, 4, 60, 20},
    {S::kAgc, "GC", "", 1, 0, 3, 2},  // off, slow, mid, fast
    {S::kRit, "RT", "", 1, 0, 1, 0},
    {S::kXit, "XT", "", 1, 0, 1, 0},
    {S::kAutoInformation, "AI", "", 1, 0, 4, 0},
});

constexpr auto kTs890Meters = std::to_array<MeterForm>({{"", 70}});

// SH0 carries three digits, SL0 two. In CW, FSK and PSK SL0 is the width (SH0
// is the shift there, not simulated: refused); the SSB tables assume the menu's
// high/low cut setting for SSB and SSB data.
constexpr auto kTs890SsbHigh = std::to_array<int>(
    {600,  700,  800,  900,  1000, 1100, 1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900,
     2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800, 2900, 3000, 3400, 4000, 5000});
constexpr auto kTs890SsbLow =
    std::to_array<int>({0,    50,   100,  200,  300,  400,  500,  600,  700,  800,  900,
                        1000, 1100, 1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900, 2000});
constexpr auto kTs890FmHigh =
    std::to_array<int>({1000, 1100, 1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900, 2000, 2100,
                        2200, 2300, 2400, 2500, 2600, 2700, 2800, 2900, 3000, 3400, 4000, 5000});
constexpr auto kTs890AmHigh = std::to_array<int>(
    {2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800, 2900, 3000, 3500, 4000, 5000});
constexpr auto kTs890CwWidths =
    std::to_array<int>({50, 80, 100, 150, 200, 250, 300, 350, 400, 450, 500, 600, 700, 800, 900,
                        1000, 1500, 2000, 2500});
constexpr auto kTs890FskWidths = std::to_array<int>({250, 300, 350, 400, 450, 500, 1000, 1500});
constexpr auto kTs890PskWidths = std::to_array<int>(
    {50,  80,   100,  150,  200,  250,  300,  350,  450,  500,  600,  700,  800,
     900, 1000, 1200, 1400, 1500, 1600, 1800, 2000, 2200, 2400, 2600, 2800, 3000});

constexpr auto kTs890Widths = std::to_array<WidthForm>({
    {"SH", "0", 3, C::kSsb, E::kHighCut, kTs890SsbHigh},
    {"SL", "0", 2, C::kSsb, E::kLowCut, kTs890SsbLow},
    {"SH", "0", 3, C::kFm, E::kHighCut, kTs890FmHigh},
    {"SL", "0", 2, C::kFm, E::kLowCut, kLow0To1000},
    {"SH", "0", 3, C::kAm, E::kHighCut, kTs890AmHigh},
    {"SL", "0", 2, C::kAm, E::kLowCut, kAmLow0To300},
    {"SL", "0", 2, C::kCw, E::kWidth, kTs890CwWidths},
    {"SL", "0", 2, C::kFsk, E::kWidth, kTs890FskWidths},
    {"SL", "0", 2, C::kPsk, E::kWidth, kTs890PskWidths},
});

constexpr auto kTs890Reports = std::to_array<std::string_view>({"FA;", "FB;", "OM0;"});

constexpr RadioModel kTs890{
    .name = "ts890",
    .title = "Kenwood TS-890S",
    .identity = "ID024;",
    .firmware = "FV1.05;",
    .bands = kTs890Bands,
    .commands = kTs890Commands,
    .keyings = kMicOrData,
    .modes = kTs890Modes,
    .statusModes = kTs890Codes,
    .ritPlus = ' ',
    .settings = kTs890Settings,
    .sMeters = kTs890Meters,
    .meterTop = 70,
    .widths = kTs890Widths,
    .rawFilters = {},
    .switches = {},
    .reported = kTs890Reports,
};

// ---------------------------------------------------------------------------
// TS-990S: a main and a sub band (VFO A and B here), chosen with CB, split as
// TB (transmit on the sub band); AG/RG/SQ/SM/GC with a main/sub selector; mode
// as OM with three data modes; 200 W. No FR/FT, MD or DA.

constexpr auto kTs990Bands = std::to_array<HertzRange>({{30'000, 70'000'000}});

constexpr auto kTs990Commands = std::to_array<std::string_view>(
    {"FA", "FB", "CB", "TB", "IF", "TX", "RX", "RC", "RU", "RD", "RF", "PS", "ID", "FV"});

constexpr auto kTs990Settings = std::to_array<SettingForm>({
    {S::kAfGain, "AG", "0", 3, 0, 255, 100},
    {S::kAfGainSub, "AG", "1", 3, 0, 255, 100},
    {S::kSquelch, "SQ", "0", 3, 0, 255, 0},
    {S::kSquelchSub, "SQ", "1", 3, 0, 255, 0},
    {S::kRfGain, "RG", "0", 3, 0, 255, 255},
    {S::kRfGainSub, "RG", "1", 3, 0, 255, 255},
    {S::kPower, "PC", "", 3, 5, 200, 100, OutOfRange::kClamp},
    {S::kMicGain, "MG", "", 3, 0, 100, 50, OutOfRange::kClamp},
    {S::kKeySpeed, "KS", "", 3, 4, 60, 20},
    {S::kAgc, "GC", "0", 1, 0, 3, 2},
    {S::kAgcSub, "GC", "1", 1, 0, 3, 2},
    {S::kRit, "RT", "", 1, 0, 1, 0},
    {S::kXit, "XT", "", 1, 0, 1, 0},
    {S::kAutoInformation, "AI", "", 1, 0, 4, 0},
});

constexpr auto kTs990Meters = std::to_array<MeterForm>({{"0", 70}, {"1", 70}});

constexpr auto kTs990FskWidths = std::to_array<int>({250, 300, 400, 500, 1000, 1500});
constexpr auto kTs990PskWidths =
    std::to_array<int>({50, 80, 100, 150, 200, 250, 300, 400, 500, 600, 1000, 1500});

// SH0/SL0 on the main band, two digits; in CW, FSK and PSK SL0 is the width.
constexpr auto kTs990Widths = std::to_array<WidthForm>({
    {"SH", "0", 2, C::kSsb, E::kHighCut, kHigh1000To5000},
    {"SL", "0", 2, C::kSsb, E::kLowCut, kLow0To1000},
    {"SH", "0", 2, C::kFm, E::kHighCut, kHigh1000To5000},
    {"SL", "0", 2, C::kFm, E::kLowCut, kLow0To1000},
    {"SH", "0", 2, C::kAm, E::kHighCut, kAmHigh},
    {"SL", "0", 2, C::kAm, E::kLowCut, kAmLow0To300},
    {"SL", "0", 2, C::kCw, E::kWidth, kCw50To2500},
    {"SL", "0", 2, C::kFsk, E::kWidth, kTs990FskWidths},
    {"SL", "0", 2, C::kPsk, E::kWidth, kTs990PskWidths},
});

constexpr auto kTs990Reports = std::to_array<std::string_view>({"FA;", "FB;", "OM0;", "OM1;"});

constexpr RadioModel kTs990{
    .name = "ts990",
    .title = "Kenwood TS-990S",
    .identity = "ID022;",
    .firmware = "FV1.20;",
    .bands = kTs990Bands,
    .commands = kTs990Commands,
    .keyings = kMicOrData,
    .modes = kTs990Modes,
    .statusModes = kTs990Codes,
    .ritPlus = '+',
    .settings = kTs990Settings,
    .sMeters = kTs990Meters,
    .meterTop = 70,
    .widths = kTs990Widths,
    .rawFilters = {},
    .switches = {},
    .reported = kTs990Reports,
};

// ---------------------------------------------------------------------------
// TS-590S and TS-590SG: AG0/SQ0/SM0 with the selector, RG without; AGC as a GT
// time constant; mode MD plus DA; SH/SL indexes in SSB, FM and AM (the high/
// low cut tables, SSB data included), FW in hertz in CW and FSK.

constexpr auto kTs590AndTs480Commands = std::to_array<std::string_view>(
    {"FA", "FB", "FR", "FT", "IF", "TX", "RX", "RM", "RC", "RU", "RD", "PS", "ID", "FV"});

constexpr auto kTs590Settings = std::to_array<SettingForm>({
    {S::kAfGain, "AG", "0", 3, 0, 255, 100},
    {S::kSquelch, "SQ", "0", 3, 0, 255, 0},
    {S::kRfGain, "RG", "", 3, 0, 255, 255},
    {S::kPower, "PC", "", 3, 5, 100, 100, OutOfRange::kClamp},
    {S::kMicGain, "MG", "", 3, 0, 100, 50, OutOfRange::kClamp},
    {S::kKeySpeed, "KS", "", 3, 4, 60, 20},
    {S::kAgc, "GT", "", 2, 0, 20, 10},
    {S::kRit, "RT", "", 1, 0, 1, 0},
    {S::kXit, "XT", "", 1, 0, 1, 0},
    {S::kAutoInformation, "AI", "", 1, 0, 4, 0},
});

constexpr auto kSelectorZeroMeter = std::to_array<MeterForm>({{"0", 30}});

constexpr auto kTs590Widths = std::to_array<WidthForm>({
    {"SH", "", 2, C::kSsb, E::kHighCut, kHigh1000To5000},
    {"SL", "", 2, C::kSsb, E::kLowCut, kLow0To1000},
    {"SH", "", 2, C::kFm, E::kHighCut, kHigh1000To5000},
    {"SL", "", 2, C::kFm, E::kLowCut, kLow0To1000},
    {"SH", "", 2, C::kAm, E::kHighCut, kAmHigh},
    {"SL", "", 2, C::kAm, E::kLowCut, kAmLow0To300},
    {"FW", "", 4, C::kCw, E::kWidth, kCw50To2500, false},
    {"FW", "", 4, C::kFsk, E::kWidth, kFsk250To1500, false},
});

constexpr RadioModel kTs590{
    .name = "ts590",
    .title = "Kenwood TS-590S",
    .identity = "ID021;",
    .firmware = "FV1.04;",
    .bands = kHf60,
    .commands = kTs590AndTs480Commands,
    .keyings = kMicOrData,
    .modes = kMdAndDa,
    .statusModes = kMdCodes,
    .ritPlus = '+',
    .settings = kTs590Settings,
    .sMeters = kSelectorZeroMeter,
    .meterTop = 30,
    .widths = kTs590Widths,
    .rawFilters = {},
    .switches = {},
    .reported = kMdAndDaReports,
};

// The TS-590SG takes the TS-590S's forms under its own identity.
constexpr RadioModel Renamed(RadioModel model, std::string_view name, std::string_view title,
                             std::string_view identity, std::string_view firmware) {
  model.name = name;
  model.title = title;
  model.identity = identity;
  model.firmware = firmware;
  return model;
}

constexpr RadioModel kTs590sg = Renamed(kTs590, "ts590sg", "Kenwood TS-590SG", "ID023;", "FV2.05;");

// ---------------------------------------------------------------------------
// TS-2000: main/sub selector on AG/SQ/SM (sub S-meter 0..15), GT with three
// digits; MD without a data mode; "TX;" keys, "TX0;"/"TX1;" do nothing; VHF,
// UHF and 1.2 GHz bands; FW in hertz (CW, FSK) or as a filter index (SSB, FM,
// AM), SH/SL indexes.

constexpr auto kTs2000Bands = std::to_array<HertzRange>({{30'000, 60'000'000},
                                                         {142'000'000, 152'000'000},
                                                         {420'000'000, 450'000'000},
                                                         {1'240'000'000, 1'300'000'000}});

constexpr auto kTs2000Commands = std::to_array<std::string_view>(
    {"FA", "FB", "FR", "FT", "SA", "IF", "TX", "RX", "RC", "RU", "RD", "PS", "ID", "FV"});

constexpr auto kTs2000Settings = std::to_array<SettingForm>({
    {S::kAfGain, "AG", "0", 3, 0, 255, 100},
    {S::kAfGainSub, "AG", "1", 3, 0, 255, 100},
    {S::kSquelch, "SQ", "0", 3, 0, 255, 0},
    {S::kSquelchSub, "SQ", "1", 3, 0, 255, 0},
    {S::kRfGain, "RG", "", 3, 0, 255, 255},
    {S::kPower, "PC", "", 3, 5, 100, 100, OutOfRange::kClamp},
    {S::kMicGain, "MG", "", 3, 0, 100, 50, OutOfRange::kClamp},
    {S::kKeySpeed, "KS", "", 3, 10, 60, 20},
    {S::kAgc, "GT", "", 3, 0, 20, 10},
    {S::kRit, "RT", "", 1, 0, 1, 0},
    {S::kXit, "XT", "", 1, 0, 1, 0},
    {S::kAutoInformation, "AI", "", 1, 0, 4, 0},
});

constexpr auto kTs2000Meters = std::to_array<MeterForm>({{"0", 30}, {"1", 15}});

constexpr auto kFmFiltersTs2000 = std::to_array<int>({6000, 12000});
constexpr auto kAmFiltersTs2000 = std::to_array<int>({2400, 6000});

constexpr auto kTs2000Widths = std::to_array<WidthForm>({
    {"SH", "", 2, C::kSsb, E::kHighCut, kHigh1400To5000},
    {"SL", "", 2, C::kSsb, E::kLowCut, kLow0To1000},
    {"FW", "", 4, C::kSsb, E::kWidth, kSsbFilters},
    {"SH", "", 2, C::kFm, E::kHighCut, kHigh1400To5000},
    {"SL", "", 2, C::kFm, E::kLowCut, kLow0To1000},
    {"FW", "", 4, C::kFm, E::kWidth, kFmFiltersTs2000},
    {"SH", "", 2, C::kAm, E::kHighCut, kAmHigh},
    {"SL", "", 2, C::kAm, E::kLowCut, kAmLow0To500},
    {"FW", "", 4, C::kAm, E::kWidth, kAmFiltersTs2000},
    {"FW", "", 4, C::kCw, E::kWidth, kCw50To2000, false},
    {"FW", "", 4, C::kFsk, E::kWidth, kFsk250To1500, false},
});

constexpr auto kMdReports = std::to_array<std::string_view>({"FA;", "FB;", "MD;"});

constexpr RadioModel kTs2000{
    .name = "ts2000",
    .title = "Kenwood TS-2000",
    .identity = "ID019;",
    .firmware = "FV1.08;",
    .bands = kTs2000Bands,
    .commands = kTs2000Commands,
    .keyings = kTs2000Keyings,
    .modes = kMdOnly,
    .statusModes = kMdCodes,
    .ritPlus = '+',
    .settings = kTs2000Settings,
    .sMeters = kTs2000Meters,
    .meterTop = 30,
    .widths = kTs2000Widths,
    .rawFilters = {},
    .switches = {},
    .reported = kMdReports,
};

// ---------------------------------------------------------------------------
// TS-480: AG0/SQ0/SM0, RF gain 0..100, GT with three digits 000 off, 001 fast,
// 002 slow; MD without a data mode; FW with every mode (hertz in CW and FSK,
// a filter index otherwise), SH/SL indexes.

constexpr auto kTs480Bands = std::to_array<HertzRange>({{100'000, 60'000'000}});

constexpr auto kTs480Settings = std::to_array<SettingForm>({
    {S::kAfGain, "AG", "0", 3, 0, 255, 100},
    {S::kSquelch, "SQ", "0", 3, 0, 255, 0},
    {S::kRfGain, "RG", "", 3, 0, 100, 100},
    {S::kPower, "PC", "", 3, 5, 100, 100, OutOfRange::kClamp},
    {S::kMicGain, "MG", "", 3, 0, 100, 50, OutOfRange::kClamp},
    {S::kKeySpeed, "KS", "", 3, 10, 60, 20},
    {S::kAgc, "GT", "", 3, 0, 2, 1},
    {S::kRit, "RT", "", 1, 0, 1, 0},
    {S::kXit, "XT", "", 1, 0, 1, 0},
    {S::kAutoInformation, "AI", "", 1, 0, 4, 0},
});

constexpr auto kFmFiltersTs480 = std::to_array<int>({12000});
constexpr auto kAmFiltersTs480 = std::to_array<int>({6000, 2400});

constexpr auto kTs480Widths = std::to_array<WidthForm>({
    {"SH", "", 2, C::kSsb, E::kHighCut, kHigh1000To5000},
    {"SL", "", 2, C::kSsb, E::kLowCut, kLow0To1000},
    {"FW", "", 4, C::kSsb, E::kWidth, kSsbFilters},
    {"SH", "", 2, C::kFm, E::kHighCut, kHigh1000To5000},
    {"SL", "", 2, C::kFm, E::kLowCut, kLow0To1000},
    {"FW", "", 4, C::kFm, E::kWidth, kFmFiltersTs480},
    {"SH", "", 2, C::kAm, E::kHighCut, kAmHigh},
    {"SL", "", 2, C::kAm, E::kLowCut, kAmLow0To500},
    {"FW", "", 4, C::kAm, E::kWidth, kAmFiltersTs480},
    {"FW", "", 4, C::kCw, E::kWidth, kCw50To2000, false},
    {"FW", "", 4, C::kFsk, E::kWidth, kFsk250To1500, false},
});

constexpr RadioModel kTs480{
    .name = "ts480",
    .title = "Kenwood TS-480",
    .identity = "ID020;",
    .firmware = "FV1.03;",
    .bands = kTs480Bands,
    .commands = kTs590AndTs480Commands,
    .keyings = kMicOrData,
    .modes = kMdOnly,
    .statusModes = kMdCodes,
    .ritPlus = '+',
    .settings = kTs480Settings,
    .sMeters = kSelectorZeroMeter,
    .meterTop = 30,
    .widths = kTs480Widths,
    .rawFilters = {},
    .switches = {},
    .reported = kMdReports,
};

constexpr auto kModels = std::to_array<const RadioModel*>(
    {&kLenient, &kTs890, &kTs990, &kTs590, &kTs590sg, &kTs2000, &kTs480});

}  // namespace

const RadioModel& LenientModel() { return kLenient; }

const RadioModel* FindModel(std::string_view name) {
  for (const RadioModel* model : kModels) {
    if (model->name == name) {
      return model;
    }
  }
  return nullptr;
}

std::vector<std::string_view> ModelNames() {
  std::vector<std::string_view> names;
  for (const RadioModel* model : kModels) {
    names.push_back(model->name);
  }
  return names;
}

}  // namespace vantorel::sim
