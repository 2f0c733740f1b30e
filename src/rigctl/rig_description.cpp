#include "rigctl/rig_description.h"

#include <array>

#include "rigctl/c_numbers.h"
#include "rigctl/hamlib_names.h"
#include "version.h"

namespace vantorel::rigctl {
namespace {

constexpr auto Bits(auto... modes) { return (static_cast<std::uint32_t>(modes) | ...); }

constexpr std::uint32_t kAllModes =
    Bits(Mode::kAm, Mode::kCw, Mode::kUsb, Mode::kLsb, Mode::kRtty, Mode::kFm, Mode::kCwReverse,
         Mode::kRttyReverse, Mode::kDataLsb, Mode::kDataUsb, Mode::kDataFm);
constexpr std::uint32_t kSideband = Bits(Mode::kUsb, Mode::kLsb, Mode::kDataUsb, Mode::kDataLsb);
constexpr std::uint32_t kNarrow =
    Bits(Mode::kCw, Mode::kRtty, Mode::kCwReverse, Mode::kRttyReverse);
constexpr std::uint32_t kFmModes = Bits(Mode::kFm, Mode::kDataFm);

constexpr int kLowPower = 5'000;  // milliwatts
constexpr int kFullPower = 100'000;

constexpr auto kReceive = std::to_array<FrequencyRange>({{30'000, 60'000'000, kAllModes}});

// The amateur bands of all three regions; the radio itself refuses to
// transmit where its market version may not.
constexpr auto kTransmit = std::to_array<FrequencyRange>({
    {1'800'000, 2'000'000, kAllModes, kLowPower, kFullPower},
    {3'500'000, 4'000'000, kAllModes, kLowPower, kFullPower},
    {5'250'000, 5'450'000, kAllModes, kLowPower, kFullPower},
    {7'000'000, 7'300'000, kAllModes, kLowPower, kFullPower},
    {10'100'000, 10'150'000, kAllModes, kLowPower, kFullPower},
    {14'000'000, 14'350'000, kAllModes, kLowPower, kFullPower},
    {18'068'000, 18'168'000, kAllModes, kLowPower, kFullPower},
    {21'000'000, 21'450'000, kAllModes, kLowPower, kFullPower},
    {24'890'000, 24'990'000, kAllModes, kLowPower, kFullPower},
    {28'000'000, 29'700'000, kAllModes, kLowPower, kFullPower},
    {50'000'000, 54'000'000, kAllModes, kLowPower, kFullPower},
});

// Hertz 0: any step.
constexpr auto kTuningSteps = std::to_array<ModeWidth>({
    {kAllModes, 10},
    {kAllModes, 100},
    {kAllModes, 1'000},
    {kAllModes, 10'000},
    {kAllModes, 100'000},
    {kAllModes, 0},
});

constexpr auto kFilters = std::to_array<ModeWidth>({
    {kSideband, 2'400},
    {kNarrow, 500},
    {Bits(Mode::kAm), 6'000},
    {kFmModes, 12'000},
});

// RIG_PTT_RIG_MICDATA: the radio keys with microphone or data audio (TX0/TX1).
constexpr int kPttRigMicData = 5;
// RIG_TARGETABLE_FREQ: a VFO's frequency is read and set without switching to it.
constexpr int kTargetableFrequency = 1;
// RIG_VFO_A | RIG_VFO_B in the ranges' VFO column; antenna 1.
constexpr std::string_view kRangeTail = " 0x3 0x1\n";

void AppendRanges(std::string& text, std::span<const FrequencyRange> ranges) {
  for (const FrequencyRange& range : ranges) {
    text += FixedSix(static_cast<double>(range.lowHertz)) + ' ' +
            FixedSix(static_cast<double>(range.highHertz)) + ' ' + HexNumber(range.modes) + ' ' +
            std::to_string(range.lowPowerMilliwatts) + ' ' +
            std::to_string(range.highPowerMilliwatts) + std::string(kRangeTail);
  }
  text += "0 0 0 0 0 0 0\n";
}

void AppendWidths(std::string& text, std::span<const ModeWidth> widths) {
  for (const ModeWidth& width : widths) {
    text += HexNumber(width.modes) + ' ' + std::to_string(width.hertz) + '\n';
  }
  text += "0 0\n";
}

}  // namespace

const RigDescription kKenwoodTransceiver{
    .hamlibModel = 2,  // Hamlib's "NET rigctl": a radio behind a rigctld-like server
    .modelName = "Kenwood transceiver",
    .maker = "Vantorel",
    .info = "Kenwood transceiver through Vantorel",
    .receive = kReceive,
    .transmit = kTransmit,
    .tuningSteps = kTuningSteps,
    .filters = kFilters,
    .maxRitHertz = 9'990,
    .maxXitHertz = 9'990,
    .timeoutMilliseconds = 2'000,
};

std::uint32_t Modes(const RigDescription& description) {
  std::uint32_t modes = 0;
  for (const FrequencyRange& range : description.receive) {
    modes |= range.modes;
  }
  return modes;
}

std::string DumpState(const RigDescription& description, bool withSettings) {
  // Protocol 1, the model, and the ITU region rigctld still writes as 0.
  std::string text = "1\n" + std::to_string(description.hamlibModel) + "\n0\n";
  AppendRanges(text, description.receive);
  AppendRanges(text, description.transmit);
  AppendWidths(text, description.tuningSteps);
  AppendWidths(text, description.filters);
  // RIT, XIT, IF shift, announcements, then the (empty) preamplifier and
  // attenuator lists: this server offers neither.
  text += std::to_string(description.maxRitHertz) + '\n' + std::to_string(description.maxXitHertz) +
          "\n0\n0\n\n\n";
  // Functions, levels and parameters it reads and sets.
  text += "0x0\n0x0\n" + HexNumber(LevelBits(false)) + '\n' + HexNumber(LevelBits(true)) +
          "\n0x0\n0x0\n";
  if (!withSettings) {
    return text;
  }
  text += "vfo_ops=0x0\nptt_type=" + HexNumber(kPttRigMicData) +
          "\ntargetable_vfo=" + HexNumber(kTargetableFrequency) +
          "\nhas_set_vfo=1\nhas_get_vfo=1\nhas_set_freq=1\nhas_get_freq=1"
          "\nhas_set_conf=0\nhas_get_conf=0\nhas_power2mW=0\nhas_mW2power=0"
          "\ntimeout=" +
          std::to_string(description.timeoutMilliseconds) +
          "\nrig_model=" + std::to_string(description.hamlibModel) + "\nrigctld_version=Vantorel " +
          kVersion + "\ndone\n";
  return text;
}

std::string DumpCaps(const RigDescription& description) {
  const auto yes = [](bool can) { return can ? "Y\n" : "N\n"; };
  std::string text = "Caps dump for model: " + std::to_string(description.hamlibModel) +
                     "\nModel name:\t" + std::string(description.modelName) + "\nMfg name:\t" +
                     std::string(description.maker) + "\nBackend version:\t" + kVersion +
                     "\nBackend status:\tStable\nRig type:\tTransceiver \nPTT type:\tRig capable "
                     "(Mic/Data)\nPort type:\tNetwork link\nHas targetable VFO: Y\n" +
                     "Max RIT: -" + std::to_string(description.maxRitHertz) + "Hz/+" +
                     std::to_string(description.maxRitHertz) + "Hz\nMax XIT: -" +
                     std::to_string(description.maxXitHertz) + "Hz/+" +
                     std::to_string(description.maxXitHertz) +
                     "Hz\nGet level: " + LevelList(false) + "\nSet level: " + LevelList(true) +
                     "\nMode list: " + ModeList(Modes(description)) + "\nVFO list: VFOA VFOB \n";
  for (const auto& [what, can] : std::to_array<std::pair<std::string_view, bool>>({
           {"Frequency", true},
           {"Mode", true},
           {"VFO", true},
           {"PTT", true},
           {"Split VFO", true},
           {"Power Stat", true},
           {"Level", true},
           {"Func", false},
           {"Param", false},
       })) {
    text += "Can set " + std::string(what) + ":\t" + yes(can) + "Can get " + std::string(what) +
            ":\t" + yes(can);
  }
  return text + "\nOverall backend warnings: 0\n";
}

}  // namespace vantorel::rigctl
