// The real station on the real port kinds and the Qt event loop, as the
// program without its window drives it, with what it reports recorded.
#pragma once

#include <gtest/gtest.h>

#include <QTcpServer>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "application.h"
#include "child_process.h"
#include "ports/port_factory.h"
#include "ports/qt_event_loop.h"
#include "pty_pair.h"
#include "recording_events.h"
#include "station/station.h"
#include "temp_folder.h"

namespace vantorel::testing {

class StationRig : public ::testing::Test {
 protected:
  // Start with these ports; a refusal fails the test with the station's message.
  void Start(const std::string& app1, const std::string& radio) {
    station.InitPorts({app1, "", radio, "38400,N,8,1"});
    ASSERT_TRUE(events.messages.empty()) << events.messages.front();
  }
  void NoTranslation() {
    station::Options options = station.options();
    options.noTranslation = Check::Ticked;
    station.SetOptions(options);
  }
  bool Until(const std::function<bool()>& done,
             std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    return PumpUntil(done, pump, limit);
  }
  // A program run to its end on a thread of its own while the station's event
  // loop runs here (rigctl talking to the station, say).
  Finished RunPumping(const std::vector<std::string>& argv) {
    auto run =
        std::async(std::launch::async, [argv] { return RunToEnd(argv, std::chrono::seconds(60)); });
    Until([&] { return run.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
          std::chrono::seconds(90));
    return run.get();
  }
  // How many notes so far contain `text`.
  [[nodiscard]] long Notes(const std::string& text) const {
    return std::count_if(events.notes.begin(), events.notes.end(),
                         [&](const std::string& note) { return note.find(text) != note.npos; });
  }

  TempFolder folder;
  ports::QtEventLoop loop;
  std::function<void()> pump = [this] { loop.Wait(std::chrono::milliseconds(1)); };
  ports::QtPortFactory factory;
  RecordingEvents events;
  station::Station station{factory, loop, events, folder.Path()};
  const std::string app1Link = (folder.Path() / "app1").string();
};

// A port number on 127.0.0.1 that nothing listens on just now.
inline quint16 FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost, 0);
  return probe.serverPort();
}
}  // namespace vantorel::testing
