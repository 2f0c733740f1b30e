#include "bridge/port_setup.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "fake_platform.h"
#include "fake_serial_port.h"

namespace vantorel::bridge {
namespace {

using testing::FakeSerialPort;
using testing::Write;
using testing::WriteLog;

constexpr const char* kSoft2Failed = "Unable to open Soft2 port . Possible Conflict.";
constexpr const char* kSoft1Failed = "Unable to open Soft1 port . Possible Conflict.";
constexpr const char* kRadioFailed = "Unable to open Radio port . Possible Conflict.";

class PortSetupTest : public ::testing::Test {
 protected:
  PortSetupTest() {
    model.Soft1Com.SetText("COM5");
    model.Soft2Com.SetText("COM6");
    model.RadioCom.SetText("COM7");
    model.Baud.SetText("4800");
    model.Parity.SetText("Even");
    model.DataBits.SetText("8");
    model.StopBits.SetText("1");
  }

  void Run() { InitPorts(model, ports, boxes); }

  model::CatmuxModel model;
  std::shared_ptr<WriteLog> log = std::make_shared<WriteLog>();
  FakeSerialPort app1{"app1", log};
  FakeSerialPort app2{"app2", log};
  FakeSerialPort radio{"radio", log};
  Ports ports{app1, app2, radio};
  testing::FakeMessageBoxes boxes;
};

TEST_F(PortSetupTest, ShippedDefaultOpensApp1AndRadioThenSwitchesOnAutoInformation) {
  Run();

  EXPECT_TRUE(boxes.shown.empty());
  // App 2 is not in use: its port is not even looked at.
  EXPECT_EQ(app2.openCount, 0);
  EXPECT_EQ(app2.commPort, -1);
  EXPECT_TRUE(model.Soft2Com.Enabled());

  for (FakeSerialPort* port : {&app1, &radio}) {
    EXPECT_TRUE(port->PortOpen());
    EXPECT_TRUE(port->rts);
    EXPECT_TRUE(port->dtr);
    EXPECT_EQ(port->rThreshold, 1);
    EXPECT_EQ(port->inputLen, 1);
    EXPECT_EQ(port->outBufferSize, 2400);
  }
  EXPECT_EQ(app1.commPort, 5);
  EXPECT_EQ(app1.settings, "19200,N,8,1");
  EXPECT_TRUE(app1.nullDiscard);
  EXPECT_EQ(radio.commPort, 7);
  EXPECT_EQ(radio.settings, "4800,E,8,1");
  EXPECT_FALSE(radio.nullDiscard);  // the radio's NULs are delivered
  EXPECT_FALSE(model.Soft1Com.Enabled());
  EXPECT_FALSE(model.RadioCom.Enabled());

  EXPECT_EQ(*log, (WriteLog{{"radio", "AI1;"}}));
}

TEST_F(PortSetupTest, App2InUseIsOpenedWithTheApplicationSettings) {
  model.Ignore2.SetValue(0);
  Run();

  EXPECT_TRUE(app2.PortOpen());
  EXPECT_EQ(app2.commPort, 6);
  EXPECT_EQ(app2.settings, "19200,N,8,1");
  EXPECT_TRUE(app2.nullDiscard);
  EXPECT_TRUE(app2.rts && app2.dtr);
  EXPECT_EQ(app2.outBufferSize, 2400);
  EXPECT_FALSE(model.Soft2Com.Enabled());
  EXPECT_TRUE(app1.PortOpen());
  EXPECT_TRUE(radio.PortOpen());
  EXPECT_EQ(*log, (WriteLog{{"radio", "AI1;"}}));
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

TEST_F(PortSetupTest, StartTwiceReopensEveryConfiguredPort) {
  model.Ignore2.SetValue(0);
  Run();
  model.RadioCom.SetText("COM9");
  Run();

  for (FakeSerialPort* port : {&app1, &app2, &radio}) {
    EXPECT_EQ(port->openCount, 2);
    EXPECT_EQ(port->closeCount, 1);
    EXPECT_TRUE(port->PortOpen());
  }
  EXPECT_EQ(radio.commPort, 9);
  EXPECT_FALSE(model.Soft1Com.Enabled());
  EXPECT_FALSE(model.Soft2Com.Enabled());
  EXPECT_FALSE(model.RadioCom.Enabled());
  EXPECT_EQ(*log, (WriteLog{{"radio", "AI1;"}, {"radio", "AI1;"}}));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PortSetupTest, RadioPortZeroStaysClosedWithoutAMessage) {
  model.RadioCom.SetText("COM");
  Run();
  EXPECT_TRUE(app1.PortOpen());
  EXPECT_FALSE(radio.PortOpen());
  EXPECT_TRUE(model.RadioCom.Enabled());
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(log->empty());
}

// The failure table. Every case starts from a previous run that left all
// three ports open on their first numbers, with the boxes enabled again, so a
// port this run does not touch shows it.
enum class Step { CommPort, Settings, Open, Rts, Dtr };
enum class After { Untouched, Reopened, ReopenedBoxEnabled, Closed };

struct FailureCase {
  const char* name;
  int ignore2;
  const char* failingPort;  // "app2", "app1" or "radio"
  Step step;
  std::optional<std::string> message;
  After app2;
  After app1;
  After radio;
  bool autoInformation;
};

// Test names and failure output show the case by name.
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

const FailureCase kFailures[] = {
    {"App2OpenFails", 0, "app2", Step::Open, kSoft2Failed, After::Closed, After::Untouched,
     After::Untouched, false},
    {"App2RtsFails", 0, "app2", Step::Rts, kSoft2Failed, After::Closed, After::Untouched,
     After::Untouched, false},
    {"App2NumberRefusedBeforeAnyOpen", 0, "app2", Step::CommPort, kSoft2Failed, After::Closed,
     After::Untouched, After::Untouched, false},
    {"App2SettingsRefusedBeforeAnyOpen", 0, "app2", Step::Settings, kSoft2Failed, After::Closed,
     After::Untouched, After::Untouched, false},
    // A later step fails: no message, straight on to "AI1;" - which reaches the
    // radio port still open from the previous run.
    {"App2DtrFails", 0, "app2", Step::Dtr, std::nullopt, After::ReopenedBoxEnabled,
     After::Untouched, After::Untouched, true},
    {"App1NumberRefusedBeforeAnyOpen", 1, "app1", Step::CommPort, kSoft1Failed, After::Untouched,
     After::Closed, After::Untouched, false},
    {"App1SettingsRefusedAfterApp2Opened", 0, "app1", Step::Settings, std::nullopt, After::Reopened,
     After::Closed, After::Untouched, true},
    {"App1OpenFails", 1, "app1", Step::Open, kSoft1Failed, After::Untouched, After::Closed,
     After::Untouched, false},
    {"App1RtsFails", 0, "app1", Step::Rts, kSoft1Failed, After::Reopened, After::Closed,
     After::Untouched, false},
    {"App1DtrFails", 1, "app1", Step::Dtr, std::nullopt, After::Untouched,
     After::ReopenedBoxEnabled, After::Untouched, true},
    {"RadioNumberRefused", 1, "radio", Step::CommPort, std::nullopt, After::Untouched,
     After::Reopened, After::Closed, false},
    {"RadioSettingsRefused", 0, "radio", Step::Settings, std::nullopt, After::Reopened,
     After::Reopened, After::Closed, false},
    {"RadioOpenFails", 1, "radio", Step::Open, kRadioFailed, After::Untouched, After::Reopened,
     After::Closed, false},
    {"RadioRtsFails", 1, "radio", Step::Rts, kRadioFailed, After::Untouched, After::Reopened,
     After::Closed, false},
    {"RadioDtrFails", 1, "radio", Step::Dtr, std::nullopt, After::Untouched, After::Reopened,
     After::ReopenedBoxEnabled, true},
};

class PortSetupFailureTest : public PortSetupTest,
                             public ::testing::WithParamInterface<FailureCase> {
 protected:
  FakeSerialPort& Port(const std::string& name) {
    return name == "app1" ? app1 : name == "app2" ? app2 : radio;
  }
  model::ComboBox& Box(const std::string& name) {
    return name == "app1" ? model.Soft1Com : name == "app2" ? model.Soft2Com : model.RadioCom;
  }

  void ExpectPort(const std::string& name, After after, int newNumber) {
    SCOPED_TRACE(name);
    FakeSerialPort& port = Port(name);
    switch (after) {
      case After::Untouched:
        EXPECT_TRUE(port.PortOpen());
        EXPECT_EQ(port.openCount, 1);
        EXPECT_EQ(port.closeCount, 0);
        EXPECT_NE(port.commPort, newNumber);
        EXPECT_TRUE(Box(name).Enabled());
        break;
      case After::Reopened:
      case After::ReopenedBoxEnabled:
        EXPECT_TRUE(port.PortOpen());
        EXPECT_EQ(port.openCount, 2);
        EXPECT_EQ(port.commPort, newNumber);
        EXPECT_EQ(Box(name).Enabled(), after == After::ReopenedBoxEnabled);
        break;
      case After::Closed:
        EXPECT_FALSE(port.PortOpen());
        EXPECT_TRUE(Box(name).Enabled());
        break;
    }
  }
};

TEST_P(PortSetupFailureTest, FollowsTheFailureRules) {
  const FailureCase& c = GetParam();

  // The previous run.
  model.Ignore2.SetValue(0);
  Run();
  ASSERT_TRUE(app1.PortOpen() && app2.PortOpen() && radio.PortOpen());
  for (model::ComboBox* box : {&model.Soft1Com, &model.Soft2Com, &model.RadioCom}) {
    box->SetEnabled(true);
  }
  log->clear();

  model.Ignore2.SetValue(c.ignore2);
  model.Soft1Com.SetText("COM15");
  model.Soft2Com.SetText("COM16");
  model.RadioCom.SetText("COM17");
  FakeSerialPort& failing = Port(c.failingPort);
  const std::string refusal = "refused";
  switch (c.step) {
    case Step::CommPort:
      failing.failCommPort = refusal;
      break;
    case Step::Settings:
      failing.failSettings = refusal;
      break;
    case Step::Open:
      failing.failOpen = refusal;
      break;
    case Step::Rts:
      failing.failRts = refusal;
      break;
    case Step::Dtr:
      failing.failDtr = refusal;
      break;
  }

  Run();

  if (c.message) {
    EXPECT_EQ(boxes.shown, std::vector<std::string>{*c.message});
  } else {
    EXPECT_TRUE(boxes.shown.empty());
  }
  ExpectPort("app2", c.app2, 16);
  ExpectPort("app1", c.app1, 15);
  ExpectPort("radio", c.radio, 17);
  const WriteLog expected = c.autoInformation ? WriteLog{{"radio", "AI1;"}} : WriteLog{};
  EXPECT_EQ(*log, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, PortSetupFailureTest, ::testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantorel::bridge
