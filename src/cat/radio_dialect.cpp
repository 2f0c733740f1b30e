// One table per Kenwood command grammar. The facts come from Kenwood's PC
// command references and the programs written against the radios; where a
// model has no read for a kind, its row is empty and the emulation answers
// from what it knows.
#include "cat/radio_dialect.h"

#include <algorithm>

#include "cat/message_text.h"
#include "cat/text_helpers.h"

namespace vantorel::cat {
namespace {

using K = RadioKey;
using M = OperatingMode;
using S = AgcSpeed;

constexpr bool IsPlaceholder(char c) { return c == '#' || c == '*'; }

// The rows every model has in the same form, before and after its own.
constexpr RadioAnswerForm kFrequencyA{K::kFrequencyA, "FA;", "FA###########;"};
constexpr RadioAnswerForm kFrequencyB{K::kFrequencyB, "FB;", "FB###########;"};
// Frequency, ten characters with the clarifier offset (a sign and four digits,
// the sign in one column or another), clarifier switches, memory channel,
// transmit, mode, VFO, scan, split, tone, tone number, one more.
constexpr RadioAnswerForm kStatus{K::kStatus, "IF;", "IF###########**********######*#######;"};
constexpr RadioAnswerForm kFrThenFt[] = {
    {K::kReceiveVfo, "FR;", "FR#;"}, {K::kTransmitVfo, "FT;", "FT#;"}, {K::kSplit, "", ""}};
constexpr RadioAnswerForm kPower{K::kPower, "PS;", "PS#;"};
constexpr RadioAnswerForm kMicGain{K::kMicGain, "MG;", "MG###;", 0, 100, 100};
constexpr RadioAnswerForm kRit{K::kRit, "RT;", "RT#;"};
constexpr RadioAnswerForm kXit{K::kXit, "XT;", "XT#;"};
constexpr RadioAnswerForm kNoMeter[] = {
    {K::kSwrMeter, "", ""}, {K::kCompMeter, "", ""}, {K::kAlcMeter, "", ""}};
// One meter read brings all three transmit meters.
constexpr RadioAnswerForm kThreeMeters[] = {{K::kSwrMeter, "RM;", "RM1####;"},
                                            {K::kCompMeter, "RM;", "RM2####;"},
                                            {K::kAlcMeter, "RM;", "RM3####;"}};

// Mode codes. MD on the older models: the base modes; the data switch apart.
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

// OM on the TS-890S: hex, the data modes as codes of their own.
constexpr auto kOmCodes = std::to_array<ModeCode>({
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
    {'C', M::kLsb, true},
    {'D', M::kUsb, true},
    {'E', M::kFm, true},
    {'F', M::kAm, true},
});

// OM on the TS-990S: three data modes each of LSB, USB, FM and AM; a set
// takes the first.
constexpr auto kOmCodesThreeData = std::to_array<ModeCode>({
    {'1', M::kLsb},      {'2', M::kUsb},        {'3', M::kCw},        {'4', M::kFm},
    {'5', M::kAm},       {'6', M::kFsk},        {'7', M::kCwReverse}, {'9', M::kFskReverse},
    {'A', M::kPsk},      {'B', M::kPskReverse}, {'C', M::kLsb, true}, {'D', M::kUsb, true},
    {'E', M::kFm, true}, {'F', M::kAm, true},   {'G', M::kLsb, true}, {'H', M::kUsb, true},
    {'I', M::kFm, true}, {'J', M::kAm, true},   {'K', M::kLsb, true}, {'L', M::kUsb, true},
    {'M', M::kFm, true}, {'N', M::kAm, true},
});

// AGC: GC speeds on the TS-890S and TS-990S, a GT time constant (00 off) on
// the TS-590S and TS-2000, GT 0 off, 1 fast, 2 slow on the TS-480.
constexpr auto kAgcSpeeds = std::to_array<AgcValue>({
    {S::kOff, 0, 0},
    {S::kSlow, 1, 1},
    {S::kMid, 2, 2},
    {S::kFast, 3, 9},
});
constexpr auto kAgcTimeConstant = std::to_array<AgcValue>({
    {S::kOff, 0, 0},
    {S::kFast, 5, 5},
    {S::kMid, 10, 10},
    {S::kSlow, 20, 999},
});
constexpr auto kAgcFastOrSlow = std::to_array<AgcValue>({
    {S::kOff, 0, 0},
    {S::kFast, 1, 1},
    {S::kSlow, 2, 999},
    {S::kMid, 2, 999},  // no middle speed: the slow one
});

// Filter tables, hertz by index (or the widths a setting in hertz takes).
constexpr auto kLow0To1000 =
    std::to_array<int>({0, 50, 100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
constexpr auto kHigh1000To5000 = std::to_array<int>(
    {1000, 1200, 1400, 1600, 1800, 2000, 2200, 2400, 2600, 2800, 3000, 3400, 4000, 5000});
constexpr auto kHigh1400To5000 =
    std::to_array<int>({1400, 1600, 1800, 2000, 2200, 2400, 2600, 2800, 3000, 3400, 4000, 5000});
constexpr auto kCw50To2500 =
    std::to_array<int>({50, 80, 100, 150, 200, 250, 300, 400, 500, 600, 1000, 1500, 2000, 2500});
constexpr auto kCw50To2000 =
    std::to_array<int>({50, 80, 100, 150, 200, 300, 400, 500, 600, 1000, 2000});
constexpr auto kFsk250To1500 = std::to_array<int>({250, 500, 1000, 1500});
constexpr auto kTs890SsbLow =
    std::to_array<int>({0,    50,   100,  200,  300,  400,  500,  600,  700,  800,  900,
                        1000, 1100, 1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900, 2000});
constexpr auto kTs890SsbHigh = std::to_array<int>(
    {600,  700,  800,  900,  1000, 1100, 1200, 1300, 1400, 1500, 1600, 1700, 1800, 1900,
     2000, 2100, 2200, 2300, 2400, 2500, 2600, 2700, 2800, 2900, 3000, 3400, 4000, 5000});
constexpr auto kTs890CwWidths =
    std::to_array<int>({50, 80, 100, 150, 200, 250, 300, 350, 400, 450, 500, 600, 700, 800, 900,
                        1000, 1500, 2000, 2500});
constexpr auto kTs890FskWidths = std::to_array<int>({250, 300, 350, 400, 450, 500, 1000, 1500});
constexpr auto kTs990FskWidths = std::to_array<int>({250, 300, 400, 500, 1000, 1500});

// SSB by low and high cut; CW and FSK by a width (SL on the TS-890S and
// TS-990S, FW in hertz on the others). AM and FM widths are not set from here.
constexpr auto kTs890Filters = std::to_array<FilterForms>({
    {{K::kLowCut, kTs890SsbLow}, {K::kHighCut, kTs890SsbHigh}},
    {{}, {K::kLowCut, kTs890CwWidths}},
    {{}, {K::kLowCut, kTs890FskWidths}},
    {},
    {},
});
constexpr auto kTs990Filters = std::to_array<FilterForms>({
    {{K::kLowCut, kLow0To1000}, {K::kHighCut, kHigh1000To5000}},
    {{}, {K::kLowCut, kCw50To2500}},
    {{}, {K::kLowCut, kTs990FskWidths}},
    {},
    {},
});
constexpr auto kTs590Filters = std::to_array<FilterForms>({
    {{K::kLowCut, kLow0To1000}, {K::kHighCut, kHigh1000To5000}},
    {{}, {K::kWidth, kCw50To2500, false}},
    {{}, {K::kWidth, kFsk250To1500, false}},
    {},
    {},
});
constexpr auto kTs2000Filters = std::to_array<FilterForms>({
    {{K::kLowCut, kLow0To1000}, {K::kHighCut, kHigh1400To5000}},
    {{}, {K::kWidth, kCw50To2000, false}},
    {{}, {K::kWidth, kFsk250To1500, false}},
    {},
    {},
});
constexpr auto kTs480Filters = std::to_array<FilterForms>({
    {{K::kLowCut, kLow0To1000}, {K::kHighCut, kHigh1000To5000}},
    {{}, {K::kWidth, kCw50To2000, false}},
    {{}, {K::kWidth, kFsk250To1500, false}},
    {},
    {},
});

// S-meter scales: 0..30 on the older models; the IARU scale of 0..70 on the
// TS-890S and TS-990S.
constexpr auto kSMeter30 = std::to_array<int>({3, 6, 9, 12, 15, 20, 25, 30});
constexpr auto kSMeter70 = std::to_array<int>({3, 11, 19, 27, 35, 48, 59, 70});
static_assert(kSMeter30.size() == kSMeterPoints && kSMeter70.size() == kSMeterPoints);

// The reads that tell the grammars apart (cat/radio_learning.h), as each answers them.
constexpr auto kAnswersOmOnly = std::to_array<std::string_view>({"OM0;"});
constexpr auto kAnswersOmAndSub = std::to_array<std::string_view>({"OM0;", "SM1;"});
constexpr auto kAnswersDataSwitch = std::to_array<std::string_view>({"DA;"});
constexpr auto kAnswersSub = std::to_array<std::string_view>({"SM1;"});

constexpr auto kKenwoodRefusals = std::to_array<std::string_view>({"?;", "E;", "O;"});

// A grammar's answer rows in RadioKey order, from its own rows for the keys
// between the shared ones.
struct OwnRows {
  RadioAnswerForm mode;
  RadioAnswerForm data;
  std::span<const RadioAnswerForm, 3> vfos;
  RadioAnswerForm rfPower;
  RadioAnswerForm afGain;
  RadioAnswerForm rfGain;
  RadioAnswerForm squelch;
  RadioAnswerForm agc;
  RadioAnswerForm keySpeed;
  RadioAnswerForm sMeter;
  std::span<const RadioAnswerForm, 3> meters;
  RadioAnswerForm lowCut;
  RadioAnswerForm highCut;
  RadioAnswerForm width;
};

constexpr std::array<RadioAnswerForm, kRadioKeys> Rows(const OwnRows& own) {
  return {kFrequencyA, kFrequencyB, own.mode,      own.data,      kStatus,
          own.vfos[0], own.vfos[1], own.vfos[2],   kPower,        own.rfPower,
          own.afGain,  own.rfGain,  own.squelch,   own.agc,       own.keySpeed,
          kMicGain,    own.sMeter,  own.meters[0], own.meters[1], own.meters[2],
          kRit,        kXit,        own.lowCut,    own.highCut,   own.width};
}

constexpr bool KeysInOrder(std::span<const RadioAnswerForm> answers) {
  for (std::size_t i = 0; i < answers.size(); ++i) {
    if (static_cast<std::size_t>(answers[i].key) != i) {
      return false;
    }
  }
  return answers.size() == kRadioKeys;
}

constexpr RadioAnswerForm NoRow(RadioKey key) { return {key, "", ""}; }

// TS-890S: no selector on AG/RG/SQ/SM, AGC as GC speeds, mode as OM in hex,
// S-meter 0..70, filters by SH0/SL0 index, no transmit meter read.
constexpr auto kTs890Answers = Rows({
    .mode = {K::kMode, "OM0;", "OM0*;"},
    .data = NoRow(K::kData),
    .vfos = kFrThenFt,
    .rfPower = {K::kRfPower, "PC;", "PC###;", 5, 100, 100},
    .afGain = {K::kAfGain, "AG;", "AG###;", 0, 255, 255},
    .rfGain = {K::kRfGain, "RG;", "RG###;", 0, 255, 255},
    .squelch = {K::kSquelch, "SQ;", "SQ###;", 0, 255, 255},
    .agc = {K::kAgc, "GC;", "GC#;"},
    .keySpeed = {K::kKeySpeed, "KS;", "KS###;", 4, 60, 60},
    .sMeter = {K::kSMeter, "SM;", "SM####;"},
    .meters = kNoMeter,
    .lowCut = {K::kLowCut, "SL0;", "SL0##;"},
    .highCut = {K::kHighCut, "SH0;", "SH0###;"},
    .width = NoRow(K::kWidth),
});

// TS-990S: a main and a sub band (VFO A and B) chosen with CB, split as TB;
// main-band selector on AG/RG/SQ/SM/GC; mode as OM of the band; 200 W.
constexpr RadioAnswerForm kBandThenSplit[] = {
    {K::kReceiveVfo, "CB;", "CB#;"}, NoRow(K::kTransmitVfo), {K::kSplit, "TB;", "TB#;"}};
constexpr auto kTs990Answers = Rows({
    .mode = {K::kMode, "OM0;", "OM#*;"},
    .data = NoRow(K::kData),
    .vfos = kBandThenSplit,
    .rfPower = {K::kRfPower, "PC;", "PC###;", 5, 200, 200},
    .afGain = {K::kAfGain, "AG0;", "AG0###;", 0, 255, 255},
    .rfGain = {K::kRfGain, "RG0;", "RG0###;", 0, 255, 255},
    .squelch = {K::kSquelch, "SQ0;", "SQ0###;", 0, 255, 255},
    .agc = {K::kAgc, "GC0;", "GC0#;"},
    .keySpeed = {K::kKeySpeed, "KS;", "KS###;", 4, 60, 60},
    .sMeter = {K::kSMeter, "SM0;", "SM0####;"},
    .meters = kNoMeter,
    .lowCut = {K::kLowCut, "SL0;", "SL0##;"},
    .highCut = {K::kHighCut, "SH0;", "SH0##;"},
    .width = NoRow(K::kWidth),
});

// TS-590S and TS-590SG: AG0/SQ0/SM0 with the selector, RG without; AGC as a
// GT time constant; mode MD plus DA; SH/SL indexes, FW in hertz.
constexpr auto kTs590Answers = Rows({
    .mode = {K::kMode, "MD;", "MD*;"},
    .data = {K::kData, "DA;", "DA#;"},
    .vfos = kFrThenFt,
    .rfPower = {K::kRfPower, "PC;", "PC###;", 5, 100, 100},
    .afGain = {K::kAfGain, "AG0;", "AG0###;", 0, 255, 255},
    .rfGain = {K::kRfGain, "RG;", "RG###;", 0, 255, 255},
    .squelch = {K::kSquelch, "SQ0;", "SQ0###;", 0, 255, 255},
    .agc = {K::kAgc, "GT;", "GT##;"},
    .keySpeed = {K::kKeySpeed, "KS;", "KS###;", 4, 60, 60},
    .sMeter = {K::kSMeter, "SM0;", "SM0####;"},
    .meters = kThreeMeters,
    .lowCut = {K::kLowCut, "SL;", "SL##;"},
    .highCut = {K::kHighCut, "SH;", "SH##;"},
    .width = {K::kWidth, "FW;", "FW####;"},
});

// TS-2000: as the TS-590S without the data switch and the transmit meters, GT
// with three digits, key speed from 10.
constexpr auto kTs2000Answers = Rows({
    .mode = {K::kMode, "MD;", "MD*;"},
    .data = NoRow(K::kData),
    .vfos = kFrThenFt,
    .rfPower = {K::kRfPower, "PC;", "PC###;", 5, 100, 100},
    .afGain = {K::kAfGain, "AG0;", "AG0###;", 0, 255, 255},
    .rfGain = {K::kRfGain, "RG;", "RG###;", 0, 255, 255},
    .squelch = {K::kSquelch, "SQ0;", "SQ0###;", 0, 255, 255},
    .agc = {K::kAgc, "GT;", "GT###;"},
    .keySpeed = {K::kKeySpeed, "KS;", "KS###;", 10, 60, 60},
    .sMeter = {K::kSMeter, "SM0;", "SM0####;"},
    .meters = kNoMeter,
    .lowCut = {K::kLowCut, "SL;", "SL##;"},
    .highCut = {K::kHighCut, "SH;", "SH##;"},
    .width = {K::kWidth, "FW;", "FW####;"},
});

// TS-480: as the TS-2000 with RF gain 0..100, GT fast or slow, the three
// transmit meters.
constexpr auto kTs480Answers = Rows({
    .mode = {K::kMode, "MD;", "MD*;"},
    .data = NoRow(K::kData),
    .vfos = kFrThenFt,
    .rfPower = {K::kRfPower, "PC;", "PC###;", 5, 100, 100},
    .afGain = {K::kAfGain, "AG0;", "AG0###;", 0, 255, 255},
    .rfGain = {K::kRfGain, "RG;", "RG###;", 0, 100, 100},
    .squelch = {K::kSquelch, "SQ0;", "SQ0###;", 0, 255, 255},
    .agc = {K::kAgc, "GT;", "GT###;"},
    .keySpeed = {K::kKeySpeed, "KS;", "KS###;", 10, 60, 60},
    .sMeter = {K::kSMeter, "SM0;", "SM0####;"},
    .meters = kThreeMeters,
    .lowCut = {K::kLowCut, "SL;", "SL##;"},
    .highCut = {K::kHighCut, "SH;", "SH##;"},
    .width = {K::kWidth, "FW;", "FW####;"},
});

static_assert(KeysInOrder(kTs890Answers) && KeysInOrder(kTs990Answers) &&
              KeysInOrder(kTs590Answers) && KeysInOrder(kTs2000Answers) &&
              KeysInOrder(kTs480Answers));
static_assert(kStatus.form.size() == status::kLength + 3);  // letters, value, terminator

// What every model shares besides its tables.
constexpr RadioDialect Kenwood(std::string_view name, std::string_view identity,
                               std::span<const RadioAnswerForm> answers) {
  return {
      .name = name,
      .identity = identity,
      .terminator = ';',
      .autoInformationOn = "AI1;",
      .keyDown = "TX1;",
      .unkey = "RX;",
      .testCommands = "FA00014251300;IF;",
      .clarifierClear = "RC;",
      .clarifierUp = "RU#####;",
      .clarifierDown = "RD#####;",
      .answers = answers,
      .modes = kMdCodes,
      .modeNamesVfo = false,
      .selectKeepsSplit = false,
      .agc = kAgcTimeConstant,
      .filters = kTs590Filters,
      .sMeter = kSMeter30,
      .meterTop = 30,
      .answersReads = {},
      .refusals = kKenwoodRefusals,
  };
}

constexpr RadioDialect Ts890() {
  RadioDialect dialect = Kenwood("TS-890S", "ID024;", kTs890Answers);
  dialect.modes = kOmCodes;
  dialect.agc = kAgcSpeeds;
  dialect.filters = kTs890Filters;
  dialect.sMeter = kSMeter70;
  dialect.meterTop = 70;
  dialect.answersReads = kAnswersOmOnly;
  return dialect;
}

constexpr RadioDialect Ts990() {
  RadioDialect dialect = Kenwood("TS-990S", "ID022;", kTs990Answers);
  dialect.modes = kOmCodesThreeData;
  dialect.modeNamesVfo = true;
  dialect.selectKeepsSplit = true;
  dialect.agc = kAgcSpeeds;
  dialect.filters = kTs990Filters;
  dialect.sMeter = kSMeter70;
  dialect.meterTop = 70;
  dialect.answersReads = kAnswersOmAndSub;
  return dialect;
}

constexpr RadioDialect Ts590(std::string_view name, std::string_view identity) {
  RadioDialect dialect = Kenwood(name, identity, kTs590Answers);
  dialect.answersReads = kAnswersDataSwitch;
  return dialect;
}

constexpr RadioDialect Ts2000() {
  RadioDialect dialect = Kenwood("TS-2000", "ID019;", kTs2000Answers);
  dialect.keyDown = "TX;";  // TX0 and TX1 do nothing on a TS-2000
  dialect.filters = kTs2000Filters;
  dialect.answersReads = kAnswersSub;
  return dialect;
}

constexpr RadioDialect Ts480() {
  RadioDialect dialect = Kenwood("TS-480", "ID020;", kTs480Answers);
  dialect.agc = kAgcFastOrSlow;
  dialect.filters = kTs480Filters;
  return dialect;
}

constexpr RadioDialect kTs890 = Ts890();
constexpr RadioDialect kTs990 = Ts990();
constexpr RadioDialect kTs590 = Ts590("TS-590S", "ID021;");
constexpr RadioDialect kTs590sg = Ts590("TS-590SG", "ID023;");
constexpr RadioDialect kTs2000 = Ts2000();
constexpr RadioDialect kTs480 = Ts480();

constexpr auto kDialects =
    std::to_array<const RadioDialect*>({&kTs890, &kTs990, &kTs590, &kTs590sg, &kTs2000, &kTs480});

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return UpperAscii(x) == UpperAscii(y);
         });
}

}  // namespace

