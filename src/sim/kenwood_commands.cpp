#include "sim/kenwood_commands.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "sim/status_answer.h"

namespace vantorel::sim {
namespace {

// A command cut into its two letters and what stands between them and the ';'.
struct Command {
  std::string_view letters;
  std::string_view parameters;
};

Reply Refused() { return std::nullopt; }
Reply Silent() { return std::string(); }

// Exactly `width` decimal digits, nothing else.
std::optional<std::uint64_t> Number(std::string_view text, std::size_t width) {
  if (width == 0 || text.size() != width) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

std::string Digits(std::uint64_t value, std::size_t width) {
  std::string text = std::to_string(value);
  if (text.size() < width) {
    text.insert(0, width - text.size(), '0');
  }
  return text;
}

std::string Answer(std::string_view letters, std::string_view parameters) {
  std::string text(letters);
  text.append(parameters).append(";");
  return text;
}

std::optional<Vfo> VfoDigit(std::string_view text) {
  if (text == "0") {
    return Vfo::kA;
  }
  if (text == "1") {
    return Vfo::kB;
  }
  return std::nullopt;  // 2 (memory) is not simulated
}

std::string VfoText(Vfo vfo) { return vfo == Vfo::kA ? "0" : "1"; }

template <Vfo kWhich>
Reply VfoFrequency(RadioState& state, const Command& command) {
  if (command.parameters.empty()) {
    return Answer(command.letters, Digits(state.vfo(kWhich).hertz, kFrequencyDigits));
  }
  const auto hertz = Number(command.parameters, kFrequencyDigits);
  if (!hertz || *hertz < kLowestHertz || *hertz > kHighestHertz) {
    return Refused();
  }
  state.vfo(kWhich).hertz = *hertz;
  return Silent();
}

// Choosing the receive VFO also moves the transmit VFO to it: FR ends split.
Reply ReceiveVfo(RadioState& state, const Command& command) {
  if (command.parameters.empty()) {
    return Answer(command.letters, VfoText(state.receiveVfo));
  }
  const auto vfo = VfoDigit(command.parameters);
  if (!vfo) {
    return Refused();
  }
  state.receiveVfo = *vfo;
  state.transmitVfo = *vfo;
  return Silent();
}

Reply TransmitVfo(RadioState& state, const Command& command) {
  if (command.parameters.empty()) {
    return Answer(command.letters, VfoText(state.transmitVfo));
  }
  const auto vfo = VfoDigit(command.parameters);
  if (!vfo) {
    return Refused();
  }
  state.transmitVfo = *vfo;
  return Silent();
}

Reply ModeCommand(RadioState& state, const Command& command) {
  VfoState& working = state.vfo(state.WorkingVfo());
  if (command.parameters.empty()) {
    return Answer(command.letters, std::string(1, static_cast<char>(working.mode)));
  }
  for (const Mode mode : kModes) {
    if (command.parameters.size() == 1 && command.parameters[0] == static_cast<char>(mode)) {
      working.mode = mode;
      return Silent();
    }
  }
  return Refused();
}

Reply DataMode(RadioState& state, const Command& command) {
  VfoState& working = state.vfo(state.WorkingVfo());
  if (command.parameters.empty()) {
    return Answer(command.letters, working.dataMode ? "1" : "0");
  }
  const auto on = Number(command.parameters, 1);
  if (!on || *on > 1) {
    return Refused();
  }
  working.dataMode = *on == 1;
  return Silent();
}

Reply Status(RadioState& state, const Command& command) {
  if (!command.parameters.empty()) {
    return Refused();
  }
  return StatusAnswer(state);
}

// TX has no read form on this radio: "TX;" keys it like "TX0;".
Reply Transmit(RadioState& state, const Command& command) {
  if (command.parameters.empty() || command.parameters == "0") {
    state.keying = Keying::kMicrophone;
  } else if (command.parameters == "1") {
    state.keying = Keying::kDataAudio;
  } else {
    return Refused();
  }
  return Silent();
}

Reply ReceiveCommand(RadioState& state, const Command& command) {
  if (!command.parameters.empty()) {
    return Refused();
  }
  state.keying = Keying::kReceive;
  return Silent();
}

// MOX, as the TS-890 class takes it: "MX1;" keys the transmitter with the
// microphone's audio, "MX0;" lets go, and "MX;" reads whether it transmits.
Reply Mox(RadioState& state, const Command& command) {
  if (command.parameters.empty()) {
    return Answer(command.letters, state.Transmitting() ? "1" : "0");
  }
  if (command.parameters == "1") {
    if (!state.Transmitting()) {
      state.keying = Keying::kMicrophone;
    }
  } else if (command.parameters == "0") {
    state.keying = Keying::kReceive;
  } else {
    return Refused();
  }
  return Silent();
}

// Quick split: transmit on the VFO that does not receive. Set only.
Reply QuickSplit(RadioState& state, const Command& command) {
  if (!command.parameters.empty()) {
    return Refused();
  }
  state.transmitVfo = state.receiveVfo == Vfo::kA ? Vfo::kB : Vfo::kA;
  return Silent();
}

// "SM0;" on this radio, "SM;" as a TS-890 asks; answered in the form asked.
Reply SMeter(RadioState& state, const Command& command) {
  if (command.parameters != "0" && !command.parameters.empty()) {
    return Refused();
  }
  return Answer(command.letters,
                std::string(command.parameters) +
                    Digits(static_cast<std::uint64_t>(state.sMeter), kMeterDigits));
}

// "RMp;" puts meter p on the display and is silent; "RM;" reads all three
// meters in one go. They show 0 while the radio receives.
Reply MeterCommand(RadioState& state, const Command& command) {
  if (!command.parameters.empty()) {
    const auto picked = std::find_if(kTransmitMeters.begin(), kTransmitMeters.end(), [&](auto m) {
      return command.parameters.size() == 1 && command.parameters[0] == static_cast<char>(m);
    });
    if (picked == kTransmitMeters.end()) {
      return Refused();
    }
    state.selectedMeter = *picked;
    return Silent();
  }
  std::string answers;
  for (const TransmitMeter meter : kTransmitMeters) {
    const int reading = state.Transmitting() ? state.transmitMeters[MeterIndex(meter)] : 0;
    answers +=
        Answer(command.letters, std::string(1, static_cast<char>(meter)) +
                                    Digits(static_cast<std::uint64_t>(reading), kMeterDigits));
  }
  return answers;
}

// The radio clears the offset only while RIT or XIT is on.
Reply RitClear(RadioState& state, const Command& command) {
  if (!command.parameters.empty() || (state.Level("RT") == 0 && state.Level("XT") == 0)) {
    return Refused();
  }
  state.ritHertz = 0;
  return Silent();
}

template <int kDirection>
Reply RitMove(RadioState& state, const Command& command) {
  std::uint64_t hertz = kRitStepHertz;
  if (!command.parameters.empty()) {
    const auto amount = Number(command.parameters, kRitDigits);
    if (!amount) {
      return Refused();
    }
    hertz = *amount;
  }
  const int moved = state.ritHertz + kDirection * static_cast<int>(hertz);
  state.ritHertz = std::clamp(moved, -kRitLimitHertz, kRitLimitHertz);
  return Silent();
}

// Switching off also lets go of the transmitter.
Reply Power(RadioState& state, const Command& command) {
  if (command.parameters.empty()) {
    return Answer(command.letters, state.poweredOn ? "1" : "0");
  }
  const auto on = Number(command.parameters, 1);
  if (!on || *on > 1) {
    return Refused();
  }
  state.poweredOn = *on == 1;
  if (!state.poweredOn) {
    state.keying = Keying::kReceive;
  }
  return Silent();
}

template <const std::string_view& kAnswer>
Reply FixedAnswer(RadioState& /*state*/, const Command& command) {
  if (!command.parameters.empty()) {
    return Refused();
  }
  return std::string(kAnswer);
}

// A=B: the working VFO's frequency and mode copied to the other one.
Reply CopyVfo(RadioState& state, const Command& command) {
  if (!command.parameters.empty()) {
    return Refused();
  }
  const Vfo working = state.WorkingVfo();
  state.vfo(working == Vfo::kA ? Vfo::kB : Vfo::kA) = state.vfo(working);
  return Silent();
}

using Handler = Reply (*)(RadioState&, const Command&);

struct CommandRow {
  std::string_view letters;
  Handler handler;
};

inline constexpr auto kCommands = std::to_array<CommandRow>({
    {"FA", &VfoFrequency<Vfo::kA>},
    {"FB", &VfoFrequency<Vfo::kB>},
    {"FR", &ReceiveVfo},
    {"FT", &TransmitVfo},
    {"MD", &ModeCommand},
    {"DA", &DataMode},
    {"IF", &Status},
    {"TX", &Transmit},
    {"RX", &ReceiveCommand},
    {"SM", &SMeter},
    {"RM", &MeterCommand},
    {"RC", &RitClear},
    {"RU", &RitMove<+1>},
    {"RD", &RitMove<-1>},
    {"PS", &Power},
    {"ID", &FixedAnswer<kIdentity>},
    {"FV", &FixedAnswer<kFirmware>},
    {"VV", &CopyVfo},
    {"MX", &Mox},
    {"QS", &QuickSplit},
});

// The four forms of a plain setting with a selector ("AG;", "AG0;", "AGnnn;",
// "AG0nnn;") are told apart by their length; without one, only the bare two.
Reply PlainSettingCommand(RadioState& state, std::size_t row, const Command& command) {
  const PlainSetting& setting = kPlainSettings[row];
  const std::string_view selector = setting.selector;
  const std::string_view parameters = command.parameters;
  if (parameters.empty() || parameters == selector) {
    return Answer(command.letters,
                  std::string(parameters) +
                      Digits(static_cast<std::uint64_t>(state.levels[row]), setting.digits) +
                      std::string(setting.answerTail));
  }
  std::string_view value = parameters;
  if (!selector.empty() && parameters.size() == selector.size() + setting.digits &&
      parameters.starts_with(selector)) {
    value.remove_prefix(selector.size());
  }
  const auto number = Number(value, setting.digits);
  if (!number) {
    return Refused();
  }
  const auto asked = static_cast<int>(*number);
  if (setting.outOfRange == OutOfRange::kRefuse &&
      (asked < setting.lowest || asked > setting.highest)) {
    return Refused();
  }
  state.levels[row] = std::clamp(asked, setting.lowest, setting.highest);
  return Silent();
}

Reply FilterCommand(RadioState& state, std::size_t row, const Command& command) {
  const std::string_view parameters = command.parameters;
  if (parameters.empty()) {
    return Answer(command.letters, state.filters[row]);
  }
  const bool digitsOnly = std::all_of(parameters.begin(), parameters.end(),
                                      [](char c) { return c >= '0' && c <= '9'; });
  if (!digitsOnly || parameters.size() > kLongestFilterValue) {
    return Refused();
  }
  state.filters[row] = parameters;
  return Silent();
}

Reply SwitchCommand(RadioState& state, std::size_t row, const Command& command) {
  const SwitchSetting& setting = kSwitchSettings[row];
  std::string& switches = state.switches[row];
  const std::string_view parameters = command.parameters;
  if (parameters.empty()) {
    return Answer(command.letters, switches);
  }
  if (parameters.size() < setting.shortest || parameters.size() > switches.size()) {
    return Refused();
  }
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    if (setting.allowed[i].find(parameters[i]) == std::string_view::npos) {
      return Refused();
    }
  }
  switches.replace(0, parameters.size(), parameters);
  return Silent();
}

}  // namespace

Reply Execute(RadioState& state, std::string_view command) {
  if (command.size() < 3 || command.back() != ';') {
    return Refused();
  }
  const Command parts{command.substr(0, 2), command.substr(2, command.size() - 3)};
  for (const CommandRow& row : kCommands) {
    if (row.letters == parts.letters) {
      return row.handler(state, parts);
    }
  }
  for (std::size_t row = 0; row < kPlainSettings.size(); ++row) {
    if (kPlainSettings[row].letters == parts.letters) {
      return PlainSettingCommand(state, row, parts);
    }
  }
  for (std::size_t row = 0; row < kFilterSettings.size(); ++row) {
    if (kFilterSettings[row].letters == parts.letters) {
      return FilterCommand(state, row, parts);
    }
  }
  for (std::size_t row = 0; row < kSwitchSettings.size(); ++row) {
    if (kSwitchSettings[row].letters == parts.letters) {
      return SwitchCommand(state, row, parts);
    }
  }
  return Refused();
}

}  // namespace vantorel::sim
