// Everything the simulated radio remembers: its VFOs, which one receives and
// which one transmits, whether and how it is keyed, RIT, meters, power, and the
// settings of kenwood_tables.h. Plain data; the commands and the front panel
// change it, tests read it.
//
// Threading: plain data, owned by one thread.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/kenwood_tables.h"

namespace vantorel::sim {

enum class Vfo : std::uint8_t { kA, kB };

// How the transmitter is keyed: "TX;"/"TX0;" and the microphone's switch key it
// with microphone audio, "TX1;" with the data input.
enum class Keying : std::uint8_t { kReceive, kMicrophone, kDataAudio };

struct VfoState {
  std::uint64_t hertz;
  Mode mode;
  bool dataMode = false;
  bool operator==(const VfoState&) const = default;
};

struct RadioState {
  RadioState();

  bool poweredOn = true;
  std::array<VfoState, 2> vfos{{{14'074'000, Mode::kUsb}, {7'050'000, Mode::kLsb}}};
  Vfo receiveVfo = Vfo::kA;
  Vfo transmitVfo = Vfo::kA;
  Keying keying = Keying::kReceive;
  int ritHertz = 0;                                          // the RIT/XIT offset, ±kRitLimitHertz
  int sMeter = 0;                                            // 0..kMeterTop
  std::array<int, kTransmitMeters.size()> transmitMeters{};  // 0..kMeterTop each
  TransmitMeter selectedMeter = TransmitMeter::kSwr;
  std::array<int, kPlainSettings.size()> levels{};             // by kPlainSettings row
  std::array<std::string, kFilterSettings.size()> filters{};   // by kFilterSettings row
  std::array<std::string, kSwitchSettings.size()> switches{};  // by kSwitchSettings row

  [[nodiscard]] VfoState& vfo(Vfo which) { return vfos[static_cast<std::size_t>(which)]; }
  [[nodiscard]] const VfoState& vfo(Vfo which) const {
    return vfos[static_cast<std::size_t>(which)];
  }
  [[nodiscard]] bool Transmitting() const { return keying != Keying::kReceive; }
  [[nodiscard]] bool Split() const { return receiveVfo != transmitVfo; }
  // The VFO the display and the mode commands work on: the transmitting one
  // while keyed, else the receiving one.
  [[nodiscard]] Vfo WorkingVfo() const { return Transmitting() ? transmitVfo : receiveVfo; }

  // A plain setting's value by its letters ("AG"); throws std::invalid_argument
  // for letters that name none.
  [[nodiscard]] int Level(std::string_view letters) const;
  // A filter command's remembered digits by its letters ("SH"); throws
  // std::invalid_argument for letters that name none.
  [[nodiscard]] std::string_view Filter(std::string_view letters) const;
  [[nodiscard]] bool AutoInformation() const { return Level("AI") != 0; }

  bool operator==(const RadioState&) const = default;
};

}  // namespace vantorel::sim
