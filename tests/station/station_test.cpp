// The station's own duties: Start's part (the three ports made, set up and
// opened in order, the failure rules, what the radio gets first once it is
// open), the capture files (real files in a temporary folder), the monitor,
// the manual commands and what a port's news brings.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "station_fixture.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;
using station::Options;
using station::PortChange;

class PortSetup : public StationTest {
 protected:
  PortSetup() { setup.app2 = "COM6"; }
};

TEST_F(PortSetup, OpensTheApplicationsAndTheRadioThenSwitchesOnAutoInformation) {
  EXPECT_EQ(Device("COM6").opens, 0) << "App 2 out of use: its port is not even made";
  EXPECT_TRUE(App1().IsOpen() && Radio().IsOpen());

  // Start again with App 2 in use and another radio port: every port reopens.
  Set([](Options& o) { o.app2Unused = Check::Clear; });
  setup.radio = "COM9";
  station.InitPorts(setup);
  EXPECT_TRUE(events.messages.empty());
  for (const char* name : {"/dev/app1", "COM6", "COM9"}) {
    const FakeDevice& device = Device(name);
    EXPECT_TRUE(device.port->IsOpen() && device.rts && device.dtr) << name;
  }
  EXPECT_EQ(Device("COM6").settings, (station::LineSettings{19200, station::Parity::None, 8, 1}));
  EXPECT_TRUE(Device("COM6").nullDiscard);
  EXPECT_EQ(Device("COM9").settings, (station::LineSettings{4800, station::Parity::Even, 8, 1}));
  EXPECT_FALSE(Device("COM9").nullDiscard) << "the radio's NULs are delivered";
  EXPECT_EQ(Device("/dev/app1").opens, 2);
  EXPECT_EQ(Device("/dev/radio").closes, 1);
  EXPECT_EQ(Log(), "COM9:AI1;");
  EXPECT_EQ(events.states, (std::vector<std::string>{"app2 open", "app1 closed", "app1 open",
                                                     "radio closed", "radio open"}));
}

TEST_F(PortSetup, OnlyAClearSwitchLetsItsStepRun) {
  // A greyed switch (value 2) is not clear: App 2 stays out, no "AI1;".
  Set([](Options& o) {
    o.app2Unused = Check::Greyed;
    o.ignoreFromApp1 = Check::Greyed;
  });
  station.InitPorts(setup);
  EXPECT_EQ(Device("COM6").opens, 0);
  EXPECT_EQ(Log(), "");
}

TEST(RadioSettingsText, IsTheFourBoxesAsTheyStandAndIsJudgedAtStart) {
  EXPECT_EQ(station::RadioSettingsText("38400", "None", "8", "2"), "38400,N,8,2");
  for (const char* refused : {" 4800,,4,1.5", "38400,N,9,1", "96OO,N,8,1", "9600,N,8"}) {
    EXPECT_THROW(station::ParseLineSettings(refused), station::SerialError) << refused;
  }
}

// The failure table. Every case starts from a previous run that left all
// three ports open; the new run names new devices for them.
enum class After { Untouched, Reopened, ReopenedNotLocked, Closed };
using Refusal = std::optional<std::string> FakeDevice::*;
constexpr Refusal kName = &FakeDevice::failMake;
constexpr Refusal kSettings = &FakeDevice::failSettings;
constexpr Refusal kOpen = &FakeDevice::failOpen;
constexpr Refusal kRts = &FakeDevice::failRts;
constexpr Refusal kDtr = &FakeDevice::failDtr;

