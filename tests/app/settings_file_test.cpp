// The settings file as the window uses it, on real files in a temporary
// folder: what loading puts into the controls, when Start is pressed, what the
// user is told, and where the file is written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/qt/qt_desktop.h"
#include "catmux_fixture.h"

namespace vantorel::testing {
namespace {

// A complete file that differs from a new installation in every line taken.
std::vector<std::string> FullFile() {
  // clang-format off
  return {"COM11", "COM12", "COM3", "4800", "7", "Even", "2",
          " 1 ", " 1 ", " 1 ", " 1 ", " 0 ", "/opt/first/one", "/opt/first/two",
          " 0 ", " 0 ", " 0 ", "240", "", "/opt/rigdesk/Rigdesk", "False", "True", "Rigdesk"};
  // clang-format on
}

class WindowSettings : public CatmuxFixture {
 protected:
  void Load(const std::vector<std::string>& lines) {
    WriteFile(SettingsFile(), Lines(lines));
    catmux->Form_Load();
  }
  [[nodiscard]] bool StartPressed() const { return model.Timer2.Enabled(); }
};

TEST_F(WindowSettings, ACompleteFileFillsTheControlsAndPressesStart) {
  model.KenwoodCB.SetValue(Check::Clear);
  Load(FullFile());
  EXPECT_TRUE(StartPressed());
  EXPECT_EQ(model.RadioCom.Text(), "COM3");
  EXPECT_EQ(model.Ignore1.Value(), Check::Ticked);
  EXPECT_EQ(model.ShutDwn.Text(), "240");
  EXPECT_TRUE(model.Option1[1].Value());
  EXPECT_EQ(model.KenwoodCB.Value(), Check::Ticked) << "translating: the radio's text is framed";
  EXPECT_EQ(station.options().transmitLimit, "240") << "the station follows the controls";
  EXPECT_EQ(boxes.shown, std::vector<std::string>{"/opt/rigdesk/Rigdesk not found"});

  // Written back as read, with the framing switch as set, each program path
  // as its second copy left it, and the emulation switch and radio model added.
  std::vector<std::string> expected = FullFile();
  expected[11] = " 1 ";
  expected[12] = expected[18];
  expected[13] = expected[19];
  expected.emplace_back("False");
  expected.emplace_back("auto");
  std::filesystem::remove(SettingsFile());
  catmux->Form_Unload();
  EXPECT_EQ(ReadFile(SettingsFile()), Lines(expected));
}

// A first run offers a station that works with no hardware: App 1 on a
// virtual port and the simulated radio, and no Windows program to look for;
// ports and programs the user named stay.
TEST_F(WindowSettings, NoFileKeepsTheFirstValuesOffersVirtualPortsAndEmptiesTheTestFile) {
  WriteFile(folder.Path() / "TEST.TXT", "old capture");
  model.Soft1Com.SetText("");
  model.Baud.SetText("");
  model.App2Name.SetText("/opt/mine/rig");
  catmux->Form_Load();
  EXPECT_EQ(model.App1Name.Text(), "");
  EXPECT_EQ(model.App2Name.Text(), "/opt/mine/rig");
  EXPECT_FALSE(StartPressed());
  EXPECT_EQ(model.Soft1Com.Text().rfind("pty:/", 0), 0U);
  EXPECT_EQ(model.RadioCom.Text(), "COM7");
  EXPECT_EQ(model.Baud.Text(), "9600");
  EXPECT_EQ(app::SettingsFromForm(model).text7, "FT-950");
  EXPECT_EQ(ReadFile(folder.Path() / "TEST.TXT"), "");
  EXPECT_TRUE(boxes.shown.empty());
  catmux->Command1_Click();
  EXPECT_TRUE(station.IsOpen(station::PortRole::App1) && station.IsOpen(station::PortRole::Radio));
  EXPECT_TRUE(boxes.shown.empty());
}

// A file the program could not read whole: what was read is taken, Start is
// not pressed, the user is told once, and the old file is kept as a copy.
TEST_F(WindowSettings, APartlyReadFileIsToldAndKept) {
  std::vector<std::string> lines = FullFile();
  lines[8] = " 3 ";  // refused
  Load(lines);
  EXPECT_FALSE(StartPressed());
  EXPECT_EQ(model.Ignore1.Value(), Check::Ticked);
  EXPECT_EQ(model.Ignore1Out.Value(), Check::Clear);
  ASSERT_EQ(boxes.shown.size(), 1U);
  EXPECT_NE(boxes.shown[0].find("Catmux.ini.bak"), std::string::npos) << boxes.shown[0];
  catmux->Form_Unload();
  EXPECT_EQ(ReadFile(folder.Path() / "Catmux.ini.bak"), Lines(lines));
  EXPECT_EQ(boxes.shown.size(), 1U);
}

// A FIFO in the file's place would wait for a writer for ever: it is refused
// at once, the user is told why, and nothing is written over it.
TEST_F(WindowSettings, AFifoInTheFilesPlaceIsToldAndLeftAsItIs) {
  ASSERT_EQ(mkfifo(SettingsFile().c_str(), 0600), 0);
  catmux->Form_Load();
  catmux->Form_Unload();
  EXPECT_FALSE(StartPressed());
  EXPECT_NE(boxes.shown.at(0).find("could not be read: Is a FIFO, not a file; it is left as it is"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::is_fifo(SettingsFile()));
}

TEST_F(WindowSettings, WhatCannotBeWrittenIsToldAndATestFileProblemLosesNoSettings) {
  std::filesystem::create_directory(folder.Path() / "TEST.TXT");
  Load(FullFile());
  EXPECT_EQ(boxes.shown.at(0), "TEST.TXT could not be created in " + folder.Path().string());
  EXPECT_EQ(model.Text7.Text(), "Rigdesk");
  EXPECT_TRUE(StartPressed());

  boxes.shown.clear();
  std::filesystem::remove(SettingsFile());
  std::filesystem::create_directory(SettingsFile());  // a folder in the file's place
  model.HlpForm.Show();
  catmux->Form_Unload();
  EXPECT_FALSE(model.HlpForm.Loaded());
  EXPECT_EQ(boxes.shown, std::vector<std::string>{SettingsFile().string() +
                                                  " could not be written: Is a directory"});
}

// The real desktop changes the process's current folder during Start; an Exit
// in the middle of Start's pause still saves beside the program's start.
TEST_F(WindowSettings, SavedInTheStartFolderWhileStartIsAway) {
  const auto programFolder = folder.Path() / "tools";
  std::filesystem::create_directory(programFolder);
  const auto program = programFolder / "logger";
  std::filesystem::copy_file("/bin/true", program);
  model.App1Name.SetText(program.string());
  app::QtDesktop realDesktop;
  app::Catmux withRealDesktop(model, station, settingsFile, realDesktop, loop, boxes);

  std::filesystem::path folderDuringPause;
  loop.Schedule([&] {
    folderDuringPause = std::filesystem::current_path();
    withRealDesktop.Exit_Click();
  });
  withRealDesktop.Command1_Click();

  EXPECT_EQ(folderDuringPause, programFolder);
  EXPECT_TRUE(std::filesystem::exists(SettingsFile()));
  EXPECT_FALSE(std::filesystem::exists(programFolder / "Catmux.ini"));
  EXPECT_EQ(std::filesystem::current_path(), folder.Path());
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace vantorel::testing