std::string_view LiteralStart(std::string_view form) {
  std::size_t length = 0;
  while (length < form.size() && !IsPlaceholder(form[length])) {
    ++length;
  }
  return form.substr(0, length);
}

bool FitsForm(std::string_view message, std::string_view form) {
  if (message.size() != form.size()) {
    return false;
  }
  for (std::size_t i = 0; i < form.size(); ++i) {
    const char c = message[i];
    const bool fits = form[i] == '#'   ? c >= '0' && c <= '9'
                      : form[i] == '*' ? c != form.back()
                                       : c == form[i];
    if (!fits) {
      return false;
    }
  }
  return true;
}

std::string FillForm(std::string_view form, std::string_view value) {
  std::string filled(form);
  std::size_t next = 0;
  for (char& c : filled) {
    if (IsPlaceholder(c)) {
      if (next == value.size()) {
        return {};
      }
      c = value[next++];
    }
  }
  return next == value.size() ? filled : std::string();
}

std::string RadioDialect::Set(RadioKey key, std::string_view value) const {
  return FillForm(AnswerOf(key).form, value);
}

std::string RadioDialect::SetNumber(RadioKey key, long value) const {
  const std::string_view form = AnswerOf(key).form;
  const auto digits = static_cast<std::size_t>(std::count(form.begin(), form.end(), '#'));
  return Set(key, ZeroFill(std::to_string(value), digits));
}

