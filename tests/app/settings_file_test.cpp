// The settings file "Catmux.ini" on real files in a temporary folder: what is
// written, what loading applies, where it stops, and when Start is pressed.
#include "app/settings_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/qt/qt_desktop.h"
#include "catmux_fixture.h"

namespace vantorel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The design-time program paths.
constexpr const char* kLogbench = "C:\\Program Files (x86)\\Logbench\\Logbench.exe";
constexpr const char* kRigdesk = "C:\\Program Files (x86)\\Rigdesk\\Rigdesk.exe";

// A complete file: every line differs from the design-time value. Lines 2,
// 10, 11 and 12 (App 2 and KenwoodCB) are ignored on loading; the program
// paths of lines 13 and 14 come again as lines 19 and 20, which win.
std::vector<std::string> FullFile() {
  // clang-format off
  return {"COM11", "COM12", "COM3", "4800", "7", "Even", "2",  // ports, line settings
          " 1 ", " 1 ", " 0 ", " 0 ", " 0 ",         // Ignore1/1Out, Ignore2/2Out, KenwoodCB
          "/opt/first/one", "/opt/first/two",        // App1Name, App2Name
          " 0 ", " 0 ", " 0 ", "240",                // PWROn, Check2, MonitorTX, ShutDwn
          "", "/opt/rigdesk/Rigdesk",                // App1Name, App2Name again
          "False", "True", "Rigdesk"};               // Option1(0), Option1(1), Text7
  // clang-format on
}

class SettingsFileTest : public CatmuxFixture {
 protected:
  void Load(const std::vector<std::string>& lines, const std::string& ending = "\r\n") {
    WriteFile(SettingsFile(), Lines(lines, ending));
    catmux->Form_Load();
  }
  [[nodiscard]] bool StartPressed() const { return radio.openCount > 0; }
  // Loads `text` as the settings file into `fresh`, without Start.
  app::SettingsLoadResult LoadInto(model::CatmuxModel& fresh, const std::string& text) {
    WriteFile(SettingsFile(), text);
    return app::LoadSettings(fresh, SettingsFile());
  }
};

// Lines 2, 10, 11 and 12 are written though loading ignores them.
TEST_F(SettingsFileTest, UnloadWritesTwentyThreeLinesIgnoredOnesToo) {
  for (model::ComboBox* box : {&model.Soft1Com, &model.Soft2Com, &model.RadioCom, &model.Baud,
                               &model.Parity, &model.DataBits, &model.StopBits}) {
    box->SetText("");
  }
  model.Soft2Com.SetText("COM12");
  model.Ignore2.SetValue(0);
  model.Ignore2Out.SetValue(2);
  model.KenwoodCB.SetValue(0);
  catmux->Form_Unload();

  // clang-format off
  EXPECT_EQ(ReadFile(SettingsFile()),
            Lines({"", "COM12", "", "", "", "", "", " 0 ", " 0 ", " 0 ", " 2 ", " 0 ",
                   kLogbench, kRigdesk, " 1 ", " 0 ", " 1 ", "180", kLogbench, kRigdesk,
                   "True", "False", "FT-950"}));
  // clang-format on
}

TEST_F(SettingsFileTest, RoundTripKeepsEveryRestoredControl) {
  Load(FullFile());
  ASSERT_TRUE(StartPressed());
  std::filesystem::remove(SettingsFile());
  catmux->Form_Unload();

  model::CatmuxModel reloaded;
  const auto result = app::LoadSettings(reloaded, SettingsFile());
  EXPECT_EQ(result.outcome, app::SettingsLoad::Complete);
  EXPECT_EQ(result.linesRead, 23);
  EXPECT_EQ(app::SettingsLines(reloaded), app::SettingsLines(model));
  EXPECT_EQ(reloaded.Soft1Com.Text(), "COM11");
  EXPECT_EQ(reloaded.Parity.Text(), "Even");
  EXPECT_EQ(reloaded.Ignore1.Value(), 1);
  EXPECT_EQ(reloaded.PWROn.Value(), 0);
  EXPECT_EQ(reloaded.ShutDwn.Text(), "240");
  EXPECT_EQ(reloaded.App1Name.Text(), "");  // line 19 overrides line 13
  EXPECT_EQ(reloaded.App2Name.Text(), "/opt/rigdesk/Rigdesk");
  EXPECT_FALSE(reloaded.Option1[0].Value());
  EXPECT_TRUE(reloaded.Option1[1].Value());
  EXPECT_EQ(reloaded.Text7.Text(), "Rigdesk");
  // Not restored: App 2 stays out of use at every start.
  EXPECT_EQ(reloaded.Soft2Com.Text(), "");
  EXPECT_EQ(reloaded.Ignore2.Value(), 1);
  EXPECT_EQ(reloaded.Ignore2Out.Value(), 1);
}

