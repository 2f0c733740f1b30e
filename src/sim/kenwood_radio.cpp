#include "sim/kenwood_radio.h"

#include <algorithm>
#include <vector>

#include "sim/kenwood_commands.h"

namespace vantorel::sim {
namespace {

constexpr std::string_view kRefusal = "?;";

// The answers to the reads auto-information watches: a change is reported with
// the answer to the read.
std::vector<std::string> Watch(const RadioState& state) {
  std::vector<std::string> answers;
  RadioState scratch = state;
  for (const std::string_view read : state.model->reported) {
    answers.push_back(Execute(scratch, read).value_or(""));
  }
  return answers;
}

// Where the knob stops: `hertz` inside the model's bands, else the edge of
// the band nearest to it.
std::uint64_t KnobStop(const RadioModel& model, std::uint64_t hertz) {
  std::uint64_t stop = std::clamp(hertz, model.bands.front().lowest, model.bands.front().highest);
  for (const HertzRange& band : model.bands) {
    const std::uint64_t edge = std::clamp(hertz, band.lowest, band.highest);
    if ((edge > hertz ? edge - hertz : hertz - edge) <
        (stop > hertz ? stop - hertz : hertz - stop)) {
      stop = edge;
    }
  }
  return stop;
}

int MeterReading(const RadioState& state, int reading) {
  return std::clamp(reading, 0, state.model->meterTop);
}

}  // namespace

template <class Change>
std::string KenwoodRadio::Reported(Change&& change) {
  const std::vector<std::string> before = Watch(state_);
  change();
  std::string reports;
  if (!state_.poweredOn || !state_.AutoInformation()) {
    return reports;
  }
  const std::vector<std::string> after = Watch(state_);
  for (std::size_t i = 0; i < after.size(); ++i) {
    if (after[i] != before[i]) {
      reports += after[i];
    }
  }
  return reports;
}

std::string KenwoodRadio::Receive(std::string_view bytes) {
  std::string out;
  framer_.Feed(
      bytes, [&](std::string_view command) { out += Handle(command); },
      [&] {
        if (state_.poweredOn) {
          out += kRefusal;
        }
      });
  return out;
}

std::string KenwoodRadio::Handle(std::string_view command) {
  if (!state_.poweredOn && !command.starts_with("PS")) {
    return {};
  }
  Reply reply;
  const std::string reports = Reported([&] { reply = Execute(state_, command); });
  if (!reply) {
    return std::string(kRefusal);
  }
  return *reply + reports;
}

std::string KenwoodRadio::TuneVfo(Vfo vfo, std::uint64_t hertz) {
  if (!state_.poweredOn) {
    return {};
  }
  return Reported([&] { state_.vfo(vfo).hertz = KnobStop(*state_.model, hertz); });
}

KenwoodRadio::KenwoodRadio(const RadioModel& model) : state_(model) {}

std::string KenwoodRadio::SelectMode(Mode mode, std::uint8_t dataMode) {
  if (!state_.poweredOn) {
    return {};
  }
  return Reported([&] {
    VfoState& working = state_.vfo(state_.WorkingVfo());
    working.mode = mode;
    working.dataMode = dataMode;
  });
}

std::string KenwoodRadio::PressMicrophone(bool pressed) {
  if (!state_.poweredOn) {
    return {};
  }
  return Reported([&] { state_.keying = pressed ? Keying::kMicrophone : Keying::kReceive; });
}

std::string KenwoodRadio::SwitchPower(bool on) {
  return Reported([&] {
    state_.poweredOn = on;
    if (!on) {
      state_.keying = Keying::kReceive;
    }
  });
}

void KenwoodRadio::SetSMeter(int reading) { state_.sMeter = MeterReading(state_, reading); }

void KenwoodRadio::SetTransmitMeter(TransmitMeter meter, int reading) {
  state_.transmitMeters.at(MeterIndex(meter)) = MeterReading(state_, reading);
}

}  // namespace vantorel::sim
