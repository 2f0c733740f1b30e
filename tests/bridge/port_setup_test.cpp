#include "bridge/port_setup.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "fake_station.h"

namespace vantorel::bridge {
namespace {

using testing::FakeSerialPort;
using testing::WriteLog;

constexpr const char* kSoft2Failed = "Unable to open Soft2 port . Possible Conflict.";
constexpr const char* kSoft1Failed = "Unable to open Soft1 port . Possible Conflict.";
constexpr const char* kRadioFailed = "Unable to open Radio port . Possible Conflict.";

class PortSetupTest : public ::testing::Test, public testing::FakeStation {
 protected:
  PortSetupTest() { model.Soft2Com.SetText("COM6"); }
  void Run() { InitPorts(model, bridge.ports(), boxes); }
};

TEST_F(PortSetupTest, OpensTheApplicationsAndTheRadioThenSwitchesOnAutoInformation) {
  Run();
  // App 2 is not in use: its port is not even looked at.
  EXPECT_EQ(app2.openCount, 0);
  EXPECT_EQ(app2.commPort, -1);
  EXPECT_TRUE(model.Soft2Com.Enabled());
  EXPECT_TRUE(app1.PortOpen() && radio.PortOpen());

  // Start again with App 2 in use and another radio port: every port reopens.
  model.Ignore2.SetValue(0);
  model.RadioCom.SetText("COM9");
  Run();
  EXPECT_TRUE(boxes.shown.empty());
  for (FakeSerialPort* port : {&app1, &app2, &radio}) {
    EXPECT_TRUE(port->PortOpen());
    EXPECT_TRUE(port->rts && port->dtr);
    EXPECT_EQ(port->rThreshold, 1);
    EXPECT_EQ(port->inputLen, 1);
    EXPECT_EQ(port->outBufferSize, 2400);
  }
  for (FakeSerialPort* port : {&app1, &app2}) {
    EXPECT_EQ(port->settings, "19200,N,8,1");
    EXPECT_TRUE(port->nullDiscard);
  }
  EXPECT_EQ(app1.commPort, 5);
  EXPECT_EQ(app2.commPort, 6);
  EXPECT_EQ(radio.commPort, 9);
  EXPECT_EQ(radio.settings, "4800,E,8,1");
  EXPECT_FALSE(radio.nullDiscard);  // the radio's NULs are delivered
  EXPECT_EQ(radio.closeCount, 1);
  EXPECT_EQ(radio.openCount, 2);
  EXPECT_FALSE(model.Soft1Com.Enabled() || model.Soft2Com.Enabled() || model.RadioCom.Enabled());
  EXPECT_EQ(*log, (WriteLog{{"radio", "AI1;"}, {"radio", "AI1;"}}));
}

TEST_F(PortSetupTest, OnlyAClearIgnoreBoxLetsItsStepRun) {
  // A greyed box (value 2) is not clear: App 2 stays out, no "AI1;".
  model.Ignore2.SetValue(2);
  model.Ignore1.SetValue(2);
  Run();
  EXPECT_EQ(app2.openCount, 0);
  EXPECT_TRUE(log->empty());

  model.Ignore1.SetValue(1);
  Run();
  EXPECT_TRUE(app1.PortOpen());
  EXPECT_TRUE(radio.PortOpen());
  EXPECT_TRUE(log->empty());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PortSetupTest, RadioSettingsAreTheFourCombosAsTheyStand) {
  model.Baud.SetText("38400");
  model.Parity.SetText("None");
  model.DataBits.SetText("8");
  model.StopBits.SetText("2");
  EXPECT_EQ(RadioSettingsText(model), "38400,N,8,2");

  model.Baud.SetText(" 4800");
  model.Parity.SetText("");
  model.DataBits.SetText("4");
  model.StopBits.SetText("1.5");
  Run();
  // Not trimmed or judged here: the port decides.
  EXPECT_EQ(radio.settings, " 4800,,4,1.5");
}

// The failure table. Every case starts from a previous run that left all
// three ports open on their first numbers, with the boxes enabled again, so a
// port this run does not touch shows it.
enum class After { Untouched, Reopened, ReopenedBoxEnabled, Closed };
using Refusal = std::optional<std::string> FakeSerialPort::*;
constexpr Refusal kNumber = &FakeSerialPort::failCommPort;
constexpr Refusal kSettings = &FakeSerialPort::failSettings;
constexpr Refusal kOpen = &FakeSerialPort::failOpen;
constexpr Refusal kRts = &FakeSerialPort::failRts;
constexpr Refusal kDtr = &FakeSerialPort::failDtr;

struct FailureCase {
  const char* name;
  int ignore2;
  int failingPort;  // 0 App 2, 1 App 1, 2 the radio
  Refusal step;
  const char* message;  // nullptr: none
  After app2;
  After app1;
  After radio;
  bool autoInformation;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

using enum After;
// clang-format off
const FailureCase kFailures[] = {
    {"App2OpenFails",                      0, 0, kOpen,     kSoft2Failed, Closed, Untouched, Untouched, false},
    {"App2RtsFails",                       0, 0, kRts,      kSoft2Failed, Closed, Untouched, Untouched, false},
    {"App2NumberRefusedBeforeAnyOpen",     0, 0, kNumber,   kSoft2Failed, Closed, Untouched, Untouched, false},
    {"App2SettingsRefusedBeforeAnyOpen",   0, 0, kSettings, kSoft2Failed, Closed, Untouched, Untouched, false},
    // A later step fails: no message, straight on to "AI1;" - which reaches the
    // radio port still open from the previous run.
    {"App2DtrFails",                       0, 0, kDtr,      nullptr, ReopenedBoxEnabled, Untouched, Untouched, true},
    {"App1NumberRefusedBeforeAnyOpen",     1, 1, kNumber,   kSoft1Failed, Untouched, Closed, Untouched, false},
    {"App1SettingsRefusedAfterApp2Opened", 0, 1, kSettings, nullptr, Reopened, Closed, Untouched, true},
    {"App1OpenFails",                      1, 1, kOpen,     kSoft1Failed, Untouched, Closed, Untouched, false},
    {"App1RtsFails",                       0, 1, kRts,      kSoft1Failed, Reopened, Closed, Untouched, false},
    {"App1DtrFails",                       1, 1, kDtr,      nullptr, Untouched, ReopenedBoxEnabled, Untouched, true},
    {"RadioNumberRefused",                 1, 2, kNumber,   nullptr, Untouched, Reopened, Closed, false},
    {"RadioSettingsRefused",               0, 2, kSettings, nullptr, Reopened, Reopened, Closed, false},
    {"RadioOpenFails",                     1, 2, kOpen,     kRadioFailed, Untouched, Reopened, Closed, false},
    {"RadioRtsFails",                      1, 2, kRts,      kRadioFailed, Untouched, Reopened, Closed, false},
    {"RadioDtrFails",                      1, 2, kDtr,      nullptr, Untouched, Reopened, ReopenedBoxEnabled, true},
};
// clang-format on

class PortSetupFailureTest : public PortSetupTest,
                             public ::testing::WithParamInterface<FailureCase> {};

TEST_P(PortSetupFailureTest, FollowsTheFailureRules) {
  const FailureCase& c = GetParam();
  FakeSerialPort* const ports[] = {&app2, &app1, &radio};
  model::ComboBox* const boxes3[] = {&model.Soft2Com, &model.Soft1Com, &model.RadioCom};

  // The previous run.
  model.Ignore2.SetValue(0);
  Run();
  ASSERT_TRUE(app1.PortOpen() && app2.PortOpen() && radio.PortOpen());
  for (model::ComboBox* box : boxes3) {
    box->SetEnabled(true);
  }
  log->clear();

  model.Ignore2.SetValue(c.ignore2);
  model.Soft2Com.SetText("COM16");
  model.Soft1Com.SetText("COM15");
  model.RadioCom.SetText("COM17");
  ports[c.failingPort]->*c.step = "refused";
  Run();

  EXPECT_EQ(boxes.shown,
            c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
  const After after[] = {c.app2, c.app1, c.radio};
  const int newNumber[] = {16, 15, 17};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const FakeSerialPort& port = *ports[i];
    EXPECT_EQ(port.PortOpen(), after[i] != Closed);
    EXPECT_EQ(boxes3[i]->Enabled(), after[i] != Reopened);
    if (after[i] == Untouched) {
      EXPECT_EQ(port.openCount, 1);
      EXPECT_EQ(port.closeCount, 0);
      EXPECT_NE(port.commPort, newNumber[i]);
    } else if (after[i] != Closed) {
      EXPECT_EQ(port.openCount, 2);
      EXPECT_EQ(port.commPort, newNumber[i]);
    }
  }
  EXPECT_EQ(Log(), c.autoInformation ? std::vector<std::string>{"radio:AI1;"}
                                     : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Table, PortSetupFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantorel::bridge
