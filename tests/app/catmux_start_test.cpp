// Start, Stop, Close and Exit on in-memory ports and a fake desktop: which
// program is brought forward or started, in which folder, with which pauses
// and messages; how the ports close.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "catmux_fixture.h"

namespace vantorel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

TEST(ProgramPathTest, FolderFileAndRigdeskName) {
  const std::pair<const char*, const char*> folders[] = {
      {"C:\\Program Files (x86)\\Logbench\\Logbench.exe", "C:\\Program Files (x86)\\Logbench"},
      {"C:\\Logbench.exe", "C:"},
      {"/usr/bin/wsjtx", "/usr/bin"},
      {"/wsjtx", "/"},
      {"bin/wsjtx", "bin"},
      {"D:\\Tools/mixed\\rig.exe", "D:\\Tools/mixed"},
      {"wsjtx", ""},
      {"", ""},
      {"\\rig.exe", ""},
  };
  for (const auto& [path, folder] : folders) {
    EXPECT_EQ(app::ProgramFolder(path), folder) << path;
  }
  // Relative paths come from the start folder; a bare name from the search path.
  EXPECT_EQ(app::ProgramFile("bin/wsjtx", "/home/op"), "/home/op/bin/wsjtx");
  EXPECT_EQ(app::ProgramFile("bin/wsjtx", "/"), "/bin/wsjtx");
  EXPECT_EQ(app::ProgramFile("/usr/bin/wsjtx", "/home/op"), "/usr/bin/wsjtx");
  EXPECT_EQ(app::ProgramFile("C:\\Rig\\rig.exe", "/home/op"), "C:\\Rig\\rig.exe");
  EXPECT_EQ(app::ProgramFile("wsjtx", "/home/op"), "wsjtx");

  EXPECT_TRUE(app::NamesRigdesk("D:\\Tools\\RIGDESK\\x.exe"));
  EXPECT_TRUE(app::NamesRigdesk("RigDesk.exe"));
  EXPECT_FALSE(app::NamesRigdesk("/opt/rig-desk"));
  EXPECT_FALSE(app::NamesRigdesk(""));
}

using StartTest = CatmuxFixture;

TEST_F(StartTest, MissingProgramIsReportedAfterThePortsOpened) {
  model.App1Name.SetText("/opt/logbench/Logbench");
  catmux->Command1_Click();

  EXPECT_THAT(boxes.shown, ElementsAre("/opt/logbench/Logbench not found"));
  EXPECT_TRUE(IsOpen(app1));
  EXPECT_EQ(radio.written, "AI1;");
  EXPECT_TRUE(model.Timer2.Enabled());
  EXPECT_FALSE(model.Baud.Enabled() || model.Parity.Enabled() || model.DataBits.Enabled() ||
               model.StopBits.Enabled());
  EXPECT_THAT(desktop.activations, IsEmpty());
  EXPECT_THAT(desktop.starts, IsEmpty());
  EXPECT_THAT(loop.waits, IsEmpty());  // no pause after the message
  EXPECT_EQ(desktop.folder, start);
}

// A failed Start, by hand or at load, is one box with the system's reason and
// a red lamp; App 1's port it had opened is closed again, no program is looked
// for.
TEST_F(StartTest, FailedStartIsOneBoxARedLampAndNoHalfStation) {
  radio.failOpen = "Cannot open /dev/ttyUSB0: No such file or directory";
  model.App1Name.SetText("/opt/logbench/Logbench");  // missing: no longer looked for
  ASSERT_FALSE(settingsFile.Save(app::SettingsFromForm(model)));
  catmux->Form_Load();
  catmux->Command1_Click();

  const std::string told =
      "Unable to open the radio's port: Cannot open /dev/ttyUSB0: No such file or directory";
  EXPECT_THAT(boxes.shown, ElementsAre(told, told));
  EXPECT_EQ(model.RadioLamp.Value(), model::Lamp::State::Failed);
  EXPECT_EQ(model.RadioLamp.ToolTipText(),
            "Could not be opened: Cannot open /dev/ttyUSB0: No such file or directory");
  EXPECT_EQ(model.App1Lamp.Value(), model::Lamp::State::Off);
  EXPECT_FALSE(IsOpen(app1));
  EXPECT_EQ(app1.opens, 2);
  EXPECT_TRUE(model.Baud.Enabled() && model.RadioCom.Enabled() && model.Soft1Com.Enabled());
  EXPECT_THAT(desktop.activations, IsEmpty());
  EXPECT_THAT(loop.waits, IsEmpty());
}

