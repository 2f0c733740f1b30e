// Everything the simulated radio remembers: which model it is, its VFOs, which
// one receives and which one transmits, whether and how it is keyed, RIT,
// meters, power, its settings and its filters. Plain data; the commands and
// the front panel change it, tests read it.
//
// Threading: plain data, owned by one thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "sim/kenwood_tables.h"
#include "sim/radio_model.h"

namespace vantorel::sim {

enum class Vfo : std::uint8_t { kA, kB };

struct VfoState {
  std::uint64_t hertz;
  Mode mode;
  std::uint8_t dataMode = 0;  // 0: none; 1..3: DATA1..DATA3 (the TS-590's DA1 is 1)
  bool operator==(const VfoState&) const = default;
};

struct RadioState {
  explicit RadioState(const RadioModel& radioModel = LenientModel());

  const RadioModel* model;
  bool poweredOn = true;
  std::array<VfoState, 2> vfos{{{14'074'000, Mode::kUsb}, {7'050'000, Mode::kLsb}}};
  Vfo receiveVfo = Vfo::kA;
  Vfo transmitVfo = Vfo::kA;
  Keying keying = Keying::kReceive;
  int ritHertz = 0;                                          // the RIT/XIT offset, ±kRitLimitHertz
  int sMeter = 0;                                            // 0..model->meterTop
  std::array<int, kTransmitMeters.size()> transmitMeters{};  // 0..model->meterTop each
  TransmitMeter selectedMeter = TransmitMeter::kSwr;
  std::array<int, kSettingCount> settings{};  // by Setting; those the model has
  std::array<Passband, static_cast<std::size_t>(ModeClass::kCount)> passbands = kStartingPassbands;
  std::vector<std::string> filters;   // by the model's rawFilters row
  std::vector<std::string> switches;  // by the model's switches row

  [[nodiscard]] VfoState& vfo(Vfo which) { return vfos[static_cast<std::size_t>(which)]; }
  [[nodiscard]] const VfoState& vfo(Vfo which) const {
    return vfos[static_cast<std::size_t>(which)];
  }
  [[nodiscard]] bool Transmitting() const { return keying != Keying::kReceive; }
  [[nodiscard]] bool Split() const { return receiveVfo != transmitVfo; }
  // The VFO the display and the mode commands work on: the transmitting one
  // while keyed, else the receiving one.
  [[nodiscard]] Vfo WorkingVfo() const { return Transmitting() ? transmitVfo : receiveVfo; }

  [[nodiscard]] int Level(Setting which) const { return settings[static_cast<std::size_t>(which)]; }
  // A setting's value by the letters of the model's first form of it ("AG");
  // throws std::invalid_argument for letters the model has no setting under.
  [[nodiscard]] int Level(std::string_view letters) const;
  // A raw filter command's remembered digits by its letters ("SH"); throws
  // std::invalid_argument for letters that name none.
  [[nodiscard]] std::string_view Filter(std::string_view letters) const;
  [[nodiscard]] bool AutoInformation() const { return Level(Setting::kAutoInformation) != 0; }

  [[nodiscard]] Passband& passband(ModeClass which) {
    return passbands[static_cast<std::size_t>(which)];
  }
  [[nodiscard]] const Passband& passband(ModeClass which) const {
    return passbands[static_cast<std::size_t>(which)];
  }
  // The filter the working VFO's mode uses.
  [[nodiscard]] const Passband& WorkingPassband() const {
    return passband(ClassOf(vfo(WorkingVfo()).mode));
  }

  bool operator==(const RadioState&) const = default;
};

}  // namespace vantorel::sim
