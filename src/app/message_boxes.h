// Message boxes with one OK button and the program's title. Showing one never
// stops the station: the call returns at once and traffic goes on.
//
// Threading: the program's one thread only.
#pragma once

#include <chrono>
#include <map>
#include <string>

#include "station/station_events.h"

namespace vantorel::app {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the text; the log gets it too, in the category of the part that
  // speaks.
  virtual void MsgBox(const std::string& text, station::Topic topic) = 0;
  // The window's own messages (Start, the settings file).
  void MsgBox(const std::string& text) { MsgBox(text, station::Topic::Settings); }
  // The program is ending: a message raised from now on (the settings could
  // not be saved) must still be read before the program goes.
  virtual void ProgramEnding() {}
};

// The same message again within a short time opens no second box: a flood of
// garbage on a port must not bury the desktop in boxes. The log still gets a
// line for every time it came, with its count.
class RepeatFilter {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::seconds kQuietTime{10};

  // How many times the text came within the quiet time of the box shown for
  // it, this time included: 1 means a box is due.
  int Count(const std::string& text, Clock::time_point now);

 private:
  struct Shown {
    Clock::time_point at;
    int times;
  };
  std::map<std::string, Shown> shown_;
};

}  // namespace vantorel::app
