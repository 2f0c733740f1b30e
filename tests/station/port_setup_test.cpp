// Start's part of the station: the three ports made, set up and opened in
// order, the failure rules, and what the radio gets first once it is open.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "station_fixture.h"

namespace vantorel::testing {
namespace {

using station::Options;

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

}  // namespace
}  // namespace vantorel::testing
