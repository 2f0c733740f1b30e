// The station's other duties: the capture files (real files in a temporary
// folder), the monitor, the manual commands and what a port's news brings.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "station/monitor.h"
#include "station_fixture.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;
using station::Options;
using station::PortChange;

// One line per block from each side, captured before any routing test;
// stopping closes the files and starting again begins them anew.
TEST_F(StationTest, CaptureWritesOneLinePerBlockFromEachSide) {
  const fs::path in = folder.Path() / "TESTIN.TXT";
  const fs::path out = folder.Path() / "TESTOUT.TXT";
  station.SwitchCapture(true);
  EXPECT_EQ(events.messages.back(), "TESTIN.TXT and TESTOUT.TXT have been opened");
  App1().Receive("FA14251300;");
  State().Soft2Waiting = true;
  App1().Receive("AB;");  // dropped
  Set([](Options& o) { o.noTranslation = Check::Ticked; });
  App1().Receive("TX;");  // passed untranslated
  Set([](Options& o) { o.noTranslation = Check::Clear; });
  Radio().Receive("FA00014251300;IF");  // "IF" waits for its end: not captured yet
  Radio().Receive(";");
  EXPECT_EQ(ReadFile(in), "FA14251300;\r\nAB;\r\nTX;\r\n");
  EXPECT_EQ(ReadFile(out), "FA00014251300;\r\nIF;\r\n");

  station.SwitchCapture(false);
  EXPECT_EQ(events.messages.back(), "Files Closed");
  App1().Receive("ZZ;");
  EXPECT_EQ(ReadFile(in), "FA14251300;\r\nAB;\r\nTX;\r\n");
  station.SwitchCapture(true);
  EXPECT_EQ(ReadFile(in), "");
}

// TEST.TXT is made anew, empty, and gets nothing while the capture is off; a
// file that cannot be made is told, and a capture file that cannot be made or
// written stops the capture only.
TEST_F(StationTest, AFileThatCannotBeMadeOrWrittenIsToldAndStopsTheCaptureOnly) {
  WriteFile(folder.Path() / "TEST.TXT", "earlier");
  ASSERT_TRUE(station.CreateTestFile());
  App1().Receive("AB;");
  EXPECT_EQ(ReadFile(folder.Path() / "TEST.TXT"), "");
  EXPECT_FALSE(fs::exists(folder.Path() / "TESTIN.TXT"));
  fs::remove(folder.Path() / "TEST.TXT");
  fs::create_directory(folder.Path() / "TEST.TXT");
  EXPECT_FALSE(station.CreateTestFile()) << "told to the caller";

  fs::create_directory(folder.Path() / "TESTOUT.TXT");
  station.SwitchCapture(true);
  EXPECT_EQ(events.messages.back().rfind("Unable to create TESTOUT.TXT: ", 0), 0U);
  EXPECT_TRUE(events.captureStopped);
  fs::remove(folder.Path() / "TESTOUT.TXT");
  fs::remove(folder.Path() / "TESTIN.TXT");

  fs::create_symlink("/dev/full", folder.Path() / "TESTIN.TXT");
  events.messages.clear();
  station.SwitchCapture(true);
  App1().Receive("AB;");
  App1().Receive("ZZ;");
  EXPECT_EQ(events.messages, (std::vector<std::string>{
                                 "TESTIN.TXT and TESTOUT.TXT have been opened",
                                 "error Unable to write TESTIN.TXT: No space left on device"}));
  EXPECT_EQ(Device(setup.radio).written, "VV;VV;ZZ;") << "the traffic still flows";
}

