// The buttons that talk to the ports by hand.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bridge_fixture.h"

namespace vantorel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ManualCommands = BridgeFixture;

TEST_F(ManualCommands, TestSetsTheFrequencyThenAsksForTheStatus) {
  model.Command3.Click();
  EXPECT_THAT(Log(), ElementsAre("radio:FA00014251300;", "radio:IF;"));
  EXPECT_THAT(boxes.shown, IsEmpty());
}

TEST_F(ManualCommands, TestWithTheRadioPortClosedDoesNothing) {
  radio.PortOpen(false);
  model.Command3.Click();
  model.Command5.Click();
  model.Command6.Click();
  EXPECT_THAT(Log(), IsEmpty());
  EXPECT_THAT(boxes.shown, IsEmpty());
}

TEST_F(ManualCommands, ARefusedTestWriteShowsTheDescriptionAloneAndStops) {
  radio.failOutput = "Device I/O error";
  model.Command3.Click();
  EXPECT_THAT(boxes.shown, ElementsAre("Device I/O error"));
  EXPECT_THAT(Log(), IsEmpty());
}

TEST_F(ManualCommands, ResetAndTheSendButtonsReportARefusalTheSameWay) {
  radio.failOutput = "Device I/O error";
  app1.failOutput = "Port gone";
  model.Text4.SetText("FA;");
  model.Command5.Click();
  model.Command6.Click();
  model.Command9.Click();
  EXPECT_THAT(boxes.shown, ElementsAre("Device I/O error", "Device I/O error", "Port gone"));
}

TEST_F(ManualCommands, ResetReturnsTheRadioToReceiveWithAutoInformation) {
  model.vars.TXOn = true;
  model.Command5.Click();
  EXPECT_THAT(Log(), ElementsAre("radio:RX;AI1;"));
  EXPECT_TRUE(model.vars.TXOn) << "the supervision stays armed";
}

TEST_F(ManualCommands, SendToRadioWritesTheLineAsTypedInOneWrite) {
  model.Text4.SetText("FA;IF;");
  model.Command6.Click();
  EXPECT_THAT(Log(), ElementsAre("radio:FA;IF;"));
  EXPECT_FALSE(model.vars.Soft1Waiting);
}

TEST_F(ManualCommands, SendToRigdeskWritesTheLineToApp1Untranslated) {
  model.Text4.SetText("FA00014251300;");
  model.Command9.Click();
  EXPECT_THAT(Log(), ElementsAre("app1:FA00014251300;"));
}

TEST_F(ManualCommands, AnEmptyLineSendsNothing) {
  model.Command6.Click();
  model.Command9.Click();
  EXPECT_THAT(Log(), IsEmpty());
}

TEST_F(ManualCommands, ClearEmptiesBothMonitorBoxes) {
  model.Text5.SetText("46413B");
  model.Text6.SetText("x");
  model.Command7.Click();
  EXPECT_EQ(model.Text5.Text(), "");
  EXPECT_EQ(model.Text6.Text(), "");
}

TEST_F(ManualCommands, TickingIgnore2TicksKenwoodAndUntickingLeavesIt) {
  model.KenwoodCB.SetValue(0);
  model.Ignore2.SetValue(0);
  EXPECT_EQ(model.KenwoodCB.Value(), 0);
  model.Ignore2.SetValue(1);
  EXPECT_EQ(model.KenwoodCB.Value(), 1);
  model.Ignore2.SetValue(0);
  EXPECT_EQ(model.KenwoodCB.Value(), 1);
  model.KenwoodCB.SetValue(0);
  model.Ignore2.SetValue(2);  // greyed is not ticked
  EXPECT_EQ(model.KenwoodCB.Value(), 0);
}

TEST_F(ManualCommands, TheHandlersAreDetachedWhenTheBridgeGoes) {
  {
    model::CatmuxModel other;
    FakeSerialPort a{"a", log}, b{"b", log}, c{"c", log};
    { bridge::Bridge gone{other, {a, b, c}, loop, boxes}; }
    Open(c);
    other.Command3.Click();
    other.Timer2.Tick();
    c.Receive("FA;");
  }
  EXPECT_THAT(Log(), IsEmpty());
}

}  // namespace
}  // namespace vantorel::testing
