// ChangeInput: App 1's Yaesu FT-950 commands rewritten into Kenwood commands.
//
// One App 1 command goes in; the text for the radio comes out (one or more
// Kenwood commands joined, or nothing). A few commands are also answered to
// App 1 at once, or cause extra commands to the radio, through CatPorts, always
// before the caller sends the returned text.
//
// Threading: runs whole on the program's one thread; it never yields.
#pragma once

#include <cstdint>
#include <string>

#include "cat/cat_ports.h"

namespace vantorel::cat {

// What the command translation reads and writes outside itself. The references
// point at the window-level state owned by the program.
struct CommandContext {
  std::string& soft1Buf;  // App 1's text not yet cut into commands (Soft1Buf)
  bool& shape1Visible;    // Shape1 shown: App 1 has selected VFO B
  bool& txOn;             // TXOn: the transmit supervision is armed
  std::int16_t& txTime;   // TXTime: seconds counted while armed
  bool ignore2 = true;    // Ignore2 ticked: App 2 not in use
  // PWROn's check box value: 1 ticked (the radio may be switched on and off
  // remotely), 0 clear, 2 greyed. Greyed counts as neither: App 1's power-on
  // passes and its power read gets no answer from here.
  int pwrOn = 1;
  bool monitorTX = true;  // MonitorTX ticked: "MX1;" arms the supervision
  CatPorts& ports;
};

class CommandTranslator {
 public:
  // Translates oneData in place and returns the same final text. Faults stay
  // inside: a port that refuses a write is skipped, a parameter too large for
  // 16 bits is not taken, and the translation goes on.
  std::string ChangeInput(std::string& oneData, CommandContext& ctx);

  // True after App 1 chose CW with "MK2;", until another mode key.
  [[nodiscard]] bool CWKeyMode() const { return cwKeyMode_; }

 private:
  bool cwKeyMode_ = false;
};

}  // namespace vantorel::cat