TEST_F(StartTest, ProgramOneComesBeforeThePauseInItsOwnFolderAndOnce) {
  model.App1Name.SetText("/opt/logbench/Logbench");
  desktop.files = {"/opt/logbench/Logbench"};
  std::size_t activationsAtPause = 99;
  std::string folderAtPause;
  loop.Schedule([&] {
    activationsAtPause = desktop.activations.size();
    folderAtPause = desktop.folder;
  });

  catmux->Command1_Click();

  EXPECT_EQ(activationsAtPause, 1U);
  EXPECT_EQ(folderAtPause, "/opt/logbench");
  EXPECT_EQ(desktop.activations.at(0).title, "FT-950");  // Text7
  EXPECT_EQ(desktop.starts.at(0).workingFolder, "/opt/logbench");
  EXPECT_THAT(loop.waits, ElementsAre(app::kStartPause));
  EXPECT_EQ(desktop.folder, start);

  // Running now: brought forward, not started again.
  desktop.windowTitles = {"FT-950 CAT control"};
  catmux->Command1_Click();
  EXPECT_EQ(desktop.activations.size(), 2U);
  EXPECT_EQ(desktop.starts.size(), 1U);
  EXPECT_EQ(desktop.folder, start);
}

TEST_F(StartTest, ProgramTwoComesAfterThePauseAndOnlyTheSelectedOneIsTested) {
  model.App1Name.SetText("/opt/logbench/Logbench");  // missing, but not selected
  model.App2Name.SetText("/opt/rigdesk/Rigdesk");
  desktop.files = {"/opt/rigdesk/Rigdesk"};
  model.Option1[1].SetValue(true);
  std::size_t activationsAtPause = 99;
  loop.Schedule([&] { activationsAtPause = desktop.activations.size(); });

  catmux->Command1_Click();

  EXPECT_THAT(boxes.shown, IsEmpty());
  EXPECT_EQ(activationsAtPause, 0U);
  ASSERT_EQ(desktop.activations.size(), 1U);
  EXPECT_EQ(desktop.activations[0].title, "Rigdesk -");
  EXPECT_EQ(desktop.activations[0].folder, "/opt/rigdesk");
  ASSERT_EQ(desktop.starts.size(), 1U);
  EXPECT_EQ(desktop.starts[0].programFile, "/opt/rigdesk/Rigdesk");
  EXPECT_EQ(desktop.starts[0].workingFolder, "/opt/rigdesk");
  EXPECT_EQ(desktop.folder, start);
}

TEST_F(StartTest, RigdeskIsFoundByItsOwnTitleNotByTheHeading) {
  struct Case {
    const char* path;
    int option;
    const char* title;
  };
  const Case cases[] = {
      {"D:\\Tools\\RIGDESK\\rigdesk.exe", 0, "Rigdesk"},
      {"/opt/RigDesk/run", 0, "Rigdesk"},
      {"/opt/rigdesk/run", 1, "Rigdesk -"},
      {"/opt/logbench/run", 0, "Heading text"},
      {"/opt/logbench/run", 1, "Heading text"},
  };
  model.Text7.SetText("Heading text");
  for (const Case& c : cases) {
    desktop.activations.clear();
    desktop.files = {c.path};
    model.App1Name.SetText(c.path);
    model.App2Name.SetText(c.path);
    model.Option1[static_cast<std::size_t>(c.option)].SetValue(true);
    catmux->Command1_Click();
    ASSERT_EQ(desktop.activations.size(), 1U) << c.path;
    EXPECT_EQ(desktop.activations[0].title, c.title) << c.path << " option " << c.option;
  }
}

