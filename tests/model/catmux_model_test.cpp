#include "model/catmux_model.h"

#include <gtest/gtest.h>

#include "model/attachments.h"

namespace vantorel::model {
namespace {

TEST(CatmuxModel, DesignTimeValuesWithoutSettings) {
  CatmuxModel m;
  for (const ComboBox* c :
       {&m.Soft1Com, &m.Soft2Com, &m.RadioCom, &m.Baud, &m.DataBits, &m.Parity, &m.StopBits}) {
    EXPECT_EQ(c->Text(), "") << c->Name();
    EXPECT_TRUE(c->Enabled()) << c->Name();
  }
  EXPECT_TRUE(m.Option1[0].Value());
  EXPECT_FALSE(m.Option1[1].Value());
  for (const CheckBox* c : {&m.PWROn, &m.MonitorTX, &m.Ignore2, &m.Ignore2Out, &m.KenwoodCB}) {
    EXPECT_EQ(c->Value(), 1) << c->Name();
  }
  for (const CheckBox* c : {&m.Check1, &m.Check2, &m.Check3, &m.Ignore1, &m.Ignore1Out, &m.HexX}) {
    EXPECT_EQ(c->Value(), 0) << c->Name();
  }
  EXPECT_EQ(m.ShutDwn.Text(), "180");
  EXPECT_EQ(m.Text7.Text(), "FT-950");
  EXPECT_EQ(m.App1Name.Text(), "C:\\Program Files (x86)\\Logbench\\Logbench.exe");
  EXPECT_EQ(m.App2Name.Text(), "C:\\Program Files (x86)\\Rigdesk\\Rigdesk.exe");
  EXPECT_EQ(m.MonitorTX.Caption(), "Shut Down if XT is                or greater");
  EXPECT_EQ(m.EXP.Caption(), "Expand");
  EXPECT_TRUE(m.Timer1.Enabled());
  EXPECT_EQ(m.Timer1.Interval(), 100);
  EXPECT_FALSE(m.Timer2.Enabled());
  EXPECT_EQ(m.Timer2.Interval(), 1000);
  for (const Control* hidden :
       std::initializer_list<const Control*>{&m.Label2, &m.Soft2Com, &m.Ignore1, &m.Ignore2,
                                             &m.KenwoodCB, &m.Command3, &m.Shape1, &m.Shape2}) {
    EXPECT_FALSE(hidden->Visible()) << hidden->Name();
  }
  EXPECT_EQ(m.title.rfind("Vantorel", 0), 0U);
  EXPECT_EQ(m.Soft1Com.Items().front(), "COM1");
  EXPECT_EQ(m.Soft1Com.Items().back(), "COM20");
  EXPECT_EQ(m.Soft1Com.Items().size(), 20U);
  // The window variables start empty.
  EXPECT_EQ(m.vars.Soft1Data + m.vars.Soft1Buf + m.vars.Soft2Data, "");
  EXPECT_FALSE(m.vars.Soft1Waiting || m.vars.Soft2Waiting || m.vars.TXOn);
  EXPECT_FALSE(m.vars.InGetData1 || m.vars.InGetData2 || m.vars.InGetData3);
  EXPECT_EQ(m.vars.TXTime, 0);
}

TEST(CatmuxModel, OptionButtonsExcludeEachOther) {
  CatmuxModel m;
  m.Option1[1].SetValue(true);
  EXPECT_FALSE(m.Option1[0].Value());
  EXPECT_TRUE(m.Option1[1].Value());
  m.Option1[0].SetValue(true);
  EXPECT_TRUE(m.Option1[0].Value());
  EXPECT_FALSE(m.Option1[1].Value());
  // Clearing one does not select the other: both may be clear.
  m.Option1[0].SetValue(false);
  EXPECT_FALSE(m.Option1[0].Value() || m.Option1[1].Value());
}

TEST(CatmuxModel, CheckBoxRefusesValuesOutsideZeroToTwoAndRunsClickOnChange) {
  CatmuxModel m;
  int clicks = 0;
  m.Check1.onClick = [&] { ++clicks; };
  EXPECT_THROW(m.Check1.SetValue(3), InvalidPropertyValue);
  EXPECT_THROW(m.Check1.SetValue(-1), InvalidPropertyValue);
  EXPECT_EQ(m.Check1.Value(), 0);
  m.Check1.SetValue(0);  // no change, no click
  EXPECT_EQ(clicks, 0);
  m.Check1.SetValue(2);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(m.Check1.Ticked());
  m.Check1.SetValue(1);
  EXPECT_TRUE(m.Check1.Ticked());
  EXPECT_EQ(clicks, 2);
}

TEST(CatmuxModel, AppendTellsOnlyThePiece) {
  CatmuxModel m;
  std::string seen;
  m.Text5.appended.Connect([&](std::string_view piece) { seen.append(piece).append("|"); });
  m.Text5.Append("46");
  m.Text5.Append("");
  m.Text5.Append("41");
  EXPECT_EQ(m.Text5.Text(), "4641");
  EXPECT_EQ(seen, "46|41|");
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
