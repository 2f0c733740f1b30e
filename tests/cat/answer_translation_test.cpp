#include "cat/answer_translation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cat/answer_tables.h"
#include "cat/band_table.h"
#include "recording_ports.h"

namespace vantorel::cat {
namespace {

// A radio text, the text App 1 is to receive from the caller, and what the
// translation writes straight to App 1 before that (RecordingPorts::Log).
struct Row {
  std::string radio;
  std::string app1;
  std::string writtenFirst = {};
};
using Rows = std::vector<Row>;

class ChangeoutputTest : public ::testing::Test {
 protected:
  std::string Translate(const std::string& radio) {
    std::string oneData = radio;
    return Changeoutput(oneData, ports);
  }

  void ExpectRows(const Rows& rows) {
    for (const auto& row : rows) {
      ports.writes.clear();
      EXPECT_EQ(Translate(row.radio), row.app1) << row.radio;
      EXPECT_EQ(ports.Log(), row.writtenFirst) << row.radio;
    }
  }

  testing::RecordingPorts ports;
};

// The radio's 38-character status answer and the 29 characters App 1 expects.
const std::string kKenwoodStatus = "IF00014250000     +012010005020000000;";
const std::string kYaesuStatus = "IF00014250000+01201020      ;";

// The number comes from the last four characters, also of a block of several
// answers; the meter selector from the third.
TEST_F(ChangeoutputTest, MetersAreScaledInDoublePrecision) {
  const Rows rows = {
      {"SM00015;", "SM0121;"}, {"SM00010;", "SM0081;"}, {"SM00030;", "SM0243;"},
      {"SM;", "SM0000;"},      {"SM0;", "SM0000;"},     {"SM3E4;", "SM0243000;"},
      {"RM30005;", "RM2040;"}, {"RM40030;", "RM3243;"}, {"RM60000;", "RM1000;"},
      {"RM10010;", "RM0081;"}, {"RM50010;", "RM0081;"}, {"RM;", "RM0000;"},
  };
  ExpectRows(rows);
  ExpectRows({{"SM00015;RM10003;", "SM0024;"}});
}

// Products past the 16-bit range give App 1 its top level instead of losing
// the answer; only the uncapped ones grow. A field without digits reads 0.
TEST_F(ChangeoutputTest, LevelFamilies) {
  const Rows rows = {
      {"ML005;", "ML1125;"},    {"ML011;", "ML1255;"},   {"ML010;", "ML1250;"},
      {"ML;", "ML;"},           {"AC110;", "AC001;"},    {"AC;", "AC;"},
      {"AN2;", "AN02;"},        {"RL03;", "RL004;"},     {"RL05;", "RL008;"},
      {"RL10;", "RL015;"},      {"NL004;", "NL0100;"},   {"NL011;", "NL0255;"},
      {"NB1;", "NB01;"},        {"BP015;", "BP01015;"},  {"RG5;", "RG0005;"},
      {"AG0128;", "AG0128;"},   {"VG009;", "VG099;"},    {"VG010;", "VG100;"},
      {"VG;", "VG;"},           {"MG003;", "MG008;"},    {"MG005;", "MG012;"},
      {"MG101;", "MG252;"},     {"MG102;", "MG255;"},    {"ml005;", "ml005;"},
      {"MLxx;", "ML1000;"},     {"RG-;", "RG0000;"},     {"ACx;", "AC000;"},
      {"SMab;", "SM0000;"},     {"ML1311;", "ML1255;"},  {"NL1311;", "NL0255;"},
      {"VG2978;", "VG100;"},    {"VG2979;", "VG100;"},   {"MG9999;", "MG255;"},
      {"RL9999;", "RL014998;"}, {"RG3E4;", "RG030000;"},
  };
  ExpectRows(rows);
}

TEST_F(ChangeoutputTest, FieldBeyond16BitsIsAnOverflow) {
  for (const std::string radio : {"ML1E9;", "SM01E9;", "RM01E9;", "RG9E4;", "RL1E5;", "VG4E4;"}) {
    std::string oneData = radio;
    try {
      Changeoutput(oneData, ports);
      ADD_FAILURE() << radio << " did not overflow";
    } catch (const AnswerOverflow& overflow) {
      EXPECT_STREQ(overflow.what(), "Overflow");
    }
    EXPECT_EQ(oneData, radio) << "a failed answer leaves the text as it was";
  }
  EXPECT_TRUE(ports.writes.empty());
}

// App 1 gets the rebuilt status answer on its own. A text of 25 characters
// leaves 20 after the drop, so no mode position; one of 29 has the position
// but no mode to copy: either keeps the characters it has.
TEST_F(ChangeoutputTest, StatusAnswerIsRebuiltForApp1First) {
  const std::string k25 = "IF00014250000     +01201;";
  const std::string k29 = "IF00014250000     +0120100057";
  const std::string k30 = "IF00014250000     +01201000507";
  const Rows rows = {
      {kKenwoodStatus, kKenwoodStatus, "app1 " + kYaesuStatus},
      {"IF;", "IF;", "app1 IF;      ;"},
      {k25, k25, "app1 IF00014250000+01201;      ;"},
      {k29, k29, "app1 IF00014250000+01201000      ;"},
      {k30, k30, "app1 IF00014250000+01201070      ;"},
  };
  ExpectRows(rows);
}

// Only a text that begins with FA and holds a ";": the last eight of the
// eleven digits and the ";", nothing after them.
TEST_F(ChangeoutputTest, FrequencyKeepsEightDigits) {
  const Rows rows = {
      {"FA00014250000;", "FA14250000;"},  {"FA00007100000;", "FA07100000;"},
      {"FA00144000000;", "FA44000000;"},  {"FA00014250000;MD2;", "FA14250000;"},
      {"FA00014250000", "FA00014250000"}, {"FB00014250000;", "FB00014250000;"},
  };
  ExpectRows(rows);
  ExpectRows({{"MD2;FA00014250000;", "MD2;FA00014250000;"}, {"FA;", "FA"}});
}

TEST_F(ChangeoutputTest, WholeAnswers) {
  // The band texts themselves are checked with App 1's band select.
  for (const auto& band : kBandBottoms) {
    ExpectRows({{std::string(band.select), std::string(band.frequency)}});
  }
  const Rows modes = {
      {"MD1;", "MD01;"}, {"MD2;", "MD02;"}, {"MD3;", "MD03;"}, {"MD4;", "MD04;"},
      {"MD5;", "MD05;"}, {"MD6;", "MD06;"}, {"MD7;", "MD07;"}, {"MD8;", "MD08;"},
  };
  // clang-format off
  const Rows rows = {
      {"TX;", ""}, {"RX;", ""}, {"DS1;", "FL007007;SH;SL;RX;AI1;"},
      {"DS0;", "FL005002;SH;SL;RX;AI1;"}, {"VS1;", "FT1;FR1;", "app1 VS1;"},
      {"VS0;", "FT0;FR0;", "app1 VS0;"}, {"NA01;", "MD7;FL007007;SH;SL;", "app1 NA01;"},
      {"NA00;", "MD3;", "app1 NA00;"},
  };
  // clang-format on
  ASSERT_EQ(modes.size() + rows.size(), answers::kWholeAnswers.size());
  ExpectRows(modes);
  ExpectRows(rows);
}

// The whole-answer table compares upper-cased; the lock answer and the
// transmit test are exact.
TEST_F(ChangeoutputTest, CaseAndWholeTextRules) {
  const Rows rows = {
      {"md2;", "MD02;"}, {"rx;", ""},        {"MD9;", "MD9;"}, {"MD0;", "MD0;"}, {"BS02;", "BS02;"},
      {"PS1;", "PS1;"},  {"lk10;", "lk10;"}, {"", ""},         {";", ";"},       {"TX0;", ""},
      {"MD2;TX;", ""},   {"xTXy", ""},       {"tx0;", "tx0;"},
  };
  ExpectRows(rows);
  // clang-format off
  ExpectRows({{"LK10;", "LK1;LK10;"}, {"LK00;", "LK0;LK00;"}, {"LK10;LK00;", "LK10;LK00;"},
              {"vs1;", "FT1;FR1;", "app1 VS1;"}});
  // clang-format on
}

TEST_F(ChangeoutputTest, ClosedOrRefusingApp1PortAffectsOnlyTheDirectWrites) {
  ports.app1Open = false;
  ExpectRows({{"VS1;", "FT1;FR1;"}, {kKenwoodStatus, kKenwoodStatus}, {"NA00;", "MD3;"}});

  // A refused write is the receive path's to report.
  ports.app1Open = true;
  ports.app1Refuses = true;
  std::string oneData = "VS1;";
  EXPECT_THROW(Changeoutput(oneData, ports), std::runtime_error);
  EXPECT_EQ(oneData, "VS1;");
  EXPECT_EQ(Translate("MD2;"), "MD02;");
}

}  // namespace
}  // namespace vantorel::cat
