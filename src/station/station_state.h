// The station's running state, owned by the core: App 1's and App 2's text on
// its way, the pending-answer flags, the transmit state, which VFO App 1 works
// on and the keyer mode. Everything starts empty, False or 0.
//
// Threading: the program's one thread, without locks; a receive pass that
// waits lets other handlers change these in its middle.
#pragma once

#include <cstdint>
#include <string>

#include "cat/command_translation.h"
#include "cat/keying.h"

namespace vantorel::station {

struct StationState {
  std::string Soft1Data;              // App 1's text in hand
  std::string Soft1Buf;               // App 1's text not yet cut into commands
  std::string Soft2Data;              // App 2's text not yet forwarded
  bool Soft1Waiting = false;          // App 1's text went toward the radio, no radio text since
  bool Soft2Waiting = false;          // the same for App 2
  cat::KeyingState keying;            // TXOn and TXTime
  cat::TranslationState translation;  // App 1 on VFO B, CW key mode
  bool InGetData1 = false;            // re-entry guards of the receive passes
  bool InGetData2 = false;
  bool InGetData3 = false;
  // Messages received since Start, from App 1 and from the radio.
  std::uint64_t app1Messages = 0;
  std::uint64_t radioMessages = 0;
  // A transmit time-out shut down App 1's side while the radio's port was
  // closed: the radio still gets its shutdown, first thing when it is back.
  bool radioShutdownDue = false;
};

}  // namespace vantorel::station
