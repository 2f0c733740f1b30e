// Every command rigctld 4.5.4 knows, with what its input looks like: even the
// ones this server does not carry out must take their inputs off the stream
// exactly as rigctld does, or what follows would be read out of step.
//
// A command is one character ("f") or '\' and a name ("\get_freq"); the
// commands without a printable character ("\chk_vfo") are reached by name,
// or by their code as a raw byte, as in rigctld.
//
// Threading: constant data, any thread.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vantorel::rigctl {

// The commands carried out here that have no printable character.
namespace code {
inline constexpr unsigned char kSetPowerStatus = 0x87;
inline constexpr unsigned char kGetPowerStatus = 0x88;
inline constexpr unsigned char kDumpState = 0x8f;
inline constexpr unsigned char kCheckVfo = 0xf0;
inline constexpr unsigned char kSetVfoOption = 0xf2;
inline constexpr unsigned char kGetVfoInfo = 0xf3;
inline constexpr unsigned char kGetClock = 0xf9;
inline constexpr unsigned char kSetSeparator = 0xa0;
inline constexpr unsigned char kGetSeparator = 0xa1;
inline constexpr unsigned char kSetLockMode = 0xa2;
inline constexpr unsigned char kGetLockMode = 0xa3;
}  // namespace code

struct CommandSpec {
  unsigned char code;
  std::string_view name;
  // Whitespace-separated words read after the command; the second and third
  // are not read when the first starts with '?' (a question for the list of
  // allowed values).
  std::uint8_t inputs = 0;
  // The one input is the rest of the line ("w", "b").
  bool lineInput = false;
  // Success prints values and, in the plain form, no "RPRT 0" (ARG_OUT).
  bool answersValues = false;
  // Preceded by a VFO word while the client has the VFO option on.
  bool takesVfo = true;
  // The extended form's labels: of the inputs, then of the values.
  std::array<std::string_view, 6> labels{};
};

const CommandSpec* FindCommand(unsigned char code);
// By long name, exactly (no '\').
const CommandSpec* FindCommand(std::string_view name);

}  // namespace vantorel::rigctl
