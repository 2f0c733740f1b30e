// The station as the programs wire it, on in-memory ports that share one write
// log, a scripted event loop and recorded events. Start has opened App 1's
// port "/dev/app1" and the radio's "/dev/radio"; App 2 is out of use.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_loop.h"
#include "fake_ports.h"
#include "station/station.h"
#include "temp_folder.h"

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
    static constexpr const char* kStates[] = {"closed", "open", "reconnecting", "failed"};
    states.push_back(std::string(kRoles[static_cast<int>(role)]) + " " +
                     kStates[static_cast<int>(state)]);
  }
  void App1VfoChanged(bool onB) override { vfoB = onB; }
  void CaptureStopped() override { captureStopped = true; }

  std::string latest[3];  // App 1, App 2, the radio
  std::string monitor;
  std::vector<std::string> messages;
  std::vector<std::string> notes;
  std::vector<std::string> states;
  bool vfoB = false;
  bool captureStopped = false;
};

class StationTest : public ::testing::Test {
 protected:
  StationTest() {
    station.InitPorts(setup);
    factory.ForgetWrites();
    events.states.clear();
  }

  // Changes the options as a click in the window would.
  template <class Change>
  void Set(Change change) {
    station::Options options = station.options();
    change(options);
    station.SetOptions(options);
  }
  void Sharing() {
    Set([](station::Options& o) { o.app2Unused = 0; });
    station.InitPorts(setup);
    factory.ForgetWrites();
  }

  FakeDevice& Device(const std::string& name) { return factory.Device(name); }
  FakeSerialPort& App1() { return *Device(setup.app1).port; }
  FakeSerialPort& App2() { return *Device(setup.app2).port; }
  FakeSerialPort& Radio() { return *Device(setup.radio).port; }
  // The writes so far, as "device:text" joined by blanks.
  [[nodiscard]] std::string Log() const {
    std::string joined;
    for (const std::string& write : *log) {
      joined += (joined.empty() ? "" : " ") + write;
    }
    return joined;
  }
  station::StationState& State() { return station.state(); }

  TempFolder folder;
  station::PortSetup setup{"/dev/app1", "/dev/app2", "/dev/radio", "4800,E,8,1"};
  std::shared_ptr<WriteLog> log = std::make_shared<WriteLog>();
  FakePortFactory factory{log};
  FakeEventLoop loop;
  RecordingEvents events;
  station::Station station{factory, loop, events, folder.Path()};
};

}  // namespace vantorel::testing
