// The station's events as log lines, for the program without a window. What
// the window shows in a message box is a warning line; a note is an info line;
// a port that opens, closes, is lost or comes back gets a line with its
// reason; App 1's traffic is logged only while the monitor is on (the station
// then hands it over in the monitor's form, text or hexadecimal). The latest
// texts of the window's boxes are not logged.
//
// Threading: the program's one thread, called from inside the station's
// handlers; nothing here calls back into the station.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "station/station_events.h"

namespace vantorel::nox {

class LogEvents final : public station::StationEvents {
 public:
  // `portFailed` hears of App 1's or the radio's port lost for good. It is
  // called from inside the station and must not call back into it.
  explicit LogEvents(std::function<void(station::PortRole)> portFailed)
      : portFailed_(std::move(portFailed)) {}

  void LatestText(station::PortRole /*from*/, std::string_view /*text*/) override {}
  void TranslatedText(std::string_view text) override;
  void Monitor(std::string_view piece) override;
  void Message(station::Topic topic, std::string_view text) override;
  void Note(station::Topic topic, std::string_view text) override;
  void PortStateChanged(station::PortRole role, station::PortState state,
                        std::string_view reason) override;
  void App1VfoChanged(bool vfoB) override;
  void CaptureStopped() override;
  void ApplicationStateChanged(std::string_view name, station::PortState state,
                               std::string_view reason) override;

 private:
  std::function<void(station::PortRole)> portFailed_;
};

// "App 1's port", "App 2's port", "the radio's port".
[[nodiscard]] std::string_view PortTitle(station::PortRole role);
// A sentence about the port: "The radio's port" and then `rest`.
[[nodiscard]] std::string PortSentence(station::PortRole role, std::string_view rest);

}  // namespace vantorel::nox