// App 1's blocks on both paths (translating, then No Translation), as text or
// hex: two upper-case digits a byte, a new line after a line feed.
TEST_F(StationTest, TheMonitorShowsApp1sBlocksOnBothPathsWhileOn) {
  for (const auto& [on, hex, shown] :
       {std::tuple{true, false, "AB;TX;"}, std::tuple{true, true, "41423BFF0A\r\n"},
        std::tuple{false, true, ""}}) {
    events.monitor.clear();
    Set([&](Options& o) {
      o.noTranslation = Check::Clear;
      o.monitor = on;
      o.monitorHex = hex;
    });
    App1().Receive("AB;");
    Set([](Options& o) { o.noTranslation = Check::Ticked; });
    App1().Receive(hex ? "\xff\n" : "TX;");
    Radio().Receive("FA00014251300;");
    EXPECT_EQ(events.monitor, shown) << on << hex;
  }
}

// By hand: no pending flags, no pause; a closed port gets nothing.
TEST_F(StationTest, ManualCommandsWriteTheirTextsAtOnce) {
  station.SendTest();
  station.SendReset();
  station.SendToRadio("FA;IF;");
  station.SendToApp1("FA14251300;");
  station.SendToRadio("");
  EXPECT_EQ(Log(), "radio:FA00014251300;IF; radio:RX;AI1; radio:FA;IF; app1:FA14251300;");
  EXPECT_FALSE(State().Soft1Waiting || State().Soft2Waiting);
  EXPECT_TRUE(loop.waits.empty());
  Radio().Close();
  station.SendTest();
  EXPECT_TRUE(events.messages.empty());
}

TEST_F(StationTest, ALostPortIsToldOnceAndGivesItsBoxBackUnlessItIsComingBack) {
  Radio().Tell({PortChange::Lost, "/dev/radio: Input/output error", false});
  App1().Tell({PortChange::Lost, "/dev/app1: gone", true});
  EXPECT_EQ(events.messages, (std::vector<std::string>{"error /dev/radio: Input/output error",
                                                       "error /dev/app1: gone"}));
  EXPECT_EQ(events.states, (std::vector<std::string>{"radio failed", "app1 reconnecting"}));
  App1().Open();
  App1().Tell({PortChange::Restored, {}, false});
  EXPECT_EQ(events.states.back(), "app1 open");
  // Stop ends a port's coming back, and gives its box back.
  App1().Tell({PortChange::Lost, "/dev/app1: gone", true});
  station.ClosePorts();
  EXPECT_EQ(events.states.back(), "app1 closed");
}

TEST_F(StationTest, AVfoBChoiceIsToldToTheWindow) {
  App1().Receive("VS1;");
  EXPECT_TRUE(events.vfoB);
  App1().Receive("FA14251300;");
  EXPECT_EQ(Device(setup.app1).written, "VS1;VS1;FB14251300;FA14251300;");
  App1().Receive("VS0;");
  EXPECT_FALSE(events.vfoB);
}

// However the radio was keyed, it is unkeyed when App 1's link goes away or the
// station lets go of it, and the time-out is disarmed with it.
TEST_F(StationTest, AKeyedRadioIsUnkeyedBeforeItsControlGoes) {
  App1().Receive("MX1;");
  ASSERT_TRUE(State().keying.TXOn && State().keying.radioKeyed);
  factory.ForgetWrites();
  App1().Tell({PortChange::PeerGone, {}, false});
  EXPECT_EQ(Log(), "radio:RX;");
  EXPECT_FALSE(State().keying.TXOn || State().keying.radioKeyed);
  station.UnkeyIfKeyed("at Stop");
  EXPECT_EQ(Log(), "radio:RX;") << "an unkeyed radio hears nothing more";

  Set([](Options& o) { o.superviseTransmit = Check::Clear; });
  App1().Receive("TX1;");
  EXPECT_TRUE(State().keying.radioKeyed);
  EXPECT_FALSE(State().keying.TXOn) << "the time-out switch is off";
  factory.ForgetWrites();
  App1().Tell({PortChange::Lost, "/dev/app1: gone", true});
  EXPECT_EQ(Log(), "radio:RX;");

  // Untranslated too: the station saw App 1 key the radio in its own commands.
  App1().Open();
  Set([](Options& o) { o.noTranslation = Check::Ticked; });
  App1().Receive("TX;");
  factory.ForgetWrites();
  App1().Tell({PortChange::PeerGone, {}, false});
  EXPECT_EQ(Log(), "radio:RX;");

  Set([](Options& o) { o.noTranslation = Check::Clear; });
  App1().Receive("KY7;");
  Radio().Close();
  station.UnkeyIfKeyed("at Stop");
  EXPECT_TRUE(station.RadioMayBeKeyed()) << "a closed radio port cannot unkey it";
  factory.ForgetWrites();
  station.InitPorts(setup);
  EXPECT_EQ(Log(), "radio:RX; radio:AI1;") << "the unkey it missed comes first";
  EXPECT_FALSE(station.RadioMayBeKeyed());
}

