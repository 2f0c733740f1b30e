// The window's extras on the plain model: Expand/Collapse, Help and the hints.
// (About and the folder target are shown through the real window.)
#include "app/window_extras.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "catmux_fixture.h"
#include "fake_desktop.h"
#include "model/catmux_model.h"
#include "station/port_names.h"

namespace vantorel::app {
namespace {

// The help text's original steps, paragraph by paragraph, as the user reads
// them after the section for Linux.
std::string ExpectedHelpText() {
  const std::string kBreak = "\r\n\r\n";
  return "The program will convert the Rigdesk output to Kenwood Format so that you can "
         "remotely operate your Kenwood using the Rigdesk emulation. Select FT-950 in the "
         "Rigdesk emulation." +
         kBreak + "Here's a list of steps to get the program running:" + kBreak +
         "1) Setup a pair of linked virtual serial ports. I used com0com to do this (free on "
         "the internet) Port 10 and port 11.  " +
         kBreak + "2)In Rigdesk enter port 10 as the output port." + kBreak +
         "3)In the program enter 11 as 'App 1 Com Port' and enter the actual port that is "
         "attached to your rig in 'Radio Com Port'" +
         kBreak +
         "4)Enter the baud rate that your rig is set for as well as Data Bits, Parity, and Stop "
         "Bits." +
         kBreak + "5)Click the start button. Rigdesk should now be talking to your Kenwood rig." +
         kBreak +
         "NOTE:If your rig can be turned on and off remotely you should check the checkbox "
         "'Power On/Off'";
}

class WindowExtrasTest : public ::testing::Test {
 protected:
  model::CatmuxModel model;
  testing::FakeMessageBoxes boxes;
  testing::FakeDesktop desktop;
  std::unique_ptr<WindowExtras> extras = std::make_unique<WindowExtras>(model, boxes, desktop);
};

// One help window: a second Help sets the text anew in it; its close button
// unloads it, and Help loads it again.
TEST_F(WindowExtrasTest, HelpLoadsTheFormWithTheTextByteForByte) {
  int loads = 0;
  model.HlpForm.changed.Connect([&] { loads += model.HlpForm.Loaded() ? 1 : 0; });
  model.Hlp.Click();
  EXPECT_TRUE(model.HlpForm.Loaded());
  const std::string& help = model.HlpForm.Text1.Text();
  EXPECT_TRUE(help.starts_with("ON LINUX\r\n\r\nApp 1's port: ")) << help;
  EXPECT_TRUE(help.ends_with("(WINDOWS)\r\n\r\n" + ExpectedHelpText())) << help;
  const std::string path = station::DefaultApp1PtyName().substr(4);
  for (const std::string& named : {"point App 1 at " + path + " ", std::string("sim:kenwood"),
                                   std::string("FT-950 emulation"), std::string("tcp-listen:")}) {
    EXPECT_NE(help.find(named), std::string::npos) << named;
  }
  const std::string first = help;
  model.HlpForm.Text1.SetText("scrolled and edited");
  model.Hlp.Click();
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(model.HlpForm.Text1.Text(), first);

  model.HlpForm.Command1.Click();
  EXPECT_FALSE(model.HlpForm.Loaded());
  model.Hlp.Click();
  EXPECT_TRUE(model.HlpForm.Loaded());
}

TEST_F(WindowExtrasTest, EachControlGetsItsHintOnlyWhenThePointerMovesOverIt) {
  struct Hint {
    model::Control* control;
    std::function<void()>* mouseMove;
    const char* text;
  };
  const Hint hints[] = {
      {&model.Check2, &model.Check2.onMouseMove,
       "Check this box if the source and destination are both FT-950's"},
      {&model.MonitorTX, &model.MonitorTX.onMouseMove,
       "Check this box if you want to monitor transmit and shut down the system if XT is "
       "greater than specified"},
      {&model.PWROn, &model.PWROn.onMouseMove,
       "Check this box if the rig you are controlling can be truned on and off remotely"},
      {&model.Label11, &model.Label11.onMouseMove,
       "Enter the first few characters of the title that is on the title bar of the program"},
  };
  for (const Hint& hint : hints) {
    EXPECT_EQ(hint.control->ToolTipText(), "") << hint.control->Name();
  }
  for (std::size_t i = 0; i < std::size(hints); ++i) {
    (*hints[i].mouseMove)();
    for (std::size_t j = 0; j < std::size(hints); ++j) {
      EXPECT_EQ(hints[j].control->ToolTipText(), j <= i ? hints[j].text : "")
          << "after moving over " << hints[i].control->Name() << ", " << hints[j].control->Name();
    }
  }
  // Moving again changes nothing.
  (*hints[0].mouseMove)();
  EXPECT_EQ(model.Check2.ToolTipText(), hints[0].text);
}

TEST_F(WindowExtrasTest, NoHookOutlivesTheExtras) {
  extras.reset();
  model.EXP.Click();
  model.Abt.Click();
  model.Hlp.Click();
  model.HlpForm.Command1.Click();
  EXPECT_EQ(model.EXP.Caption(), "Expand");
  EXPECT_FALSE(model.HlpForm.Loaded());
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_FALSE(model.Picture1.onClick);
  EXPECT_FALSE(model.Label11.onMouseMove);
  EXPECT_FALSE(model.PWROn.onMouseMove);
}

}  // namespace
}  // namespace vantorel::app
