// What "Catmux.ini" holds, as plain values: the port names and the radio's
// line, the option switches, the two station programs and the window-title
// beginning used to find them. The values a new installation starts with are
// the defaults here.
//
// A switch holds a check box's value: 0 clear, 1 ticked, 2 greyed.
// Threading: plain values.
#pragma once

#include <string>

#include "station/options.h"
#include "station/station.h"

namespace vantorel::settings {

struct Settings {
  std::string soft1Com;  // App 1's port
  std::string soft2Com;  // App 2's port
  std::string radioCom;  // the radio's port
  std::string baud;      // the radio's line: speed, data bits, parity, stop bits
  std::string dataBits;
  std::string parity;
  std::string stopBits;
  int ignore1 = 0;     // App 1's text dropped
  int ignore1Out = 0;  // the radio's text not sent to App 1
  int ignore2 = 1;     // App 2 out of use
  int ignore2Out = 1;  // the radio's text not sent to App 2
  int kenwoodCB = 1;   // the radio's text cut at ";"
  std::string app1Name = "C:\\Program Files (x86)\\Logbench\\Logbench.exe";
  std::string app2Name = "C:\\Program Files (x86)\\Rigdesk\\Rigdesk.exe";
  int pwrOn = 1;      // the radio is switched on and off remotely
  int check2 = 0;     // No Translation
  int monitorTX = 1;  // transmit time-out on
  std::string shutDwn = "180";
  bool useApp1 = true;  // Start brings program 1 forward (else program 2)
  bool useApp2 = false;
  std::string text7 = "FT-950";  // the beginning of the program's window title
  bool ft950Emulation = false;   // App 1 is a standard FT-950 client

  bool operator==(const Settings&) const = default;
};

// The station's options these settings give (the monitor switches, which the
// file does not hold, are left as `base` has them).
[[nodiscard]] station::Options ToOptions(const Settings& settings, station::Options base = {});

// The ports Start opens.
[[nodiscard]] station::PortSetup ToPortSetup(const Settings& settings);

}  // namespace vantorel::settings
