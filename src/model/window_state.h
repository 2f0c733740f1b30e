// The variables the window's procedures share. All start False, 0 or "" and
// live as long as the program. No locks: everything runs on one thread, but a
// receive pass that waits lets other handlers run in its middle.
#pragma once

#include <cstdint>
#include <string>

namespace vantorel::model {

struct WindowState {
  std::string Soft1Data;      // App 1's text in hand
  std::string Soft1Buf;       // App 1's text not yet cut into commands
  std::string Soft2Data;      // App 2's text not yet forwarded
  bool Soft1Waiting = false;  // App 1's text went toward the radio, no radio text since
  bool Soft2Waiting = false;  // the same for App 2
  bool TXOn = false;          // the radio has been keyed; the transmit clock runs
  std::int16_t TXTime = 0;    // seconds counted while TXOn
  bool InGetData1 = false;    // re-entry guards of the receive procedures
  bool InGetData2 = false;
  bool InGetData3 = false;
};

}  // namespace vantorel::model