TEST_F(SettingsFileTest, NoFileKeepsDesignValuesAndEmptiesTheTestFile) {
  WriteFile(folder.Path() / "TEST.TXT", "old capture");
  catmux->Form_Load();

  EXPECT_FALSE(StartPressed());
  EXPECT_EQ(app1.openCount, 0);
  EXPECT_EQ(model.Text7.Text(), "FT-950");
  EXPECT_EQ(model.KenwoodCB.Value(), 1);
  EXPECT_TRUE(model.Option1[0].Value());
  EXPECT_EQ(ReadFile(folder.Path() / "TEST.TXT"), "");
  EXPECT_THAT(boxes.shown, IsEmpty());
}

TEST_F(SettingsFileTest, EmptyShortOrRefusedFileAppliesItsLinesWithoutStart) {
  Load({});
  EXPECT_EQ(model.Soft1Com.Text(), "COM5");  // as it was

  std::vector<std::string> lines = FullFile();
  lines[8] = " 3 ";  // Ignore1Out: refused
  Load(lines);
  EXPECT_EQ(model.Ignore1.Value(), 1);  // line 8 applied
  EXPECT_EQ(model.Ignore1Out.Value(), 0);
  EXPECT_EQ(model.App1Name.Text(), kLogbench);  // not reached

  lines = FullFile();
  lines[15] = " 1 ";  // Check2: would clear KenwoodCB in a complete file
  lines.pop_back();
  Load(lines);
  EXPECT_TRUE(model.Option1[1].Value());  // line 22 applied
  EXPECT_EQ(model.Text7.Text(), "FT-950");
  EXPECT_EQ(model.KenwoodCB.Value(), 1);

  EXPECT_FALSE(StartPressed());
  EXPECT_THAT(boxes.shown, IsEmpty());
}

TEST_F(SettingsFileTest, ACompleteFileSetsKenwoodFromTheModeBeforeStart) {
  model.KenwoodCB.SetValue(0);
  Load(FullFile());
  EXPECT_EQ(model.KenwoodCB.Value(), 1);  // translating

  std::vector<std::string> lines = FullFile();
  lines[15] = " 1 ";   // No Translation
  lines[20] = "True";  // program 1 with an empty path: Start pauses
  lines[21] = "False";
  int kenwoodAtStart = -1;
  loop.Schedule([&] { kenwoodAtStart = model.KenwoodCB.Value(); });  // Start's pause
  Load(lines);
  EXPECT_EQ(kenwoodAtStart, 0);
}

TEST_F(SettingsFileTest, TruthLinesAreExact) {
  struct Case {
    const char* first;
    const char* second;
    bool option0;
    bool option1;
  };
  const Case cases[] = {
      {"True", "False", true, false},   {"True", "True", false, true},
      {"False", "False", false, false}, {"true", "TRUE", false, false},
      {"True ", "-1", false, false},
  };
  for (const Case& c : cases) {
    model::CatmuxModel fresh;
    std::vector<std::string> lines = FullFile();
    lines[20] = c.first;
    lines[21] = c.second;
    LoadInto(fresh, Lines(lines));
    EXPECT_EQ(fresh.Option1[0].Value(), c.option0) << c.first << "/" << c.second;
    EXPECT_EQ(fresh.Option1[1].Value(), c.option1) << c.first << "/" << c.second;
  }
}

