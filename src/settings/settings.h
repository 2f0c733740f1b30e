// What "Catmux.ini" holds, as plain values: the port names and the radio's
// line, the option switches, the two station programs and the window-title
// beginning used to find them. The values a new installation starts with are
// the defaults here.
//
// Threading: plain values.
#pragma once

#include <string>
#include <string_view>

#include "station/options.h"
#include "station/station.h"

namespace vantorel::settings {

// The 25th line's value for a radio learned at every open.
inline constexpr std::string_view kAutoRadioModel = "auto";

struct Settings {
  std::string soft1Com;  // App 1's port
  std::string soft2Com;  // App 2's port
  std::string radioCom;  // the radio's port
  std::string baud;      // the radio's line: speed, data bits, parity, stop bits
  std::string dataBits;
  std::string parity;
  std::string stopBits;
  Check ignore1 = Check::Clear;      // App 1's text dropped
  Check ignore1Out = Check::Clear;   // the radio's text not sent to App 1
  Check ignore2 = Check::Ticked;     // App 2 out of use
  Check ignore2Out = Check::Ticked;  // the radio's text not sent to App 2
  Check kenwoodCB = Check::Ticked;   // the radio's text cut at ";"
  std::string app1Name = "C:\\Program Files (x86)\\Logbench\\Logbench.exe";
  std::string app2Name = "C:\\Program Files (x86)\\Rigdesk\\Rigdesk.exe";
  Check pwrOn = Check::Ticked;      // the radio is switched on and off remotely
  Check check2 = Check::Clear;      // No Translation
  Check monitorTX = Check::Ticked;  // transmit time-out on
  std::string shutDwn = "180";
  bool useApp1 = true;  // Start brings program 1 forward (else program 2)
  bool useApp2 = false;
  std::string text7 = "FT-950";  // the beginning of the program's window title
  bool ft950Emulation = false;   // App 1 is a standard FT-950 client
  // The Kenwood model the emulation speaks to by name ("TS-890S"), or "auto":
  // learned from the radio. Another text is kept as it is and read as "auto".
  std::string radioModel = std::string(kAutoRadioModel);

  bool operator==(const Settings&) const = default;
};

// A first run (no settings file) offers a station that works with no hardware:
// App 1 on a virtual port under the user's runtime folder, the simulated
// radio, and a line for it, and no companion program to look for (the
// Windows paths a new installation names are cleared). Values already set
// (boxes the user filled) stay.
void OfferFirstRun(Settings& settings);

// The station's options these settings give (the monitor switches, which the
// file does not hold, are left as `base` has them).
[[nodiscard]] station::Options ToOptions(const Settings& settings, station::Options base = {});

// The ports Start opens.
[[nodiscard]] station::PortSetup ToPortSetup(const Settings& settings);

// KenwoodCB as the mode sets it: the radio's text is cut into messages while
// translating (App 2 out of use, No Translation clear); shared with App 2 or
// untranslated it passes whole.
[[nodiscard]] constexpr Check KenwoodCBFor(Check ignore2, Check check2) {
  return CheckOf(Ticked(ignore2) && Clear(check2));
}

}  // namespace vantorel::settings
