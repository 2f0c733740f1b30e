// A simulated Kenwood radio that keeps real state: what a program without a
// radio on the desk talks to, and the radio of the end-to-end tests. It speaks
// one model's grammar (radio_model.h): a TS-890S, TS-990S, TS-590S/SG, TS-2000
// or TS-480 answers its own ID and forms and refuses the others with "?;". The
// default, LenientModel(), is a TS-590S that takes the TS-890 class's forms too
// (AGC as GC, lock as LK1, MOX, quick split, ...) and reads the value back, so
// a program written for either family talks to it.
//
// Receive() takes the bytes a computer sends over the CAT line, split anywhere,
// and returns every byte the radio sends back, in order: answers to reads,
// "?;" for what it refuses, and auto-information reports. The front-panel
// operations stand for a person at the radio; each returns the reports it
// causes. While auto-information is on (AI1..AI4), a change of either VFO's
// frequency or of the working VFO's mode or data mode, from the panel or from a
// command, is reported in the form of the model's read ("FA...;", "FB...;",
// "MDn;", "DAn;", "OM0n;"). While the
// radio is switched off (PS0) it answers only PS and sends nothing else.
//
// No I/O and no clock: the caller moves the bytes (a pseudo-terminal, a port
// inside the program, a test).
//
// Threading: one owner thread; no internal locking.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "sim/command_framer.h"
#include "sim/radio_state.h"

namespace vantorel::sim {

class KenwoodRadio {
 public:
  explicit KenwoodRadio(const RadioModel& model = LenientModel());

  // Bytes from the computer in; everything the radio sends back out.
  std::string Receive(std::string_view bytes);

  // Forgets a half-received command, as when the computer went away mid-line.
  void DiscardPartialCommand() { framer_.Reset(); }
  // Bytes held while waiting for a ';' (never more than CommandFramer::kLongestCommand).
  [[nodiscard]] std::size_t PendingBytes() const { return framer_.PendingBytes(); }

  // Front panel. The knobs and keys do nothing while the radio is off.
  // Turns a VFO's knob to `hertz`; the knob stops at the edge of the band
  // nearest to it (the ends of the range, or of a gap between bands).
  std::string TuneVfo(Vfo vfo, std::uint64_t hertz);
  // The mode keys, on the working VFO; dataMode 1..3 is DATA1..DATA3.
  std::string SelectMode(Mode mode, std::uint8_t dataMode = 0);
  // The microphone's transmit switch.
  std::string PressMicrophone(bool pressed);
  // The power switch.
  std::string SwitchPower(bool on);

  // What the band and the transmitter make the meters read, 0 to the model's
  // full scale (clamped).
  void SetSMeter(int reading);
  void SetTransmitMeter(TransmitMeter meter, int reading);

  [[nodiscard]] const RadioState& State() const { return state_; }

 private:
  std::string Handle(std::string_view command);
  // Runs a change and returns the auto-information reports it causes.
  template <class Change>
  std::string Reported(Change&& change);

  RadioState state_;
  CommandFramer framer_;
};

}  // namespace vantorel::sim