const ModeCode* RadioDialect::CodeOf(OperatingMode mode, bool data) const {
  const auto found = std::find_if(modes.begin(), modes.end(), [&](const ModeCode& code) {
    return code.mode == mode && code.data == data;
  });
  return found == modes.end() ? nullptr : &*found;
}

const ModeCode* RadioDialect::ModeOfCode(char code) const {
  const auto found = std::find_if(modes.begin(), modes.end(),
                                  [&](const ModeCode& row) { return row.code == code; });
  return found == modes.end() ? nullptr : &*found;
}

bool RadioDialect::CodesCarryData() const {
  return std::any_of(modes.begin(), modes.end(), [](const ModeCode& code) { return code.data; });
}

std::uint64_t RadioDialect::MessagesIn(std::string_view text) const {
  return CountMessages(text, terminator);
}

bool RadioDialect::IsRefusal(std::string_view message) const {
  return std::find(refusals.begin(), refusals.end(), message) != refusals.end();
}

std::span<const RadioDialect* const> RadioDialects() { return kDialects; }

const RadioDialect* FindRadioDialect(std::string_view name) {
  for (const RadioDialect* dialect : kDialects) {
    if (SameName(dialect->name, name)) {
      return dialect;
    }
  }
  return nullptr;
}

const RadioDialect& DefaultRadioDialect() { return kTs590; }

}  // namespace vantorel::cat
