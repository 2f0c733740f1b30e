// The transmit supervision: a remotely operated transmitter must not stay keyed
// without end (a broken remote link while the radio transmits). Once a second,
// while App 1's transmit command has armed it, the count goes up; at the limit
// typed into ShutDwn the radio is taken out of transmit, App 1 is told that
// transmit and MOX are off, and both sides get the power-off command.
//
// Threading: runs whole on the program's one thread; it never yields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cat/cat_ports.h"
#include "cat/keying.h"

namespace vantorel::supervision {

// The largest count the 16-bit transmit clock can hold. A limit above it is
// treated as this many seconds, so the shutdown still comes.
inline constexpr std::int16_t kLongestTransmission = 32767;

// What the tick reads and writes outside itself.
struct SupervisionContext {
  cat::KeyingState& keying;  // TXOn and TXTime
  std::string_view shutDwn;  // the limit in seconds, as typed
  cat::CatPorts& ports;      // App 1's port and the radio's port
};

struct TickResult {
  bool shutDown = false;
  // The radio's port was closed when its part of the shutdown was due: the
  // radio may still be keyed, and must get it as soon as it is back.
  bool radioMissed = false;
  // Descriptions of shutdown writes the ports refused; the other writes were
  // still made.
  std::vector<std::string> failures;
};

// The limit in seconds as the tick compares it: the leading number of the
// text (fraction included, none gives 0), at most kLongestTransmission.
double ShutdownLimit(std::string_view shutDwn);

// The radio's part of the shutdown alone, in its order (out of transmit, MOX
// off, power off): for a radio that missed it while its port was closed.
void WriteRadioShutdown(cat::CatPorts& ports);

// One tick of Timer2.
TickResult Timer2_Timer(SupervisionContext& ctx);

}  // namespace vantorel::supervision
