// The transmit state the translations, the receive passes and the transmit
// supervision share: whether the station has keyed the radio, and whether the
// transmit time-out is armed and how long it has counted.
//
// Every way the station keys the radio goes through KeyDown and every way it
// unkeys it through KeyUp, so the time-out comes however the radio was keyed.
//
// Threading: plain values, on the program's one thread.
#pragma once

#include <cstdint>

namespace vantorel::cat {

struct KeyingState {
  bool TXOn = false;        // armed: the radio is taken to be transmitting
  std::int16_t TXTime = 0;  // seconds counted while armed
  bool radioKeyed = false;  // the station keyed the radio and has not unkeyed it since
};

// The radio was keyed; the time-out is armed when its switch is ticked.
inline void KeyDown(KeyingState& keying, bool supervise) {
  keying.radioKeyed = true;
  if (supervise) {
    keying.TXOn = true;
  }
}

// The radio was unkeyed: the time-out is disarmed and its count starts again.
inline void KeyUp(KeyingState& keying) {
  keying.radioKeyed = false;
  keying.TXOn = false;
  keying.TXTime = 0;
}

// An application speaking the radio's own commands keyed or unkeyed it: it
// owns its keying, so the time-out follows whatever its switch says, and an
// unkey keeps the count.
inline void FollowApplicationKeying(KeyingState& keying, bool keyed) {
  keying.TXOn = keyed;
  keying.radioKeyed = keyed;
}

}  // namespace vantorel::cat
