// What the station is told to do, as plain values: the switches the settings
// file keeps besides the port names, and the monitor switches of the window.
// The mode that routing follows is derived from them in one place.
//
// Threading: plain values.
#pragma once

#include <string>

#include "common/check.h"

namespace vantorel::station {

// How App 1's commands reach the radio while translating.
enum class Profile {
  Contract,   // the translation built for the remote-control program App 1 was set up with
  Emulation,  // App 1 is a standard client of the radio it believes it talks to
};

struct Options {
  Check ignoreFromApp1 = Check::Clear;   // App 1's text dropped; clear: auto-information at start
  Check ignoreToApp1 = Check::Clear;     // the radio's text not sent to App 1
  Check app2Unused = Check::Ticked;      // App 2 out of use: translating, its port left shut
  Check ignoreToApp2 = Check::Ticked;    // the radio's text not sent to App 2
  Check frameRadioText = Check::Ticked;  // the radio's text cut into messages
  Check powerControl = Check::Ticked;    // the radio is switched on and off remotely
  Check noTranslation = Check::Clear;    // App 1 and the radio joined untranslated
  Check superviseTransmit = Check::Ticked;  // a key-down arms the transmit time-out
  std::string transmitLimit = "180";        // seconds, as typed
  bool monitor = false;                     // App 1's traffic shown
  bool monitorHex = false;                  // ... as hexadecimal byte values
  Profile profile = Profile::Contract;
  // The Kenwood model the user pinned by name; "auto" (or empty): learned
  // from the radio while App 1 is emulating.
  std::string radioModel = "auto";

  bool operator==(const Options&) const = default;
};

// The four ways the station joins App 1, App 2 and the radio, as the window's
// Mode choice shows them.
enum class Mode {
  Translating,    // App 1's commands translated for the radio, with echoes; App 2 out of use
  Emulating,      // the same for a standard client, answered as its own radio would
  Sharing,        // App 1 and App 2 share the radio, untranslated
  NoTranslation,  // App 1 and the radio joined untranslated
};

// "No Translation" wins; else App 2 out of use means translating, in the
// chosen profile.
[[nodiscard]] Mode ModeOf(const Options& options);

// Whether App 1's commands are translated (either profile).
[[nodiscard]] constexpr bool Translates(Mode mode) {
  return mode == Mode::Translating || mode == Mode::Emulating;
}

}  // namespace vantorel::station
