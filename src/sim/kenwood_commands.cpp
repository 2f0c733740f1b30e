#include "sim/kenwood_commands.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>

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

// What one of the model's tables makes of a command: nullopt when the letters
// are not in it, else the reply (a refusal where no row takes the form).
using Handled = std::optional<Reply>;

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

Vfo Other(Vfo vfo) { return vfo == Vfo::kA ? Vfo::kB : Vfo::kA; }

bool InBands(const RadioModel& model, std::uint64_t hertz) {
  return std::any_of(model.bands.begin(), model.bands.end(), [&](const HertzRange& band) {
    return hertz >= band.lowest && hertz <= band.highest;
  });
}

std::optional<std::uint64_t> Frequency(const RadioState& state, std::string_view text) {
  const auto hertz = Number(text, kFrequencyDigits);
  if (!hertz || !InBands(*state.model, *hertz)) {
    return std::nullopt;
  }
  return hertz;
}

template <Vfo kWhich>
Reply VfoFrequency(RadioState& state, const Command& command) {
  if (command.parameters.empty()) {
    return Answer(command.letters, Digits(state.vfo(kWhich).hertz, kFrequencyDigits));
  }
  const auto hertz = Frequency(state, command.parameters);
  if (!hertz) {
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

// The TS-990's control band (0 main, 1 sub): the band the knobs work on.
// Split stays as it was: the other band keeps transmitting.
Reply ControlBand(RadioState& state, const Command& command) {
  if (command.parameters.empty()) {
    return Answer(command.letters, VfoText(state.receiveVfo));
  }
  const auto vfo = VfoDigit(command.parameters);
  if (!vfo) {
    return Refused();
  }
  const bool split = state.Split();
  state.receiveVfo = *vfo;
  state.transmitVfo = split ? Other(*vfo) : *vfo;
  return Silent();
}

// TB: split, transmitting on the VFO that does not receive.
Reply SplitCommand(RadioState& state, const Command& command) {
  if (command.parameters.empty()) {
    return Answer(command.letters, state.Split() ? "1" : "0");
  }
  if (command.parameters != "0" && command.parameters != "1") {
    return Refused();
  }
  state.transmitVfo = command.parameters == "1" ? Other(state.receiveVfo) : state.receiveVfo;
  return Silent();
}

Reply Status(RadioState& state, const Command& command) {
  if (!command.parameters.empty()) {
    return Refused();
  }
  return StatusAnswer(state);
}

// TX has no read form: each of the model's forms keys the transmitter its way.
Reply Transmit(RadioState& state, const Command& command) {
  for (const KeyingForm& form : state.model->keyings) {
    if (form.parameters == command.parameters) {
      if (form.keys) {
        state.keying = form.keying;
      }
      return Silent();
    }
  }
  return Refused();
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
  state.transmitVfo = Other(state.receiveVfo);
  return Silent();
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
  if (!command.parameters.empty() ||
      (state.Level(Setting::kRit) == 0 && state.Level(Setting::kXit) == 0)) {
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

// The TS-890 class's read of the RIT/XIT offset: "RF" + 1 for minus + 4 digits.
Reply RitOffset(RadioState& state, const Command& command) {
  if (!command.parameters.empty()) {
    return Refused();
  }
  return Answer(command.letters,
                (state.ritHertz < 0 ? "1" : "0") +
                    Digits(static_cast<std::uint64_t>(std::abs(state.ritHertz)), kMeterDigits));
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

template <std::string_view RadioModel::*kAnswer>
Reply FixedAnswer(RadioState& state, const Command& command) {
  if (!command.parameters.empty()) {
    return Refused();
  }
  return std::string(state.model->*kAnswer);
}

// The TS-2000's satellite mode, which the simulator does not have: a read
// answers it off (seven switches, then the satellite's name, blank); the
// radio's own program asks before choosing a VFO.
Reply SatelliteMode(RadioState& /*state*/, const Command& command) {
  if (!command.parameters.empty()) {
    return Refused();
  }
  return Answer(command.letters, "0000000        ");
}

// A=B: the working VFO's frequency and mode copied to the other one.
Reply CopyVfo(RadioState& state, const Command& command) {
  if (!command.parameters.empty()) {
    return Refused();
  }
  const Vfo working = state.WorkingVfo();
  state.vfo(Other(working)) = state.vfo(working);
  return Silent();
}

using Handler = Reply (*)(RadioState&, const Command&);

struct CommandRow {
  std::string_view letters;
  Handler handler;
};

// Every command with handling of its own; a model takes those its table lists.
inline constexpr auto kCommands = std::to_array<CommandRow>({
    {"FA", &VfoFrequency<Vfo::kA>},
    {"FB", &VfoFrequency<Vfo::kB>},
    {"FR", &ReceiveVfo},
    {"FT", &TransmitVfo},
    {"CB", &ControlBand},
    {"TB", &SplitCommand},
    {"IF", &Status},
    {"TX", &Transmit},
    {"RX", &ReceiveCommand},
    {"RM", &MeterCommand},
    {"RC", &RitClear},
    {"RU", &RitMove<+1>},
    {"RD", &RitMove<-1>},
    {"RF", &RitOffset},
    {"PS", &Power},
    {"ID", &FixedAnswer<&RadioModel::identity>},
    {"FV", &FixedAnswer<&RadioModel::firmware>},
    {"SA", &SatelliteMode},
    {"VV", &CopyVfo},
    {"MX", &Mox},
    {"QS", &QuickSplit},
});

Handled OwnCommand(RadioState& state, const Command& command) {
  const auto& listed = state.model->commands;
  if (std::find(listed.begin(), listed.end(), command.letters) == listed.end()) {
    return std::nullopt;
  }
  for (const CommandRow& row : kCommands) {
    if (row.letters == command.letters) {
      return row.handler(state, command);
    }
  }
  return Refused();
}

VfoState& ChosenVfo(RadioState& state, VfoChoice choice) {
  switch (choice) {
    case VfoChoice::kOther:
      return state.vfo(Other(state.WorkingVfo()));
    case VfoChoice::kA:
      return state.vfo(Vfo::kA);
    case VfoChoice::kB:
      return state.vfo(Vfo::kB);
    case VfoChoice::kWorking:
      break;
  }
  return state.vfo(state.WorkingVfo());
}

const ModeCode* CodeFor(const ModeForm& form, char code) {
  const auto found = std::find_if(form.codes.begin(), form.codes.end(),
                                  [&](const ModeCode& row) { return row.code == code; });
  return found == form.codes.end() ? nullptr : &*found;
}

// One mode form: a read when `value` is empty, else a set.
Reply ModeCommand(RadioState& state, const ModeForm& form, std::string_view value) {
  VfoState& vfo = ChosenVfo(state, form.vfo);
  const std::string read(std::string(form.letters) + std::string(form.selector));
  switch (form.kind) {
    case ModeFormKind::kDataNumber:
      if (value.empty()) {
        return Answer(read, vfo.dataMode != 0 ? "1" : "0");
      }
      if (value != "0" && value != "1") {
        return Refused();
      }
      vfo.dataMode = value == "1" ? 1 : 0;
      return Silent();
    case ModeFormKind::kFrequencyAndCode: {
      if (value.empty()) {
        return Answer(read, Digits(vfo.hertz, kFrequencyDigits) + ModeCodeOf(form.codes, vfo));
      }
      const auto hertz = Frequency(state, value.substr(0, kFrequencyDigits));
      const ModeCode* code =
          value.size() == kFrequencyDigits + 1 ? CodeFor(form, value.back()) : nullptr;
      if (!hertz || code == nullptr) {
        return Refused();
      }
      vfo = {*hertz, code->mode, code->data};
      return Silent();
    }
    case ModeFormKind::kBaseCode:
    case ModeFormKind::kFullCode:
      break;
  }
  const bool full = form.kind == ModeFormKind::kFullCode;
  if (value.empty()) {
    const VfoState shown{vfo.hertz, vfo.mode, full ? vfo.dataMode : std::uint8_t{0}};
    return Answer(read, std::string(1, ModeCodeOf(form.codes, shown)));
  }
  const ModeCode* code = value.size() == 1 ? CodeFor(form, value[0]) : nullptr;
  if (code == nullptr) {
    return Refused();
  }
  vfo.mode = code->mode;
  if (full) {
    vfo.dataMode = code->data;
  }
  return Silent();
}

Handled ModeForms(RadioState& state, const Command& command) {
  bool known = false;
  for (const ModeForm& form : state.model->modes) {
    if (form.letters != command.letters) {
      continue;
    }
    known = true;
    if (command.parameters.starts_with(form.selector)) {
      return ModeCommand(state, form, command.parameters.substr(form.selector.size()));
    }
  }
  return known ? Handled(Refused()) : std::nullopt;
}

// The read form is letters + selector; the set form adds exactly `digits`.
// Any other length, or another selector, is refused: never taken as a
// different set.
Handled SettingForms(RadioState& state, const Command& command) {
  bool known = false;
  const std::string_view parameters = command.parameters;
  for (const SettingForm& form : state.model->settings) {
    if (form.letters != command.letters) {
      continue;
    }
    known = true;
    int& value = state.settings[static_cast<std::size_t>(form.setting)];
    if (parameters == form.selector) {
      return Answer(command.letters, std::string(parameters) +
                                         Digits(static_cast<std::uint64_t>(value), form.digits) +
                                         std::string(form.answerTail));
    }
    if (parameters.size() != form.selector.size() + form.digits ||
        !parameters.starts_with(form.selector)) {
      continue;
    }
    const auto number = Number(parameters.substr(form.selector.size()), form.digits);
    if (!number) {
      return Refused();
    }
    const auto asked = static_cast<int>(*number);
    if (form.outOfRange == OutOfRange::kRefuse && (asked < form.lowest || asked > form.highest)) {
      return Refused();
    }
    value = std::clamp(asked, form.lowest, form.highest);
    return Silent();
  }
  return known ? Handled(Refused()) : std::nullopt;
}

// The S-meter, read only, answered in the form asked.
Handled SMeterForms(RadioState& state, const Command& command) {
  if (command.letters != "SM") {
    return std::nullopt;
  }
  for (const MeterForm& form : state.model->sMeters) {
    if (command.parameters == form.selector) {
      const int reading = std::min(state.sMeter, form.top);
      return Answer(command.letters, std::string(form.selector) +
                                         Digits(static_cast<std::uint64_t>(reading), kMeterDigits));
    }
  }
  return Refused();
}

int& EdgeOf(Passband& passband, PassbandEdge edge) {
  switch (edge) {
    case PassbandEdge::kLowCut:
      return passband.lowCut;
    case PassbandEdge::kHighCut:
      return passband.highCut;
    case PassbandEdge::kWidth:
      break;
  }
  return passband.width;
}

// The filter forms of the working VFO's class of mode.
Handled WidthForms(RadioState& state, const Command& command) {
  bool known = false;
  const ModeClass modeClass = ClassOf(state.vfo(state.WorkingVfo()).mode);
  const std::string_view parameters = command.parameters;
  for (const WidthForm& form : state.model->widths) {
    if (form.letters != command.letters) {
      continue;
    }
    known = true;
    if (form.modeClass != modeClass) {
      continue;
    }
    int& edge = EdgeOf(state.passband(modeClass), form.edge);
    if (parameters == form.selector) {
      const auto nearest =
          std::min_element(form.hertz.begin(), form.hertz.end(),
                           [&](int a, int b) { return std::abs(a - edge) < std::abs(b - edge); });
      const auto shown = form.indexed ? nearest - form.hertz.begin() : *nearest;
      return Answer(command.letters, std::string(form.selector) +
                                         Digits(static_cast<std::uint64_t>(shown), form.digits));
    }
    if (parameters.size() != form.selector.size() + form.digits ||
        !parameters.starts_with(form.selector)) {
      continue;
    }
    const auto number = Number(parameters.substr(form.selector.size()), form.digits);
    if (!number) {
      return Refused();
    }
    if (form.indexed) {
      if (*number >= form.hertz.size()) {
        return Refused();
      }
      edge = form.hertz[*number];
      return Silent();
    }
    if (std::find(form.hertz.begin(), form.hertz.end(), static_cast<int>(*number)) ==
        form.hertz.end()) {
      return Refused();
    }
    edge = static_cast<int>(*number);
    return Silent();
  }
  return known ? Handled(Refused()) : std::nullopt;
}

// Taken as any run of up to kLongestRawFilter digits and read back as it came.
Handled RawFilters(RadioState& state, const Command& command) {
  const auto& rows = state.model->rawFilters;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].letters != command.letters) {
      continue;
    }
    const std::string_view parameters = command.parameters;
    if (parameters.empty()) {
      return Answer(command.letters, state.filters[row]);
    }
    const bool digitsOnly = std::all_of(parameters.begin(), parameters.end(),
                                        [](char c) { return c >= '0' && c <= '9'; });
    if (!digitsOnly || parameters.size() > kLongestRawFilter) {
      return Refused();
    }
    state.filters[row] = parameters;
    return Silent();
  }
  return std::nullopt;
}

Handled Switches(RadioState& state, const Command& command) {
  const auto& rows = state.model->switches;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].letters != command.letters) {
      continue;
    }
    const SwitchSetting& setting = rows[row];
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
  return std::nullopt;
}

using Table = Handled (*)(RadioState&, const Command&);

inline constexpr auto kTables = std::to_array<Table>(
    {&OwnCommand, &ModeForms, &SettingForms, &SMeterForms, &WidthForms, &RawFilters, &Switches});

}  // namespace

Reply Execute(RadioState& state, std::string_view command) {
  if (command.size() < 3 || command.back() != ';') {
    return Refused();
  }
  const Command parts{command.substr(0, 2), command.substr(2, command.size() - 3)};
  for (const Table table : kTables) {
    if (Handled handled = table(state, parts)) {
      return *handled;
    }
  }
  return Refused();
}

}  // namespace vantorel::sim
