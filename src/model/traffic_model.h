// The Traffic window as a model: the last messages of every port with their
// time and direction, which of them are shown (by port, as text or in
// hexadecimal), and whether the list is paused. The station's traffic events
// fill it; the Qt window only shows it. Kept like the monitor box: at most
// kMonitorLines messages and kMonitorCharacters characters, the oldest going
// first.
//
// Threading: the program's one thread only.
#pragma once

#include <cstddef>
#include <deque>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "model/signal.h"
#include "station/traffic.h"

namespace vantorel::model {

class TrafficModel {
 public:
  // Kept unless paused; told to the view when shown.
  void Add(station::TrafficLine line);
  [[nodiscard]] const std::deque<station::TrafficLine>& Lines() const { return lines_; }
  // Whether the line passes the filter (by whose port it is).
  [[nodiscard]] bool Shows(const station::TrafficLine& line) const;
  // A shown line as the list shows it.
  [[nodiscard]] std::string LineText(const station::TrafficLine& line) const;
  // The shown lines, each ended by a line feed: what Copy and Save take.
  [[nodiscard]] std::string Text() const;
  // Writes Text() to the file; nothing on success, else why not.
  [[nodiscard]] std::optional<std::string> Save(const std::filesystem::path& file) const;

  [[nodiscard]] bool Paused() const { return paused_; }
  void SetPaused(bool paused);
  [[nodiscard]] bool Hex() const { return hex_; }
  void SetHex(bool hex);
  [[nodiscard]] bool ShowsSource(station::TrafficSource source) const;
  void ShowSource(station::TrafficSource source, bool shown);
  void Clear();

  // The window is open: the station reports traffic while it is.
  [[nodiscard]] bool Open() const { return open_; }
  void SetOpen(bool open);

  Signal<const station::TrafficLine&> added;  // a shown line came
  Signal<> changed;                           // the list is to be shown anew

 private:
  std::deque<station::TrafficLine> lines_;
  std::size_t characters_ = 0;
  std::set<station::TrafficSource> hidden_;  // what the filter leaves out
  bool paused_ = false;
  bool hex_ = false;
  bool open_ = false;
};

}  // namespace vantorel::model
