// Start, Stop and Close over real pseudo-terminals through the real serial
// layer, and the built program itself started in a folder whose settings name
// them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <chrono>
#include <filesystem>
#include <string>

#include "app/catmux.h"
#include "bridge/bridge.h"
#include "fake_desktop.h"
#include "fake_platform.h"
#include "pty_ports.h"
#include "temp_folder.h"

namespace vantorel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

class StartPtyTest : public ::testing::Test, public PtyPorts {
 protected:
  StartPtyTest() {
    NameIn(model);
    model.App1Name.SetText("");  // no companion program to look for
    desktop.folder = folder.Path().string();
  }

  TempFolder folder;
  model::CatmuxModel model;
  // Start's two-second pause passes on a scripted clock; the ports run on Qt.
  FakeEventLoop startLoop;
  FakeMessageBoxes boxes;
  FakeDesktop desktop;
  bridge::Bridge bridge{model, Ports(), loop, boxes};
  app::Catmux catmux{model, bridge, desktop, startLoop, boxes};
};

TEST_F(StartPtyTest, StartSwitchesTheRadiosReportsOnStopClosesAndStartAgainReopens) {
  catmux.Command1_Click();
  EXPECT_TRUE(app1.PortOpen());
  EXPECT_FALSE(app2.PortOpen());
  EXPECT_EQ(radioEnd.Read(4, pump), "AI1;");
  EXPECT_FALSE(model.Soft1Com.Enabled() || model.RadioCom.Enabled() || model.Baud.Enabled());
  EXPECT_THAT(boxes.shown, IsEmpty());
  // Traffic flows: the radio's answer reaches App 1 in Yaesu form.
  radioEnd.Write("FA00014250000;");
  EXPECT_EQ(app1End.Read(11, pump), "FA14250000;");

  catmux.Command2_Click();
  EXPECT_FALSE(app1.PortOpen() || radio.PortOpen());
  EXPECT_TRUE(model.Soft1Com.Enabled() && model.RadioCom.Enabled() && model.Baud.Enabled());

  catmux.Command1_Click();
  EXPECT_TRUE(radio.PortOpen());
  EXPECT_EQ(radioEnd.Read(4, pump), "AI1;");
}

TEST_F(StartPtyTest, WithIgnoreFromApp1TickedTheRadioHearsNothing) {
  model.Ignore1.SetValue(1);
  catmux.Command1_Click();
  EXPECT_TRUE(radio.PortOpen());
  EXPECT_EQ(radioEnd.Read(1, pump, 50ms), "");
}

TEST_F(StartPtyTest, MissingRadioDeviceIsReportedExactly) {
  model.RadioCom.SetText((folder.Path() / "no-such-tty").string());
  catmux.Command1_Click();

  EXPECT_THAT(boxes.shown, ElementsAre("Unable to open Radio port . Possible Conflict."));
  EXPECT_TRUE(app1.PortOpen());
  EXPECT_FALSE(radio.PortOpen());
  EXPECT_TRUE(model.RadioCom.Enabled());
}

TEST_F(StartPtyTest, CloseSendsWhatIsQueuedThenCloses) {
  catmux.Command1_Click();
  ASSERT_EQ(radioEnd.Read(4, pump), "AI1;");
  radio.Output("PS0;");
  // Close's wait must run the real event loop for the port to send.
  app::Catmux closing{model, bridge, desktop, loop, boxes};
  closing.Command4_Click();

  EXPECT_EQ(radioEnd.Read(4, pump), "PS0;");
  EXPECT_FALSE(radio.PortOpen());
  EXPECT_EQ(desktop.endCalls, 1);
  EXPECT_TRUE(std::filesystem::exists(folder.Path() / "Catmux.ini"));
}

// The program as the user runs it: a complete settings file in the folder it
// starts in opens the ports at load.
TEST(ProgramTest, LoadsSettingsAndOpensThePortsAtStart) {
  TempFolder folder;
  PtyPair app1Line;
  PtyPair radioLine;
  // clang-format off
  WriteFile(folder.Path() / "Catmux.ini",
            Lines({app1Line.Path(), "", radioLine.Path(), "19200", "8", "None", "1",
                   " 0 ", " 0 ", " 1 ", " 1 ", " 1 ", "", "", " 1 ", " 0 ", " 1 ", "180", "", "",
                   "True", "False", "FT-950"}));
  // clang-format on
  const QString program = QCoreApplication::applicationDirPath() + "/../../vantorel";
  ASSERT_TRUE(std::filesystem::exists(program.toStdString())) << program.toStdString();

  QProcess vantorel;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", "offscreen");
  vantorel.setProcessEnvironment(environment);
  vantorel.setWorkingDirectory(QString::fromStdString(folder.Path().string()));
  vantorel.start(program, {});
  ASSERT_TRUE(vantorel.waitForStarted(5000));

  const std::string heard = radioLine.Read(
      4, [] {}, 10s);
  vantorel.terminate();
  if (!vantorel.waitForFinished(5000)) {
    vantorel.kill();
    vantorel.waitForFinished(5000);
  }
  EXPECT_EQ(heard, "AI1;");
  EXPECT_TRUE(std::filesystem::exists(folder.Path() / "TEST.TXT"));
  const std::string errors = vantorel.readAllStandardError().toStdString();
  EXPECT_THAT(errors, ::testing::Not(::testing::HasSubstr("Unable to open")));
}

}  // namespace
}  // namespace vantorel::testing
