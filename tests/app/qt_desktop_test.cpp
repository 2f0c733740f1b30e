// The Linux desktop services, the message boxes and the timers on the
// offscreen platform: real folders, real files, real processes.
#include "app/qt/qt_desktop.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "app/qt/qt_message_boxes.h"
#include "app/qt/qt_timers.h"
#include "model/controls.h"
#include "pty_pair.h"
#include "temp_folder.h"

namespace vantorel::testing {
namespace {

using ::testing::HasSubstr;
using namespace std::chrono_literals;

void Pump() { QCoreApplication::processEvents(); }

TEST(ChooseWindowTest, EqualTitleFirstThenBeginning) {
  const std::vector<app::TopLevelWindow> windows{
      {1, "FT-950 Log - contest"}, {2, "Rigdesk - FT-950"}, {3, "rigdesk"}, {4, "Terminal"}};
  EXPECT_EQ(app::ChooseWindow(windows, "Rigdesk"), 3U);  // equal, case aside
  EXPECT_EQ(app::ChooseWindow(windows, "Rigdesk -"), 2U);
  EXPECT_EQ(app::ChooseWindow(windows, "ft-950"), 1U);
  EXPECT_EQ(app::ChooseWindow(windows, "Logbench"), std::nullopt);
  EXPECT_EQ(app::ChooseWindow(windows, ""), std::nullopt);
  EXPECT_EQ(app::ChooseWindow(windows, "Terminal window"), std::nullopt);
}

class QtDesktopTest : public ::testing::Test {
 protected:
  // A program of our own in the temporary folder: a copy of `sleep`.
  std::filesystem::path CopyProgram(const char* name) {
    const auto path = folder.Path() / name;
    std::filesystem::copy_file("/bin/sleep", path);
    return path;
  }

  TempFolder folder;
  app::QtDesktop desktop;
};

TEST_F(QtDesktopTest, FoldersAndFilesAreTheSystemsOwn) {
  const std::string start = desktop.CurrentFolder();
  EXPECT_EQ(start, folder.Path().string());
  std::filesystem::create_directory(folder.Path() / "tools");
  WriteFile(folder.Path() / "rig.exe", "x");

  EXPECT_TRUE(desktop.FileExists((folder.Path() / "rig.exe").string()));
  EXPECT_TRUE(desktop.FileExists("rig.exe"));
  // A folder or nothing counts as missing.
  EXPECT_FALSE(desktop.FileExists((folder.Path() / "tools").string()));
  EXPECT_FALSE(desktop.FileExists((folder.Path() / "none.exe").string()));
  EXPECT_FALSE(desktop.FileExists(""));

  EXPECT_TRUE(desktop.SetCurrentFolder("tools"));
  EXPECT_EQ(desktop.CurrentFolder(), (folder.Path() / "tools").string());
  EXPECT_FALSE(desktop.SetCurrentFolder((folder.Path() / "missing").string()));
  EXPECT_FALSE(desktop.SetCurrentFolder(""));
  EXPECT_EQ(desktop.CurrentFolder(), (folder.Path() / "tools").string());
  EXPECT_TRUE(desktop.SetCurrentFolder(start));
}

TEST_F(QtDesktopTest, RunningProgramCountsAsItsWindowWithoutAWindowSystem) {
  const auto program = CopyProgram("logger");
  EXPECT_FALSE(desktop.ActivateWindow("Logger", program.string()));

  QProcess running;
  running.start(QString::fromStdString(program.string()), {"30"});
  ASSERT_TRUE(running.waitForStarted(5000));
  EXPECT_TRUE(desktop.ActivateWindow("Logger", program.string()));
  EXPECT_TRUE(app::ProgramRunning(program.string()));
  // Another copy of the same program is another program.
  EXPECT_FALSE(app::ProgramRunning(CopyProgram("logger2").string()));
  running.kill();
  running.waitForFinished(5000);
  EXPECT_FALSE(app::ProgramRunning(program.string()));
  // A bare name is looked up on the search path.
  EXPECT_FALSE(app::ProgramRunning("vantorel-no-such-program"));
  EXPECT_FALSE(app::ProgramRunning(""));
}

TEST_F(QtDesktopTest, ProgramStartsDetachedInItsFolder) {
  std::filesystem::create_directory(folder.Path() / "work");
  const auto program = folder.Path() / "record";
  WriteFile(program, "#!/bin/sh\npwd > where.txt\n");
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);