// Letters give 0 and loading goes on; a value the box refuses stops it.
TEST_F(SettingsFileTest, NumberLinesReadTheirLeadingNumber) {
  struct Case {
    const char* line;
    int value;  // -1: refused
  };
  const Case cases[] = {
      {" 1 ", 1}, {"2", 2},    {"Yes", 0},  {"", 0},    {" 1;", 1},  {"0.5", 0},  {"1.5", 2},
      {"2.5", 2}, {"-0.4", 0}, {" 3 ", -1}, {"-1", -1}, {"2.6", -1}, {"1e9", -1}, {"99999", -1},
  };
  for (const Case& c : cases) {
    model::CatmuxModel fresh;
    std::vector<std::string> lines = FullFile();
    lines[7] = c.line;  // Ignore1
    const auto result = LoadInto(fresh, Lines(lines));
    if (c.value < 0) {
      EXPECT_EQ(result.outcome, app::SettingsLoad::Refused) << c.line;
      EXPECT_EQ(result.linesRead, 8) << c.line;
      EXPECT_EQ(fresh.Ignore1.Value(), 0) << c.line;
    } else {
      EXPECT_EQ(result.outcome, app::SettingsLoad::Complete) << c.line;
      EXPECT_EQ(fresh.Ignore1.Value(), c.value) << c.line;
    }
  }
}

// LF alone, the last line without its end and extra lines after the last all
// load as the file with CR LF does.
TEST_F(SettingsFileTest, LineEndsAndTheEndOfTheFile) {
  model::CatmuxModel crLf;
  ASSERT_EQ(LoadInto(crLf, Lines(FullFile())).outcome, app::SettingsLoad::Complete);
  EXPECT_EQ(crLf.Soft1Com.Text(), "COM11");  // no CR left on a text
  std::string noLastEnd = Lines(FullFile());
  noLastEnd.resize(noLastEnd.size() - 2);
  for (const std::string& text :
       {Lines(FullFile(), "\n"), noLastEnd, Lines(FullFile()) + " 7 \r\nextra\r\n"}) {
    model::CatmuxModel fresh;
    EXPECT_EQ(LoadInto(fresh, text).outcome, app::SettingsLoad::Complete);
    EXPECT_EQ(app::SettingsLines(fresh), app::SettingsLines(crLf));
  }
}

TEST_F(SettingsFileTest, LineBreakInATextCannotShiftTheLines) {
  model.ShutDwn.SetText("18\r\n0");
  const std::vector<std::string> lines = app::SettingsLines(model);
  EXPECT_EQ(lines[17], "18  0");
  catmux->Form_Unload();
  model::CatmuxModel fresh;
  EXPECT_EQ(app::LoadSettings(fresh, SettingsFile()).outcome, app::SettingsLoad::Complete);
  EXPECT_EQ(fresh.Text7.Text(), "FT-950");
}

TEST_F(SettingsFileTest, UnwritableFileIsReported) {
  std::filesystem::create_directory(SettingsFile());  // a folder in the file's place
  model.HlpForm.Show();
  catmux->Form_Unload();

  EXPECT_FALSE(model.HlpForm.Loaded());
  EXPECT_THAT(boxes.shown,
              ElementsAre(SettingsFile().string() + " could not be written: Is a directory"));
}

TEST_F(SettingsFileTest, TestFileThatCannotBeCreatedDoesNotLoseTheSettings) {
  std::filesystem::create_directory(folder.Path() / "TEST.TXT");
  Load(FullFile());

  EXPECT_THAT(boxes.shown, ElementsAre("TEST.TXT could not be created in " + folder.Path().string(),
                                       "/opt/rigdesk/Rigdesk not found"));
  EXPECT_EQ(model.Text7.Text(), "Rigdesk");
  EXPECT_TRUE(StartPressed());
}

// The real desktop changes the process's current folder during Start; an Exit
// in the middle of Start's pause still saves beside the program's start.
TEST(SettingsFolderTest, SavedInTheStartFolderWhileStartIsAway) {
  TempFolder folder;
  const auto programFolder = folder.Path() / "tools";
  std::filesystem::create_directory(programFolder);
  const auto program = programFolder / "logger";
  std::filesystem::copy_file("/bin/true", program);

  FakeStation station;
  station.model.App1Name.SetText(program.string());
  app::QtDesktop desktop;
  app::Catmux catmux(station.model, station.bridge, desktop, station.loop, station.boxes);

  std::filesystem::path folderDuringPause;
  station.loop.Schedule([&] {
    folderDuringPause = std::filesystem::current_path();
    catmux.Exit_Click();
  });
  catmux.Command1_Click();

  EXPECT_EQ(folderDuringPause, programFolder);
  EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Catmux.ini"));
  EXPECT_FALSE(std::filesystem::exists(programFolder / "Catmux.ini"));
  EXPECT_EQ(std::filesystem::current_path(), folder.Path());
  EXPECT_THAT(station.boxes.shown, IsEmpty());
}

}  // namespace
}  // namespace vantorel::testing
