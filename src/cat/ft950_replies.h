// App 1's FT-950 answers built from the radio's latest Kenwood answers.
//
// App 1's own choices are remembered where the radio cannot tell them apart
// (FM and FM-N share the radio's digits, App 1's 0..255 microphone gain is the
// radio's 0..100): while the radio still holds what App 1 set, App 1 reads
// back exactly its own value; once the radio differs, the radio's value wins
// and the memory is dropped.
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

// The kModes row of the radio's mode and data digits; nullopt when the radio
// shows no mode App 1 knows and App 1 was never told one.
std::optional<std::size_t> ModeRow(char radioMode, char radioData, App1Choices& choices);

// The kModes row of the mode the radio is in now, as best known; USB before
// anything is known.
std::size_t CurrentModeRow(const RadioAnswers& radio, App1Choices& choices);

// The radio's value of a level row as App 1 sets it.
int LevelToRadio(const Level& level, int app1Value);

// App 1's answer for a reply from the radio's latest answers; "?;" when they
// cannot give one.
std::string ReplyFromRadio(Reply reply, const RadioAnswers& radio, App1Choices& choices);

}  // namespace vantorel::cat::ft950