// The time-out's shutdown goes to the radio ahead of the traffic queued for a
// line that takes nothing, and counts as in flight until it has left: at the
// end of the program the user is told the radio may still be keyed, and it is
// due again when the radio is back. One that missed the radio's closed port
// (App 1 was told) is sent first when the port is open again - once, but again
// should the line take nothing before it is lost once more.
TEST_F(StationTest, AShutdownIsNeverTakenForDoneBeforeItHasLeftForTheRadio) {
  Set([](Options& o) {
    o.noTranslation = Check::Ticked;
    o.transmitLimit = "1";
  });
  App1().Receive("TX;");
  Device(setup.radio).holdOutput = true;
  station.Timer2_Timer();
  EXPECT_FALSE(State().keying.radioKeyed) << "the time-out sent its shutdown";
  EXPECT_NE(events.notes.back().find("time limit of 1 s was reached"), std::string::npos);
  EXPECT_TRUE(station.RadioMayBeKeyed()) << "but it has not left";
  station.End("at the end of the program", true);
  EXPECT_NE(events.messages.back().find("may still be keyed"), std::string::npos);
  Device(setup.radio).holdOutput = false;
  Device(setup.radio).unsentFirst = 0;
  factory.ForgetWrites();
  station.InitPorts(setup);
  EXPECT_EQ(Log(), "radio:RX; radio:MX0; radio:PS0; radio:AI1;") << "still due when it is back";

  Set([](Options& o) { o.noTranslation = Check::Clear; });
  App1().Receive("MX1;");
  Radio().Close();
  factory.ForgetWrites();
  events.messages.clear();
  station.Timer2_Timer();
  EXPECT_EQ(Log(), "app1:TX0; app1:MX0; app1:PS0;");
  EXPECT_EQ(events.messages.size(), 1U) << "the user hears the radio may still be keyed";
  Device(setup.radio).holdOutput = true;
  station.InitPorts(setup);
  Radio().Tell({PortChange::Lost, "/dev/radio: gone", true});
  Device(setup.radio).holdOutput = false;
  Device(setup.radio).unsentFirst = 0;
  factory.ForgetWrites();
  station.InitPorts(setup);
  EXPECT_EQ(Log(), "radio:RX; radio:MX0; radio:PS0; radio:AI1;");
  station.Timer2_Timer();
  EXPECT_FALSE(station.RadioMayBeKeyed());
  factory.ForgetWrites();
  station.InitPorts(setup);
  EXPECT_EQ(Log(), "radio:AI1;") << "sent once";

  // Lost and back on its own: the same, before anything else.
  State().keying.TXOn = true;
  Radio().Tell({PortChange::Lost, "/dev/radio: gone", true});
  station.Timer2_Timer();
  factory.ForgetWrites();
  Radio().Open();
  Radio().Tell({PortChange::Restored, {}, false});
  EXPECT_EQ(Log(), "radio:RX; radio:MX0; radio:PS0; radio:AI1;");
}

}  // namespace
}  // namespace vantorel::testing