TEST_F(StartTest, WithoutAProgramStartOpensThePortsAndPausesOnly) {
  model.App1Name.SetText("");
  catmux->Command1_Click();
  model.Option1[0].SetValue(false);  // neither program selected
  model.App1Name.SetText("/opt/missing/one");
  model.App2Name.SetText("/opt/missing/two");
  catmux->Command1_Click();

  EXPECT_THAT(boxes.shown, IsEmpty());
  EXPECT_THAT(desktop.activations, IsEmpty());
  EXPECT_THAT(desktop.starts, IsEmpty());
  EXPECT_THAT(loop.waits, ElementsAre(2000ms, 2000ms));
  EXPECT_THAT(desktop.folderChanges, ElementsAre(start, start));  // only the way back
  EXPECT_TRUE(IsOpen(app1));
}

TEST_F(StartTest, BareNameKeepsTheFolderAndRelativePathComesFromTheStartFolder) {
  model.App1Name.SetText("wsjtx");  // no such file here: only its start can tell
  catmux->Command1_Click();
  EXPECT_THAT(desktop.folderChanges, ElementsAre(start));
  ASSERT_EQ(desktop.activations.size(), 1U);
  EXPECT_EQ(desktop.activations[0].programFile, "wsjtx");
  EXPECT_EQ(desktop.activations[0].folder, start);
  ASSERT_EQ(desktop.starts.size(), 1U);
  EXPECT_EQ(desktop.starts[0].programFile, "wsjtx");
  EXPECT_EQ(desktop.starts[0].workingFolder, start);

  model.App1Name.SetText("bin/wsjtx");
  desktop.files = {"bin/wsjtx"};
  catmux->Command1_Click();
  ASSERT_EQ(desktop.starts.size(), 2U);
  EXPECT_EQ(desktop.starts[1].programFile, start + "/bin/wsjtx");
  EXPECT_EQ(desktop.starts[1].workingFolder, "bin");
  EXPECT_EQ(desktop.activations[1].programFile, start + "/bin/wsjtx");
  EXPECT_THAT(boxes.shown, IsEmpty());
}

TEST_F(StartTest, FailedStartOrUnreachableFolderStillRestoresTheFolder) {
  model.App1Name.SetText("/opt/logbench/notes.txt");
  desktop.files = {"/opt/logbench/notes.txt", "/locked/tool"};
  desktop.startFailure = "Permission denied";
  catmux->Command1_Click();
  EXPECT_THAT(boxes.shown,
              ElementsAre("/opt/logbench/notes.txt could not be started: Permission denied"));
  EXPECT_THAT(loop.waits, ElementsAre(2000ms));
  EXPECT_EQ(desktop.folder, start);
  EXPECT_TRUE(IsOpen(radio));

  model.App1Name.SetText("/locked/tool");
  desktop.missingFolders = {"/locked"};
  desktop.startFailure.reset();
  catmux->Command1_Click();
  EXPECT_EQ(desktop.starts.at(1).workingFolder, start);
  EXPECT_EQ(desktop.folder, start);
}

TEST_F(StartTest, StartInsideStartsPauseLeavesTheStartFolder) {
  model.App1Name.SetText("/opt/logbench/Logbench");
  desktop.files = {"/opt/logbench/Logbench"};
  loop.Schedule([&] { catmux->Command1_Click(); });  // the user presses Start again

  catmux->Command1_Click();

  EXPECT_EQ(desktop.activations.size(), 2U);
  EXPECT_EQ(loop.waits.size(), 2U);
  EXPECT_EQ(desktop.folder, start);
}

