#include "rigctl/hamlib_names.h"

#include <algorithm>
#include <array>

namespace vantorel::rigctl {
namespace {

struct ModeSpelling {
  Mode mode;
  std::string_view name;
};

// The first row of each mode is the name rigctld prints; the others are
// further names it reads.
constexpr auto kModeSpellings = std::to_array<ModeSpelling>({
    {Mode::kAm, "AM"},
    {Mode::kCw, "CW"},
    {Mode::kUsb, "USB"},
    {Mode::kLsb, "LSB"},
    {Mode::kRtty, "RTTY"},
    {Mode::kFm, "FM"},
    {Mode::kCwReverse, "CWR"},
    {Mode::kRttyReverse, "RTTYR"},
    {Mode::kDataLsb, "PKTLSB"},
    {Mode::kDataUsb, "PKTUSB"},
    {Mode::kDataFm, "FM-D"},
    {Mode::kDataFm, "PKTFM"},
    {Mode::kCwReverse, "CW-R"},
    {Mode::kRttyReverse, "RTTY-R"},
    {Mode::kDataLsb, "LSB-D"},
    {Mode::kDataUsb, "USB-D"},
});

// Hamlib's name of its spectrum-analyser mode, in its own spelling.
constexpr std::string_view kSpectrumMode =
    "SP"
    "EC";

// Modes Hamlib knows that a Kenwood HF transceiver has not: a client setting
// one is refused, as rigctld refuses it (a name it does not know at all
// changes nothing).
constexpr auto kOtherHamlibModes = std::to_array<std::string_view>({
    "WFM",         "AMS", "ECSSUSB", "ECSSLSB", "FAX",    "SAM",    "SAL",  "SAH",
    "DSB",         "FMN", "PKTAM",   "AM-D",    "P25",    "D-STAR", "DPMR", "NXDNVN",
    "NXDN-N",      "DCR", "AMN",     "PSK",     "PSKR",   "DD",     "C4FM", "PKTFMN",
    kSpectrumMode, "CWN", "IQ",      "ISBUSB",  "ISBLSB",
});

struct VfoSpelling {
  Vfo vfo;
  std::string_view name;
};

// First the names rigctld prints.
constexpr auto kVfoSpellings = std::to_array<VfoSpelling>({
    {Vfo::kCurrent, "currVFO"},
    {Vfo::kA, "VFOA"},
    {Vfo::kB, "VFOB"},
    {Vfo::kCurrent, "VFO"},
    {Vfo::kA, "Main"},
    {Vfo::kB, "Sub"},
});

constexpr auto kLevels = std::to_array<LevelName>({
    {Quantity::kAfGain, "AF", 0x8, true, true},
    {Quantity::kRfGain, "RF", 0x10, true, true},
    {Quantity::kSquelch, "SQL", 0x20, true, true},
    {Quantity::kRfPower, "RFPOWER", 0x1000, true, true},
    {Quantity::kMicGain, "MICGAIN", 0x2000, true, true},
    {Quantity::kKeySpeed, "KEYSPD", 0x4000, false, true},
    {Quantity::kStrength, "STRENGTH", 0x40000000, false, false},
});

}  // namespace

std::string_view ModeName(Mode mode) {
  const auto* row = std::ranges::find(kModeSpellings, mode, &ModeSpelling::mode);
  return row == kModeSpellings.end() ? "None" : row->name;
}

std::optional<Mode> ParseMode(std::string_view name) {
  const auto* row = std::ranges::find(kModeSpellings, name, &ModeSpelling::name);
  return row == kModeSpellings.end() ? std::nullopt : std::optional(row->mode);
}

bool IsOtherHamlibMode(std::string_view name) {
  return std::ranges::find(kOtherHamlibModes, name) != kOtherHamlibModes.end();
}

std::string_view VfoName(Vfo vfo) {
  return std::ranges::find(kVfoSpellings, vfo, &VfoSpelling::vfo)->name;
}

std::optional<Vfo> ParseVfo(std::string_view name) {
  const auto* row = std::ranges::find(kVfoSpellings, name, &VfoSpelling::name);
  return row == kVfoSpellings.end() ? std::nullopt : std::optional(row->vfo);
}

std::string ModeList(std::uint32_t modes) {
  std::string list;
  for (std::uint32_t bit = 1; bit != 0; bit <<= 1) {
    if ((modes & bit) != 0) {
      list += std::string(ModeName(static_cast<Mode>(bit))) + ' ';
    }
  }
  return list;
}

std::span<const LevelName> Levels() { return kLevels; }

const LevelName* FindLevel(std::string_view name) {
  const auto* row = std::ranges::find(kLevels, name, &LevelName::name);
  return row == kLevels.end() ? nullptr : row;
}

std::uint64_t LevelBits(bool settableOnly) {
  std::uint64_t bits = 0;
  for (const LevelName& level : kLevels) {
    bits |= settableOnly && !level.settable ? 0 : level.bit;
  }
  return bits;
}

std::string LevelList(bool settableOnly) {
  std::string list;
  for (const LevelName& level : kLevels) {
    if (level.settable || !settableOnly) {
      list += std::string(level.name) + ' ';
    }
  }
  return list;
}

}  // namespace vantorel::rigctl
