// What the station is told to do, as plain values: the switches the settings
// file keeps besides the port names, and the monitor switches of the window.
// The mode that routing follows is derived from them in one place.
//
// A switch holds a check box's value: 0 clear, 1 ticked, 2 greyed. A greyed
// switch counts as neither: where the station acts on "ticked" it does not act,
// and where it acts on "clear" it does not act either.
//
// Threading: plain values.
#pragma once

#include <string>

namespace vantorel::station {

using Switch = int;
inline constexpr Switch kClear = 0;
inline constexpr Switch kTicked = 1;

[[nodiscard]] inline bool Ticked(Switch value) { return value == kTicked; }
[[nodiscard]] inline bool Clear(Switch value) { return value == kClear; }

// How App 1's commands reach the radio.
enum class Profile {
  Contract,        // the translation built for the remote-control program App 1 was set up with
  Ft950Emulation,  // App 1 is a standard FT-950 client (Hamlib and the like)
};

struct Options {
  Switch ignoreFromApp1 = kClear;      // App 1's text dropped; clear: "AI1;" at start
  Switch ignoreToApp1 = kClear;        // the radio's text not sent to App 1
  Switch app2Unused = kTicked;         // App 2 out of use: translating, its port left shut
  Switch ignoreToApp2 = kTicked;       // the radio's text not sent to App 2
  Switch frameRadioText = kTicked;     // the radio's text cut at ";"
  Switch powerControl = kTicked;       // the radio is switched on and off remotely
  Switch noTranslation = kClear;       // App 1 and the radio joined untranslated
  Switch superviseTransmit = kTicked;  // a key-down arms the transmit time-out
  std::string transmitLimit = "180";   // seconds, as typed
  bool monitor = false;                // App 1's traffic shown
  bool monitorHex = false;             // ... as hexadecimal byte values
  Profile profile = Profile::Contract;

  bool operator==(const Options&) const = default;
};

enum class Mode {
  Translating,    // App 1 speaks FT-950, the radio Kenwood; App 2 out of use
  Sharing,        // App 1 and App 2 share the radio, untranslated
  NoTranslation,  // App 1 and the radio joined untranslated
};

// "No Translation" wins; else App 2 out of use means translating.
[[nodiscard]] Mode ModeOf(const Options& options);

}  // namespace vantorel::station
