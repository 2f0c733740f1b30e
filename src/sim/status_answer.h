// The radio's 38-character IF status answer, built from its state, and the
// mode codes it shares with the mode commands.
//
// Threading: a pure function.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "sim/radio_state.h"

namespace vantorel::sim {

// Where the fields other programs read sit in the answer.
inline constexpr std::size_t kStatusLength = 38;
inline constexpr std::size_t kStatusFrequency = 2;   // eleven digits of hertz
inline constexpr std::size_t kStatusRitOffset = 18;  // sign and four digits
inline constexpr std::size_t kStatusRitOn = 23;
inline constexpr std::size_t kStatusXitOn = 24;
inline constexpr std::size_t kStatusTransmit = 28;
inline constexpr std::size_t kStatusMode = 29;
inline constexpr std::size_t kStatusVfo = 30;
inline constexpr std::size_t kStatusSplit = 32;

// The code `codes` give the VFO's mode and data mode; the base mode's where
// they have no data code; '0' (no mode) where they lack the mode too.
char ModeCodeOf(std::span<const ModeCode> codes, const VfoState& vfo);

// "IF", the working VFO's frequency, five blanks, the RIT/XIT offset (its sign
// as the model writes it), RIT and XIT on, memory channel 000, receive/transmit,
// mode, VFO, scan off, split, tone off, tone number 00, 0, ";".
std::string StatusAnswer(const RadioState& state);

}  // namespace vantorel::sim
