// The window's handlers on the fake station, with a fake desktop, run in a
// fresh temporary folder that is also the process's current folder (where
// "TEST.TXT" and "Catmux.ini" are made).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/catmux.h"
#include "fake_desktop.h"
#include "fake_station.h"
#include "temp_folder.h"

namespace vantorel::testing {

class CatmuxFixture : public ::testing::Test, public FakeStation {
 protected:
  [[nodiscard]] std::filesystem::path SettingsFile() const { return folder.Path() / "Catmux.ini"; }

  TempFolder folder;
  FakeDesktop desktop;
  // The folder the program starts in: the desktop's current folder.
  const std::string start = desktop.folder = folder.Path().string();
  std::unique_ptr<app::Catmux> catmux =
      std::make_unique<app::Catmux>(model, bridge, desktop, loop, boxes);
};

}  // namespace vantorel::testing
