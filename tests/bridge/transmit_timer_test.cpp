// The transmit supervision as the bridge runs it: armed by App 1's traffic,
// ticked by Timer2, writing through the real ports.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "bridge_fixture.h"

namespace vantorel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class TransmitTimer : public BridgeFixture {
 protected:
  void Tick(int times) {
    for (int i = 0; i < times; ++i) {
      model.Timer2.Tick();
    }
  }
};

TEST_F(TransmitTimer, ATranslatedKeyDownIsShutDownAtTheLimit) {
  model.ShutDwn.SetText("2");
  app1.Receive("MX1;");
  ASSERT_TRUE(model.vars.TXOn);
  log->clear();
  Tick(1);
  EXPECT_THAT(Log(), IsEmpty());
  Tick(1);
  EXPECT_THAT(Log(), ElementsAre("radio:RX;", "app1:TX0;", "radio:MX0;", "app1:MX0;", "app1:PS0;",
                                 "radio:PS0;"));
  EXPECT_FALSE(model.vars.TXOn);
  EXPECT_EQ(model.vars.TXTime, 0);
  EXPECT_THAT(boxes.shown, IsEmpty());
}

TEST_F(TransmitTimer, ARefusingApp1PortStillUnkeysTheRadioAndIsReportedOnce) {
  model.ShutDwn.SetText("1");
  model.vars.TXOn = true;
  app1.failOutput = "Port gone";
  Tick(1);
  EXPECT_THAT(Log(), ElementsAre("radio:RX;", "radio:MX0;", "radio:PS0;"));
  EXPECT_THAT(boxes.shown, ElementsAre("error Port gone"));
  EXPECT_FALSE(model.vars.TXOn);
}

}  // namespace
}  // namespace vantorel::testing