  EXPECT_EQ(desktop.StartProgram(program.string(), (folder.Path() / "work").string()),
            std::nullopt);
  const auto marker = folder.Path() / "work" / "where.txt";
  ASSERT_TRUE(PumpUntil(
      [&] { return std::filesystem::exists(marker) && !ReadFile(marker).empty(); }, Pump));
  EXPECT_EQ(ReadFile(marker), (folder.Path() / "work").string() + "\n");
}

TEST_F(QtDesktopTest, FileThatIsNoProgramGivesAReason) {
  const auto notes = folder.Path() / "notes.txt";
  WriteFile(notes, "73");
  const auto reason = desktop.StartProgram(notes.string(), folder.Path().string());
  ASSERT_TRUE(reason.has_value());
  EXPECT_EQ(*reason, "Permission denied");
  EXPECT_TRUE(desktop.StartProgram("vantorel-no-such-program", folder.Path().string()).has_value());
}

TEST_F(QtDesktopTest, EndingTheProgramClosesNoWindow) {
  // The main window has been unloaded already, and a last message must stay
  // open for the user: ending must not close windows on its own.
  QWidget window;
  window.show();
  QTimer::singleShot(0, [this] { desktop.EndProgram(); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_TRUE(window.isVisible());
}

TEST(QtMessageBoxesTest, ShowsAWindowWithTheTitleAndLogsOneLine) {
  app::QtMessageBoxes boxes("Vantorel - Catmux");
  ::testing::internal::CaptureStderr();
  boxes.MsgBox("COM7 not found");
  boxes.MsgBox("first\r\nsecond\nthird");
  const std::string logged = ::testing::internal::GetCapturedStderr();

  // (The offscreen platform adds warnings of its own between them.)
  EXPECT_THAT(logged, HasSubstr("COM7 not found\n"));
  EXPECT_THAT(logged, HasSubstr("first second third\n"));
  EXPECT_EQ(boxes.OpenBoxes(), 2);
  QMessageBox* shown = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(w);
        box != nullptr && box->isVisible() && box->text() == "COM7 not found") {
      shown = box;
    }
  }
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->windowTitle(), "Vantorel - Catmux");
  EXPECT_EQ(shown->windowModality(), Qt::NonModal);
  EXPECT_EQ(shown->standardButtons(), QMessageBox::Ok);

  shown->button(QMessageBox::Ok)->click();
  PumpUntil([&] { return boxes.OpenBoxes() == 1; }, Pump, 2s);
  EXPECT_EQ(boxes.OpenBoxes(), 1);
}

// A flood of the same failure must not bury the desktop in boxes: one box,
// and a log line for every time with its count.
TEST(QtMessageBoxesTest, TheSameMessageAgainSoonOpensNoSecondBox) {
  app::QtMessageBoxes boxes("Vantorel");
  ::testing::internal::CaptureStderr();
  for (int i = 0; i < 50; ++i) {
    boxes.MsgBox("error Overflow");
  }
  boxes.MsgBox("error other");
  const std::string logged = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(boxes.OpenBoxes(), 2);
  EXPECT_THAT(logged, HasSubstr("error Overflow (50 times in 10 s)"));

  app::RepeatFilter filter;
  const auto now = app::RepeatFilter::Clock::now();
  EXPECT_EQ(filter.Count("x", now), 1);
  EXPECT_EQ(filter.Count("x", now + 9s), 2);
  EXPECT_EQ(filter.Count("x", now + 10s), 1) << "a new box after the quiet time";
}

// Close and the close box end the program whatever boxes are open; only a
// message raised while ending (the settings could not be saved) stays.
TEST(QtMessageBoxesTest, AtTheEndOnlyTheEndingsOwnMessageStays) {
  app::QtMessageBoxes boxes("Vantorel");
  boxes.MsgBox("error /dev/ttyUSB0: Input/output error");
  boxes.ProgramEnding();
  boxes.MsgBox("Catmux.ini could not be written: No space left on device");
  boxes.CloseAtEnd();
  PumpUntil([&] { return boxes.OpenBoxes() == 1; }, Pump, 2s);
  ASSERT_EQ(boxes.OpenBoxes(), 1);
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* box = qobject_cast<QMessageBox*>(w); box != nullptr && box->isVisible()) {
      EXPECT_EQ(box->text().toStdString().rfind("Catmux.ini", 0), 0U);
    }
  }
}

TEST(QtTimersTest, RealTimersFollowTheModelWhichOutlivesThem) {
  model::Timer fast("Timer1", 5, true);
  model::Timer slow("Timer2", 1000, false);
  int ticks = 0;
  fast.onTimer = [&] { ++ticks; };
  {
    const app::QtTimers timers{&fast, &slow};
    ASSERT_NE(timers.TimerFor(slow), nullptr);
    EXPECT_EQ(timers.TimerFor(slow)->interval(), 1000);
    EXPECT_FALSE(timers.TimerFor(slow)->isActive());
    slow.SetEnabled(true);
    EXPECT_TRUE(timers.TimerFor(slow)->isActive());

    EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }, Pump));
    fast.Rest();
    EXPECT_FALSE(timers.TimerFor(fast)->isActive());
    fast.Wake();
    EXPECT_TRUE(timers.TimerFor(fast)->isActive());
    fast.SetEnabled(false);
    EXPECT_FALSE(timers.TimerFor(fast)->isActive());
  }
  fast.SetEnabled(true);  // nothing left to start: no crash
}

}  // namespace
}  // namespace vantorel::testing