TEST_F(StartTest, StopClosesEveryPortAndAgainOnlyEnablesTheLineBoxes) {
  model.Ignore2.SetValue(Check::Clear);
  model.Soft2Com.SetText("COM6");
  model.App1Name.SetText("");
  catmux->Command1_Click();
  ASSERT_TRUE(IsOpen(app2));
  ASSERT_FALSE(model.Soft1Com.Enabled() || model.RadioCom.Enabled());

  model.Command2.Click();
  for (const FakeDevice* device : {&app1, &app2, &radio}) {
    EXPECT_FALSE(IsOpen(*device));
  }
  EXPECT_TRUE(model.Soft1Com.Enabled() && model.Soft2Com.Enabled() && model.RadioCom.Enabled());
  EXPECT_TRUE(model.Baud.Enabled());
  EXPECT_TRUE(model.Timer2.Enabled());  // supervision keeps ticking

  // The second Stop finds nothing open: it touches only the line boxes.
  model.Baud.SetEnabled(false);
  model.Soft1Com.SetEnabled(false);
  catmux->Command2_Click();
  EXPECT_EQ(app1.closes, 1);
  EXPECT_EQ(radio.closes, 1);
  EXPECT_TRUE(model.Baud.Enabled());
  EXPECT_FALSE(model.Soft1Com.Enabled());
}

class CloseTest : public CatmuxFixture {
 protected:
  // After Start, `port` holds text that has not gone out yet.
  void StartWithUnsent(FakeDevice& device, const char* text) {
    model.App1Name.SetText("");
    catmux->Command1_Click();
    device.holdOutput = true;
    device.port->Write(text);
  }
};

TEST_F(CloseTest, NeverOpenedPortsCloseAtOnce) {
  model.HlpForm.Show();
  model.Command4.Click();

  EXPECT_EQ(loop.doEventsCalls, 0);
  EXPECT_FALSE(model.HlpForm.Loaded());
  EXPECT_TRUE(std::filesystem::exists(SettingsFile()));
  EXPECT_EQ(desktop.endCalls, 1);
  EXPECT_TRUE(model.Baud.Enabled());
}

TEST_F(CloseTest, WaitsUntilThePortsHaveSentEverything) {
  StartWithUnsent(radio, "FA00014250000;");
  const auto before = loop.Now();
  // The radio takes its last command a few steps into the wait.
  loop.step = 10ms;
  loop.Schedule([] {});
  loop.Schedule([&] { radio.unsent = 0; });

  catmux->Command4_Click();

  EXPECT_LT(loop.Now() - before, 100ms);
  EXPECT_FALSE(IsOpen(radio));
  EXPECT_EQ(desktop.endCalls, 1);
}

TEST_F(CloseTest, PortNobodyReadsDoesNotHoldTheProgram) {
  StartWithUnsent(app1, "FA14250000;");
  const auto before = loop.Now();

  catmux->Command4_Click();

  const auto waited = loop.Now() - before;
  EXPECT_GE(waited, station::kEndDrainStall);
  EXPECT_LT(waited, station::kEndDrainStall + 100ms);
  EXPECT_FALSE(IsOpen(app1));
  EXPECT_FALSE(IsOpen(radio));
  EXPECT_TRUE(std::filesystem::exists(SettingsFile()));
  EXPECT_EQ(desktop.endCalls, 1);
}

TEST_F(CloseTest, ExitSavesAndEndsWithoutWaiting) {
  StartWithUnsent(radio, "PS0;");
  const int doEventsBefore = loop.doEventsCalls;

  model.Exit.Click();

  EXPECT_EQ(loop.doEventsCalls, doEventsBefore);
  EXPECT_TRUE(std::filesystem::exists(SettingsFile()));
  EXPECT_EQ(desktop.endCalls, 1);
}

TEST_F(CloseTest, ExitDuringStartsPauseLeavesProgramTwoAlone) {
  model.App2Name.SetText("/opt/rigdesk/Rigdesk");
  desktop.files = {"/opt/rigdesk/Rigdesk"};
  model.Option1[1].SetValue(true);
  loop.Schedule([&] { model.Exit.Click(); });  // the user quits during the pause

  catmux->Command1_Click();

  EXPECT_EQ(desktop.endCalls, 1);
  EXPECT_THAT(desktop.activations, IsEmpty());
  EXPECT_THAT(desktop.starts, IsEmpty());
}

TEST_F(CloseTest, DestroyedHandlersLeaveTheButtonsHarmless) {
  catmux.reset();
  model.Command1.Click();
  model.Command4.Click();
  model.Exit.Click();
  EXPECT_EQ(desktop.endCalls, 0);
  EXPECT_EQ(app1.opens, 0);
}

}  // namespace
}  // namespace vantorel::testing