struct FailureCase {
  const char* name;
  Check app2Unused;
  int failingPort;  // 0 App 2, 1 App 1, 2 the radio
  Refusal step;
  const char* message;  // nullptr: none
  After app2, app1, radio;
  bool autoInformation;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

constexpr const char* kSoft2 = "Unable to open Soft2 port . Possible Conflict. (refused)";
constexpr const char* kSoft1 = "Unable to open Soft1 port . Possible Conflict. (refused)";
constexpr const char* kRadio = "Unable to open Radio port . Possible Conflict. (refused)";

using enum After;
constexpr Check Clr = Check::Clear;
constexpr Check Tck = Check::Ticked;
// clang-format off
const FailureCase kFailures[] = {
    {"App2OpenFails",                  Clr, 0, kOpen,     kSoft2,  Closed, Untouched, Untouched, false},
    {"App2RtsFails",                   Clr, 0, kRts,      kSoft2,  Closed, Untouched, Untouched, false},
    {"App2NameRefusedBeforeAnyOpen",   Clr, 0, kName,     kSoft2,  Closed, Untouched, Untouched, false},
    {"App2SettingsRefused",            Clr, 0, kSettings, kSoft2,  Closed, Untouched, Untouched, false},
    // A later step fails: no message, straight on to "AI1;" - which reaches the
    // radio port still open from the previous run.
    {"App2DtrFails",                   Clr, 0, kDtr,      nullptr, ReopenedNotLocked, Untouched, Untouched, true},
    {"App1NameRefusedBeforeAnyOpen",   Tck, 1, kName,     kSoft1,  Untouched, Closed, Untouched, false},
    {"App1SettingsRefusedAfterApp2",   Clr, 1, kSettings, nullptr, Reopened, Closed, Untouched, true},
    {"App1OpenFails",                  Tck, 1, kOpen,     kSoft1,  Untouched, Closed, Untouched, false},
    {"App1RtsFails",                   Clr, 1, kRts,      kSoft1,  Reopened, Closed, Untouched, false},
    {"App1DtrFails",                   Tck, 1, kDtr,      nullptr, Untouched, ReopenedNotLocked, Untouched, true},
    {"RadioNameRefused",               Tck, 2, kName,     nullptr, Untouched, Reopened, Closed, false},
    {"RadioSettingsRefused",           Clr, 2, kSettings, nullptr, Reopened, Reopened, Closed, false},
    {"RadioOpenFails",                 Tck, 2, kOpen,     kRadio,  Untouched, Reopened, Closed, false},
    {"RadioRtsFails",                  Tck, 2, kRts,      kRadio,  Untouched, Reopened, Closed, false},
    {"RadioDtrFails",                  Tck, 2, kDtr,      nullptr, Untouched, Reopened, ReopenedNotLocked, true},
};
// clang-format on

class PortSetupFailure : public PortSetup, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PortSetupFailure, FollowsTheFailureRules) {
  const FailureCase& c = GetParam();
  Set([](Options& o) { o.app2Unused = Check::Clear; });
  station.InitPorts(setup);  // the previous run
  const std::string oldNames[] = {setup.app2, setup.app1, setup.radio};
  const std::string newNames[] = {"COM16", "COM15", "COM17"};
  log->clear();
  events.states.clear();

  Set([&](Options& o) { o.app2Unused = c.app2Unused; });
  setup = {newNames[1], newNames[0], newNames[2], "4800,E,8,1"};
  Device(newNames[c.failingPort]).*c.step = "refused";
  station.InitPorts(setup);

  EXPECT_EQ(events.messages,
            c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
  const After after[] = {c.app2, c.app1, c.radio};
  const char* roles[] = {"app2", "app1", "radio"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(roles[i]);
    const FakeDevice& oldDevice = Device(oldNames[i]);
    const FakeDevice& newDevice = Device(newNames[i]);
    EXPECT_EQ(oldDevice.port->IsOpen(), after[i] == Untouched);
    EXPECT_EQ(newDevice.port && newDevice.port->IsOpen(),
              after[i] == Reopened || after[i] == ReopenedNotLocked);
    // The port box is locked only after DTR was raised.
    const bool locked = std::find(events.states.begin(), events.states.end(),
                                  std::string(roles[i]) + " open") != events.states.end();
    EXPECT_EQ(locked, after[i] == Reopened);
  }
  const std::string radio = c.radio == Untouched ? "radio" : "COM17";
  EXPECT_EQ(Log(), c.autoInformation ? radio + ":AI1;" : "");
}

INSTANTIATE_TEST_SUITE_P(Table, PortSetupFailure, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

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
