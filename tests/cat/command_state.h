// The state and ports the command translation works on, as one piece for the
// tests.
#pragma once

#include "cat/command_translation.h"
#include "recording_ports.h"

namespace vantorel::cat::testing {

struct CommandState {
  TranslationState translation;
  KeyingState keying;
  RecordingPorts ports;
  CommandContext ctx{.translation = translation, .keying = keying, .ports = ports};
};

}  // namespace vantorel::cat::testing
