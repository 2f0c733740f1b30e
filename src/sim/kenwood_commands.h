// One whole command from the computer, carried out on the radio's state.
//
// Sets are silent, reads give one answer ("RM;" gives one per meter), and
// what the radio does not know or cannot take (unknown letters, a malformed
// parameter, a value out of range) is refused and leaves the state as it was.
// Power gating and auto-information are the caller's (KenwoodRadio).
//
// Threading: a pure function of its arguments.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sim/radio_state.h"

namespace vantorel::sim {

// The answer to send back (empty for a set), or nullopt when the radio refuses
// the command and answers "?;".
using Reply = std::optional<std::string>;

// `command` is one command with its ';', as CommandFramer gives it.
Reply Execute(RadioState& state, std::string_view command);

}  // namespace vantorel::sim
