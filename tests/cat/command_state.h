// The window-level state and ports the command translation works on, as one
// piece for the tests.
#pragma once

#include <cstdint>
#include <string>

#include "cat/command_translation.h"
#include "recording_ports.h"

namespace vantorel::cat::testing {

struct CommandState {
  std::string soft1Buf;
  bool shape1Visible = false;
  bool txOn = false;
  std::int16_t txTime = 0;
  RecordingPorts ports;
  CommandContext ctx{soft1Buf, shape1Visible, txOn, txTime, true, true, true, ports};
  CommandTranslator translator;
};

}  // namespace vantorel::cat::testing
