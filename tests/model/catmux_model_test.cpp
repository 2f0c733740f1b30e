#include "model/catmux_model.h"

#include <gtest/gtest.h>

#include "model/attachments.h"

namespace vantorel::model {
namespace {

TEST(CatmuxModel, CheckBoxRunsClickOnChange) {
  CatmuxModel m;
  int clicks = 0;
  m.Check1.onClick = [&] { ++clicks; };
  EXPECT_EQ(m.Check1.Value(), Check::Clear);
  m.Check1.SetValue(Check::Clear);  // no change, no click
  EXPECT_EQ(clicks, 0);
  m.Check1.SetValue(Check::Greyed);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(m.Check1.Ticked());
  m.Check1.SetValue(Check::Ticked);
  EXPECT_TRUE(m.Check1.Ticked());
  EXPECT_EQ(clicks, 2);
}

TEST(Attachments, HandlersComeOffWhenTheirOwnerGoes) {
  CatmuxModel m;
  int clicks = 0;
  bool detached = false;
  {
    Attachments attached;
    attached.Attach(m.Command1.onClick, [&] { ++clicks; });
    attached.Add([&] { detached = true; });
    m.Command1.Click();
  }
  m.Command1.Click();  // no handler left that points at the gone owner
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(m.Command1.onClick);
  EXPECT_TRUE(detached);
}

}  // namespace
}  // namespace vantorel::model
