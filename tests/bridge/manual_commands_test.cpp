// The buttons that talk to the ports by hand, Ignore2's effect on framing, and
// Timer2's shutdown as the bridge reports it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "bridge_fixture.h"

namespace vantorel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using ManualCommands = BridgeFixture;

TEST_F(ManualCommands, EachButtonWritesItsTextInOneGo) {
  struct Case {
    model::Button* button;
    const char* text4;
    std::vector<std::string> writes;
  };
  const Case cases[] = {
      // Test: VFO A to 14.2513 MHz, then the status.
      {&model.Command3, "", {"radio:FA00014251300;", "radio:IF;"}},
      // Reset: back to receive with auto-information.
      {&model.Command5, "", {"radio:RX;AI1;"}},
      {&model.Command6, "FA;IF;", {"radio:FA;IF;"}},
      {&model.Command9, "FA00014251300;", {"app1:FA00014251300;"}},  // untranslated
      {&model.Command6, "", {}},
      {&model.Command9, "", {}},
  };
  model.vars.TXOn = true;
  for (const Case& c : cases) {
    log->clear();
    model.Text4.SetText(c.text4);
    c.button->Click();
    EXPECT_EQ(Log(), c.writes) << c.button->Name() << " " << c.text4;
  }
  EXPECT_TRUE(model.vars.TXOn) << "the supervision stays armed after Reset";
  EXPECT_FALSE(model.vars.Soft1Waiting) << "no answer is awaited for a text sent by hand";
  EXPECT_THAT(boxes.shown, IsEmpty());

  radio.PortOpen(false);
  model.Text4.SetText("FA;");
  for (model::Button* button : {&model.Command3, &model.Command5, &model.Command6}) {
    button->Click();
  }
  EXPECT_THAT(Log(), IsEmpty()) << "nothing to a closed radio port";
  EXPECT_THAT(boxes.shown, IsEmpty());
}

TEST_F(ManualCommands, ARefusedWriteShowsTheDescriptionAloneAndStops) {
  radio.failOutput = "Device I/O error";
  app1.failOutput = "Port gone";
  model.Text4.SetText("FA;");
  for (model::Button* button :
       {&model.Command3, &model.Command5, &model.Command6, &model.Command9}) {
    button->Click();
  }
  EXPECT_THAT(boxes.shown,
              ElementsAre("Device I/O error", "Device I/O error", "Device I/O error", "Port gone"));
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

// The radio must be unkeyed even when App 1's port refuses every write; the
// refusal is shown once, not once per write.
TEST_F(ManualCommands, ShutdownThroughARefusingApp1PortStillUnkeysTheRadio) {
  model.ShutDwn.SetText("1");
  model.vars.TXOn = true;
  app1.failOutput = "Port gone";
  model.Timer2.Tick();
  EXPECT_THAT(Log(), ElementsAre("radio:RX;", "radio:MX0;", "radio:PS0;"));
  EXPECT_THAT(boxes.shown, ElementsAre("error Port gone"));
  EXPECT_FALSE(model.vars.TXOn);
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
