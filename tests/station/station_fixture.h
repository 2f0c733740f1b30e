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
#include "recording_events.h"
#include "station/station.h"
#include "temp_folder.h"

namespace vantorel::testing {

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
    Set([](station::Options& o) { o.app2Unused = Check::Clear; });
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
