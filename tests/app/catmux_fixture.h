// The window's handlers on three in-memory ports, a scripted event loop, a
// fake desktop and recorded message boxes, run in a fresh temporary folder
// that is also the process's current folder (where "TEST.TXT" is created).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/catmux.h"
#include "bridge/bridge.h"
#include "fake_desktop.h"
#include "fake_platform.h"
#include "fake_serial_port.h"
#include "model/catmux_model.h"

namespace vantorel::testing {

// A new empty folder, made the current folder while it lives; removed after.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantorel-app-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("no temporary folder");
    }
    path_ = pattern;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

inline std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

// Joins lines, each ended by `ending`.
inline std::string Lines(const std::vector<std::string>& lines,
                         const std::string& ending = "\r\n") {
  std::string text;
  for (const std::string& line : lines) {
    text += line + ending;
  }
  return text;
}

class CatmuxFixture : public ::testing::Test {
 protected:
  CatmuxFixture() {
    desktop.folder = folder.Path().string();
    // Port and line settings that every fake port accepts.
    model.Soft1Com.SetText("COM11");
    model.RadioCom.SetText("COM3");
    model.Baud.SetText("9600");
    model.Parity.SetText("None");
    model.DataBits.SetText("8");
    model.StopBits.SetText("1");
  }

  [[nodiscard]] std::filesystem::path SettingsFile() const { return folder.Path() / "Catmux.ini"; }

  TempFolder folder;
  std::shared_ptr<WriteLog> log = std::make_shared<WriteLog>();
  FakeSerialPort app1{"app1", log};
  FakeSerialPort app2{"app2", log};
  FakeSerialPort radio{"radio", log};
  model::CatmuxModel model;
  FakeEventLoop loop;
  FakeMessageBoxes boxes;
  FakeDesktop desktop;
  bridge::Bridge bridge{model, {app1, app2, radio}, loop, boxes};
  std::unique_ptr<app::Catmux> catmux = MakeCatmux();

 private:
  std::unique_ptr<app::Catmux> MakeCatmux() {
    desktop.folder = folder.Path().string();
    return std::make_unique<app::Catmux>(model, bridge, desktop, loop, boxes);
  }
};

}  // namespace vantorel::testing
