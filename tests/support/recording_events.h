// The station's events, recorded for tests: the latest texts, the monitor,
// messages, notes, port states ("radio open") and traffic.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "station/station_events.h"
#include "station/traffic.h"

namespace vantorel::testing {

struct RecordingEvents : station::StationEvents {
  void LatestText(station::PortRole from, std::string_view text) override {
    latest[static_cast<int>(from)] = text;
  }
  void TranslatedText(std::string_view text) override { latest[0] += text; }
  void Monitor(std::string_view piece) override { monitor += piece; }
  void Message(station::Topic /*topic*/, std::string_view text) override {
    messages.emplace_back(text);
  }
  void Note(station::Topic /*topic*/, std::string_view text) override { notes.emplace_back(text); }
  void PortStateChanged(station::PortRole role, station::PortState state,
                        std::string_view /*reason*/) override {
    static constexpr const char* kRoles[] = {"app1", "app2", "radio"};
    static constexpr const char* kStates[] = {"closed", "open", "reconnecting", "failed",
                                              "refused"};
    states.push_back(std::string(kRoles[static_cast<int>(role)]) + " " +
                     kStates[static_cast<int>(state)]);
  }
  void App1VfoChanged(bool onB) override { vfoB = onB; }
  void CaptureStopped() override { captureStopped = true; }
  // "Logger to Vantorel FA;"
  void Traffic(const station::TrafficLine& line) override {
    traffic.push_back(station::DirectionText(line) + " " + line.text);
  }

  std::string latest[3];  // App 1, App 2, the radio
  std::string monitor;
  std::vector<std::string> messages;
  std::vector<std::string> notes;
  std::vector<std::string> states;
  std::vector<std::string> traffic;
  bool vfoB = false;
  bool captureStopped = false;
};

}  // namespace vantorel::testing
