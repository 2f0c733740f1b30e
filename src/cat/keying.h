// The transmit state the translations and the transmit supervision share:
// whether the supervision is armed and how long it has counted.
//
// Threading: plain values, on the program's one thread.
#pragma once

#include <cstdint>

namespace vantorel::cat {

struct KeyingState {
  bool TXOn = false;        // armed: the radio is taken to be transmitting
  std::int16_t TXTime = 0;  // seconds counted while armed
};

}  // namespace vantorel::cat
