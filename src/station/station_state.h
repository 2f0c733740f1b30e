// The station's running state, owned by the core: App 1's and App 2's text on
// its way, the pending-answer flags, the transmit state and what the radio is
// still owed to be safe. Everything starts empty, False or 0.
//
// Threading: the program's one thread, without locks; a receive pass that
// waits lets other handlers change these in its middle.
#pragma once

#include <cstdint>
#include <string>

#include "cat/keying.h"

namespace vantorel::station {

// What the radio must get to be safe after the station keyed it: nothing, its
// unkey, or the whole transmit shutdown (unkey, MOX off, power off). The
// larger includes the smaller.
enum class RadioRelease { Nothing, Unkey, Shutdown };

struct StationState {
  std::string Soft1Data;      // App 1's text in hand
  std::string Soft2Data;      // App 2's text not yet forwarded
  bool Soft1Waiting = false;  // App 1's text went toward the radio, no radio text since
  bool Soft2Waiting = false;  // the same for App 2
  cat::KeyingState keying;    // TXOn and TXTime
  bool InGetData1 = false;    // re-entry guards of the receive passes
  bool InGetData2 = false;
  bool InGetData3 = false;
  // Messages received since Start, from App 1 and from the radio.
  std::uint64_t app1Messages = 0;
  std::uint64_t radioMessages = 0;
  // Handed to the radio's port ahead of other text, and not seen sent yet:
  // the radio counts as keyed until it has left.
  RadioRelease releaseInFlight = RadioRelease::Nothing;
  // Due when the radio's port is next open (it was closed or lost before the
  // release left, or when the time-out came): sent first thing then.
  RadioRelease releaseDue = RadioRelease::Nothing;
};

}  // namespace vantorel::station
