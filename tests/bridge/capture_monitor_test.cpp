// The capture files, written to real files in a temporary folder, and the
// traffic monitor.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "bridge/monitor.h"
#include "bridge_fixture.h"
#include "temp_folder.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;

// Each test runs in a fresh temporary folder, where the program keeps its files.
class Capture : public BridgeFixture {
 protected:
  void StartCapture() {
    model.Check3.SetValue(1);
    boxes.shown.clear();
  }

  TempFolder folder;
};

TEST_F(Capture, TestFileIsCreatedEmptyAndGetsNothingWhileTheCaptureIsOff) {
  { std::ofstream("TEST.TXT") << "earlier"; }
  ASSERT_TRUE(bridge.CreateTestFile());
  app1.Receive("AB;");
  radio.Receive("FA00014251300;");
  EXPECT_TRUE(fs::exists("TEST.TXT"));
  EXPECT_EQ(ReadFile("TEST.TXT"), "");
  EXPECT_FALSE(fs::exists("TESTIN.TXT"));

  fs::remove("TEST.TXT");
  fs::create_directory("TEST.TXT");
  EXPECT_FALSE(bridge.CreateTestFile()) << "reported to the caller";
}

// One line per block from each side, captured before any routing test;
// stopping closes the files and starting again begins them anew.
TEST_F(Capture, WritesOneLinePerBlockFromEachSide) {
  bridge.CreateTestFile();
  model.Check3.SetValue(1);
  EXPECT_THAT(boxes.shown, ElementsAre("TESTIN.TXT and TESTOUT.TXT have been opened"));
  app1.Receive("FA14251300;");
  model.vars.Soft2Waiting = true;
  app1.Receive("AB;");  // dropped
  model.Check2.SetValue(1);
  app1.Receive("TX;");  // passed untranslated
  radio.Receive("FA00014251300;IF");
  radio.RaiseOnComm();  // the partial "IF" is given up: not captured
  radio.Receive("");    // an empty radio read: an empty line
  EXPECT_EQ(ReadFile("TESTIN.TXT"), "FA14251300;\r\nAB;\r\nTX;\r\n");
  EXPECT_EQ(ReadFile("TESTOUT.TXT"), "FA00014251300;\r\n\r\n");
  EXPECT_EQ(ReadFile("TEST.TXT"), "");

  model.Check3.SetValue(0);
  EXPECT_EQ(boxes.shown.back(), "Files Closed");
  app1.Receive("ZZ;");
  EXPECT_EQ(ReadFile("TESTIN.TXT"), "FA14251300;\r\nAB;\r\nTX;\r\n");
  model.Check3.SetValue(1);
  EXPECT_EQ(ReadFile("TESTIN.TXT"), "");
  EXPECT_EQ(ReadFile("TESTOUT.TXT"), "");
}

TEST_F(Capture, AFileThatCannotBeCreatedIsReportedAndSaveDataUnticked) {
  fs::create_directory("TESTOUT.TXT");
  model.Check3.SetValue(1);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_THAT(boxes.shown[0], ::testing::StartsWith("Unable to create TESTOUT.TXT: "));
  EXPECT_THAT(boxes.shown[0], ::testing::EndsWith(". Save Data is off."));
  EXPECT_EQ(model.Check3.Value(), 0);
  app1.Receive("AB;");
  EXPECT_EQ(ReadFile("TESTIN.TXT"), "") << "no half capture";
}

TEST_F(Capture, AFailedWriteIsReportedOnceAndTheTrafficStillFlows) {
  fs::create_symlink("/dev/full", "TESTIN.TXT");
  StartCapture();
  app1.Receive("AB;");
  app1.Receive("ZZ;");
  EXPECT_THAT(boxes.shown,
              ElementsAre("error Unable to write TESTIN.TXT: No space left on device"));
  EXPECT_EQ(model.Check3.Value(), 0);
  EXPECT_EQ(radio.Written(), "VV;ZZ;");
}

// --- monitor ------------------------------------------------------------------

TEST(HexForm, TwoUpperCaseDigitsPerByteAndANewLineAfterLineFeed) {
  EXPECT_EQ(bridge::HexForm("FA;"), "46413B");
  EXPECT_EQ(bridge::HexForm(std::string("\x00\x0f\xff", 3)), "000FFF");
  EXPECT_EQ(bridge::HexForm("a\nb"), "610A\r\n62");
  EXPECT_EQ(bridge::HexForm(""), "");
}

using Monitor = BridgeFixture;

// App 1's blocks on both paths (translating, then No Translation), as text or
// hex; the radio's box gets nothing.
TEST_F(Monitor, ShowsApp1sBlocksOnBothPathsWhileTicked) {
  struct Case {
    int check1;
    int hex;
    const char* shown;
  };
  for (const Case c : {Case{1, 0, "AB;TX;"}, Case{1, 1, "41423B0A\r\n"}, Case{0, 1, ""}}) {
    model.Text5.SetText("");
    model.Check2.SetValue(0);
    model.Check1.SetValue(c.check1);
    model.HexX.SetValue(c.hex);
    model.Text6.SetText("kept");
    app1.Receive("AB;");
    model.Check2.SetValue(1);
    app1.Receive(c.hex != 0 ? "\n" : "TX;");
    radio.Receive("FA00014251300;");
    EXPECT_EQ(model.Text5.Text(), c.shown) << c.check1 << c.hex;
    EXPECT_EQ(model.Text6.Text(), "kept");
  }
}

TEST_F(Monitor, TheBoxIsToldOnlyTheNewPiece) {
  model.Check1.SetValue(1);
  std::vector<std::string> pieces;
  model.Text5.appended.Connect([&](std::string_view piece) { pieces.emplace_back(piece); });
  model.Text5.SetText(std::string(100000, 'x'));
  app1.Receive("AB;");
  EXPECT_THAT(pieces, ElementsAre("AB;"));
}

}  // namespace
}  // namespace vantorel::testing
