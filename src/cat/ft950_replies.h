// App 1's FT-950 answers built from the radio's latest values, and the
// radio's values App 1's settings become.
//
// App 1's own choices are remembered where the radio cannot tell them apart
// (FM and FM-N share the radio's mode, App 1's 0..255 microphone gain is the
// radio's 0..100, a data mode the radio has no code for): while the radio
// still holds what App 1 set, App 1 reads back exactly its own value; once
// the radio differs, the radio's value wins and the memory is dropped. A
// value the radio never told and App 1 never set reads as the FT-950's
// neutral one.
//
// Threading: used by one Ft950Emulation on its caller's thread.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "cat/ft950_radio_answers.h"
#include "cat/ft950_tables.h"

namespace vantorel::cat::ft950 {

struct App1Choices {
  static constexpr int kNoLevel = -1;

  char mode = 0;  // App 1's last mode character; 0 for none
  char agc = 0;   // App 1's last AGC digit; 0 for none
  std::array<int, kLevels.size()> levels = [] {
    std::array<int, kLevels.size()> none{};
    none.fill(kNoLevel);
    return none;
  }();
  char lastMode = 0;  // the mode App 1 was last told, for the radio's mode digits without one
};

// The kModes row of App 1's mode for the radio's mode code and data switch
// (nullopt: the radio does not say); nullopt when the radio shows no mode App
// 1 knows and App 1 was never told one.
std::optional<std::size_t> ModeRow(const RadioDialect& dialect, char code, std::optional<bool> data,
                                   App1Choices& choices);

// The kModes row of the mode the radio is in now, as best known; USB before
// anything is known.
std::size_t CurrentModeRow(const RadioAnswers& radio, App1Choices& choices);

// The radio's setting for App 1's mode row (its mode and, on a radio with a
// data switch, the switch), and the values it leaves the radio with.
struct ModeSetting {
  std::string text;
  std::string modeValue;
  char data = 0;  // the data switch's value; 0 when it is not set
};
ModeSetting ModeSettingFor(const RadioDialect& dialect, std::size_t row, char vfo);

// The radio's value of a level row as App 1 sets it.
int LevelToRadio(const RadioDialect& dialect, const Level& level, int app1Value);

// The radio's value for App 1's AGC choice.
int AgcToRadio(const RadioDialect& dialect, const AgcChoice& choice);

// App 1's answer for a reply from the radio's latest values; "?;" when they
// cannot give one.
std::string ReplyFromRadio(Reply reply, const RadioAnswers& radio, App1Choices& choices);

}  // namespace vantorel::cat::ft950
