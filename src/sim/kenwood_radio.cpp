#include "sim/kenwood_radio.h"

#include <algorithm>
#include <array>

#include "sim/kenwood_commands.h"

namespace vantorel::sim {
namespace {

constexpr std::string_view kRefusal = "?;";

// What auto-information watches, and the read whose answer reports a change.
struct ReportedItem {
  std::string_view read;
  std::uint64_t (*value)(const RadioState&);
};

inline constexpr auto kReportedItems = std::to_array<ReportedItem>({
    {"FA;", [](const RadioState& s) -> std::uint64_t { return s.vfo(Vfo::kA).hertz; }},
    {"FB;", [](const RadioState& s) -> std::uint64_t { return s.vfo(Vfo::kB).hertz; }},
    {"MD;",
     [](const RadioState& s) -> std::uint64_t {
       return static_cast<std::uint64_t>(s.vfo(s.WorkingVfo()).mode);
     }},
    {"DA;", [](const RadioState& s) -> std::uint64_t { return s.vfo(s.WorkingVfo()).dataMode; }},
});

using Watched = std::array<std::uint64_t, kReportedItems.size()>;

Watched Watch(const RadioState& state) {
  Watched values{};
  for (std::size_t i = 0; i < kReportedItems.size(); ++i) {
    values[i] = kReportedItems[i].value(state);
  }
  return values;
}

// A report has the form of the answer to the read.
std::string ReadBack(const RadioState& state, std::string_view read) {
  RadioState scratch = state;
  return Execute(scratch, read).value_or("");
}

int MeterReading(int reading) { return std::clamp(reading, 0, kMeterTop); }

}  // namespace

template <class Change>
std::string KenwoodRadio::Reported(Change&& change) {
  const Watched before = Watch(state_);
  change();
  std::string reports;
  if (!state_.poweredOn || !state_.AutoInformation()) {
    return reports;
  }
  const Watched after = Watch(state_);
  for (std::size_t i = 0; i < kReportedItems.size(); ++i) {
    if (after[i] != before[i]) {
      reports += ReadBack(state_, kReportedItems[i].read);
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
  return Reported([&] { state_.vfo(vfo).hertz = std::clamp(hertz, kLowestHertz, kHighestHertz); });
}

std::string KenwoodRadio::SelectMode(Mode mode, bool dataMode) {
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

void KenwoodRadio::SetSMeter(int reading) { state_.sMeter = MeterReading(reading); }

void KenwoodRadio::SetTransmitMeter(TransmitMeter meter, int reading) {
  state_.transmitMeters.at(MeterIndex(meter)) = MeterReading(reading);
}

}  // namespace vantorel::sim
