// A client's setting and read, checked against the simulated radio: what the
// client reads back, and what the radio holds after the setting (the same on
// every model, or per model where it differs: "ts480=80 ts2000=10").
#pragma once

#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

#include "sim/radio_state.h"

namespace vantorel::testing {

// A simulated model by the simulator's name, and the radio dialect the FT-950
// emulation learns for it.
struct SimulatedModel {
  std::string sim;
  std::string_view dialect;
};
inline void PrintTo(const SimulatedModel& model, std::ostream* out) { *out << model.sim; }

inline const SimulatedModel kSimulatedModels[] = {
    {"kenwood", "TS-590S"},  {"ts890", "TS-890S"},  {"ts990", "TS-990S"}, {"ts590", "TS-590S"},
    {"ts590sg", "TS-590SG"}, {"ts2000", "TS-2000"}, {"ts480", "TS-480"}};

enum class Shows { kNothing, kFrequency, kMode, kVfos, kKeyed, kLevel, kWidth, kClarifier };

struct RadioStep {
  std::string set;
  std::string read;
  std::string prints;
  Shows shows;
  std::string holds;
  std::string otherwise = "";
  sim::Setting setting = sim::Setting::kCount;
};

// What the radio holds of what a step sets: VFO A's hertz, the working VFO's
// mode ("2d": USB's data mode), the receive and transmit VFOs ("AB"), a setting.
inline std::string Show(const sim::RadioState& radio, const RadioStep& step) {
  const sim::VfoState& vfo = radio.vfo(radio.WorkingVfo());
  const auto name = [](sim::Vfo v) { return v == sim::Vfo::kA ? "A" : "B"; };
  const sim::Passband& filter = radio.WorkingPassband();
  switch (step.shows) {
    case Shows::kFrequency:
      return std::to_string(radio.vfo(sim::Vfo::kA).hertz);
    case Shows::kMode:
      return std::string(1, static_cast<char>(vfo.mode)) + (vfo.dataMode != 0 ? "d" : "");
    case Shows::kVfos:
      return std::string(name(radio.receiveVfo)) + name(radio.transmitVfo);
    case Shows::kKeyed:
      return radio.Transmitting() ? "1" : "0";
    case Shows::kLevel:
      return std::to_string(radio.Level(step.setting));
    case Shows::kWidth:
      return std::to_string(sim::ClassOf(vfo.mode) == sim::ModeClass::kSsb
                                ? filter.highCut - filter.lowCut
                                : filter.width);
    case Shows::kClarifier:
      return std::to_string(radio.ritHertz);
    case Shows::kNothing:
      break;
  }
  return "";
}

inline std::string Holds(const RadioStep& step, const std::string& model) {
  std::istringstream words(step.otherwise);
  for (std::string word; words >> word;) {
    if (word.starts_with(model + "=")) {
      return word.substr(model.size() + 1);
    }
  }
  return step.holds;
}

}  // namespace vantorel::testing
