// The window's handlers and binding on the station, with in-memory ports, a
// scripted event loop, recorded message boxes and a fake desktop, run in a
// fresh temporary folder (where "TEST.TXT" and "Catmux.ini" are made). The
// port boxes name App 1's port COM5, App 2's COM6 and the radio's COM7.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/catmux.h"
#include "app/station_view.h"
#include "app/window_binding.h"
#include "fake_desktop.h"
#include "fake_loop.h"
#include "fake_ports.h"
#include "temp_folder.h"

namespace vantorel::testing {

struct FakeMessageBoxes : app::MessageBoxes {
  using MessageBoxes::MsgBox;
  void MsgBox(const std::string& text, station::Topic /*topic*/) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

inline bool IsOpen(const FakeDevice& device) { return device.port && device.port->IsOpen(); }

class CatmuxFixture : public ::testing::Test {
 protected:
  CatmuxFixture() {
    model.Soft1Com.SetText("COM5");
    model.Soft2Com.SetText("COM6");
    model.RadioCom.SetText("COM7");
    model.Baud.SetText("4800");
    model.Parity.SetText("Even");
    model.DataBits.SetText("8");
    model.StopBits.SetText("1");
  }
  [[nodiscard]] std::filesystem::path SettingsFile() const { return folder.Path() / "Catmux.ini"; }

  TempFolder folder;
  model::CatmuxModel model;
  std::shared_ptr<WriteLog> log = std::make_shared<WriteLog>();
  FakePortFactory factory{log};
  FakeDevice& app1 = factory.Device("COM5");
  FakeDevice& app2 = factory.Device("COM6");
  FakeDevice& radio = factory.Device("COM7");
  FakeEventLoop loop;
  FakeMessageBoxes boxes;
  std::vector<std::string> logLines;
  app::StationView view{
      model, boxes, [this](station::Topic, std::string_view text) { logLines.emplace_back(text); }};
  station::Station station{factory, loop, view, folder.Path()};
  app::WindowBinding binding{model, station, view};
  settings::SettingsFile settingsFile{folder.Path()};
  FakeDesktop desktop;
  // The folder the program starts in: the desktop's current folder.
  const std::string start = desktop.folder = folder.Path().string();
  std::unique_ptr<app::Catmux> catmux =
      std::make_unique<app::Catmux>(model, station, settingsFile, desktop, loop, boxes);
};

}  // namespace vantorel::testing
