// ChangeInput: App 1's Yaesu FT-950 commands rewritten into Kenwood commands.
//
// One App 1 command goes in; the text for the radio comes out (one or more
// Kenwood commands joined, or nothing). A few commands are also answered to
// App 1 at once, or cause extra commands to the radio, through CatPorts, always
// before the caller sends the returned text.
//
// Threading: runs whole on the program's one thread; it never yields.
#pragma once

#include <cstddef>
#include <string>

#include "cat/cat_ports.h"
#include "cat/keying.h"
#include "common/check.h"

namespace vantorel::cat {

// What the translation remembers from one App 1 command to the next; the
// station keeps it.
struct TranslationState {
  bool app1OnVfoB = false;  // App 1 has selected VFO B ("VS1;")
  bool CWKeyMode = false;   // App 1 chose CW with "MK2;", until another mode key
};

// What the command translation reads and writes outside itself.
struct CommandContext {
  // In: how many characters of App 1's block are still to be cut into
  // commands after this one (Soft1Buf).
  std::size_t pendingLength = 0;
  // Out: the rest of App 1's block is to be dropped.
  bool dropPending = false;
  TranslationState& translation;
  KeyingState& keying;
  bool ignore2 = true;  // Ignore2 ticked: App 2 not in use
  // PWROn: ticked, the radio may be switched on and off remotely. Greyed
  // counts as neither: App 1's power-on passes and its power read gets no
  // answer from here.
  Check pwrOn = Check::Ticked;
  bool monitorTX = true;  // MonitorTX ticked: "MX1;" arms the supervision
  CatPorts& ports;
};

// Translates oneData in place and returns the same final text. Faults stay
// inside: a port that refuses a write is skipped, a parameter too large for 16
// bits is not taken, and the translation goes on.
std::string ChangeInput(std::string& oneData, CommandContext& ctx);

}  // namespace vantorel::cat
