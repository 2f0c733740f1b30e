// Hamlib 4.5.4's names for modes, VFOs and levels, as rigctld prints and
// reads them (case matters: "usb" is no mode), with the bits Hamlib gives
// them in \dump_state's masks.
//
// Threading: constant data, any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "rigctl/rigctl_radio.h"

namespace vantorel::rigctl {

// The name rigctld prints ("FM-D" for data FM: Hamlib 4.5.4 prints that
// spelling, though it reads "PKTFM" too).
std::string_view ModeName(Mode mode);
// A mode of ours by any name Hamlib reads for it ("USB-D" is PKTUSB).
std::optional<Mode> ParseMode(std::string_view name);
// A mode Hamlib knows that no Kenwood HF transceiver has ("WFM", "FMN"):
// rigctld refuses it (RPRT -1), where a name it does not know at all is taken
// and changes nothing (RPRT 0).
bool IsOtherHamlibMode(std::string_view name);
// Names each followed by a blank, in bit order, as rigctld lists them.
std::string ModeList(std::uint32_t modes);

std::string_view VfoName(Vfo vfo);
// "VFOA", "VFOB", "currVFO", "VFO", and "Main"/"Sub", which Hamlib maps to A
// and B on a radio with two VFOs (`rigctl -m 2` sends "V Main" for VFO A).
std::optional<Vfo> ParseVfo(std::string_view name);

struct LevelName {
  Quantity quantity;
  std::string_view name;
  std::uint64_t bit;  // RIG_LEVEL_*
  bool fraction;      // printed "%f" and read "%f"; the others "%d"
  bool settable;
};

// The levels served, in Hamlib's bit order (the order rigctld lists them).
std::span<const LevelName> Levels();
const LevelName* FindLevel(std::string_view name);
// Of all levels served, or of those a client may set.
std::uint64_t LevelBits(bool settableOnly);
std::string LevelList(bool settableOnly);

}  // namespace vantorel::rigctl
