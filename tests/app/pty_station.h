// The window's station over real pseudo-terminals through the real serial
// layer: the test plays App 1, App 2 and the radio on the controlling sides,
// the station opens the terminal sides by path, as a station on Linux would.
// Start's two-second pause passes on a scripted clock; the ports run on Qt.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>

#include "catmux_fixture.h"
#include "ports/port_factory.h"
#include "ports/qt_event_loop.h"
#include "pty_pair.h"

namespace vantorel::testing {

class PtyStation : public ::testing::Test {
 protected:
  PtyStation() {
    model.Soft1Com.SetText(app1End.Path());
    model.RadioCom.SetText(radioEnd.Path());
    model.Baud.SetText("38400");
    model.Parity.SetText("None");
    model.DataBits.SetText("8");
    model.StopBits.SetText("1");
    model.App1Name.SetText("");  // no companion program to look for
    desktop.folder = folder.Path().string();
  }

  // Start, as the button does; the radio first hears auto-information on.
  void Start() {
    catmux.Command1_Click();
    ASSERT_TRUE(boxes.shown.empty()) << boxes.shown.front();
    ASSERT_EQ(radioEnd.Read(4, pump), "AI1;");
  }

  TempFolder folder;
  ports::QtEventLoop loop;
  // Lets the real event loop run a moment, between looks at a device.
  std::function<void()> pump = [this] { loop.Wait(std::chrono::milliseconds(1)); };
  PtyPair app1End;
  PtyPair radioEnd;
  model::CatmuxModel model;
  FakeMessageBoxes boxes;
  app::StationView view{model, boxes, [](station::Topic, std::string_view) {}};
  ports::QtPortFactory factory;
  station::Station station{factory, loop, view, folder.Path()};
  app::WindowBinding binding{model, station, view};
  settings::SettingsFile settingsFile{folder.Path()};
  FakeEventLoop startLoop;
  FakeDesktop desktop;
  app::Catmux catmux{model, station, settingsFile, desktop, startLoop, boxes};
};

}  // namespace vantorel::testing
