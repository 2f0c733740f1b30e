#include "cat/answer_translation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cat/answer_tables.h"
#include "cat/band_table.h"
#include "recording_ports.h"

namespace vantorel::cat {
namespace {

using testing::PortWrite;
using testing::RecordingPorts;

struct Row {
  std::string radio;
  std::string app1;
  std::vector<std::string> writtenFirst = {};  // straight to App 1, before the result
};

class ChangeoutputTest : public ::testing::Test {
 protected:
  std::string Translate(const std::string& radio) {
    std::string oneData = radio;
    const std::string result = Changeoutput(oneData, ports);
    EXPECT_EQ(oneData, result) << "the text is rewritten in place";
    return result;
  }

  void ExpectRows(const std::vector<Row>& rows) {
    for (const auto& row : rows) {
      ports.writes.clear();
      EXPECT_EQ(Translate(row.radio), row.app1) << row.radio;
      EXPECT_EQ(ports.To(CatPort::App1), row.writtenFirst) << row.radio;
      EXPECT_TRUE(ports.To(CatPort::Radio).empty()) << row.radio;
    }
  }

  RecordingPorts ports;
};

// The 38-character status answer of the radio and the 29 characters App 1 expects.
const std::string kKenwoodStatus = "IF00014250000     +012010005020000000;";
const std::string kYaesuStatus = "IF00014250000+01201020      ;";

TEST_F(ChangeoutputTest, SMeterIsScaledInDoublePrecision) {
  ExpectRows({
      {"SM00015;", "SM0121;"},
      {"SM00010;", "SM0081;"},
      {"SM00030;", "SM0243;"},
      {"SM00000;", "SM0000;"},
      {"SM;", "SM0000;"},
      {"SM0;", "SM0000;"},
      {"SM3E4;", "SM0243000;"},
      // Several answers: the number comes from the end of the block.
      {"SM00015;RM10003;", "SM0024;"},
  });
}

TEST_F(ChangeoutputTest, MeterSelectorsAndScale) {
  ExpectRows({
      {"RM30005;", "RM2040;"},
      {"RM40030;", "RM3243;"},
      {"RM60000;", "RM1000;"},
      {"RM10010;", "RM0081;"},
      {"RM20010;", "RM0081;"},
      {"RM50010;", "RM0081;"},
      {"RM;", "RM0000;"},
  });
}

TEST_F(ChangeoutputTest, LockAnswerInBothForms) {
  ExpectRows({
      {"LK10;", "LK1;LK10;"},
      {"LK00;", "LK0;LK00;"},
      {"lk10;", "lk10;"},
      {"LK10;LK00;", "LK10;LK00;"},
  });
}

TEST_F(ChangeoutputTest, LevelFamilies) {
  ExpectRows({
      {"ML005;", "ML1125;"}, {"ML011;", "ML1255;"}, {"ML010;", "ML1250;"},  {"ML000;", "ML1000;"},
      {"ML;", "ML;"},        {"AC110;", "AC001;"},  {"AC000;", "AC000;"},   {"AC;", "AC;"},
      {"AN1;", "AN01;"},     {"AN2;", "AN02;"},     {"RL03;", "RL004;"},    {"RL05;", "RL008;"},
      {"RL10;", "RL015;"},   {"RL00;", "RL000;"},   {"NL004;", "NL0100;"},  {"NL011;", "NL0255;"},
      {"NB1;", "NB01;"},     {"NB0;", "NB00;"},     {"BP015;", "BP01015;"}, {"BP127;", "BP01127;"},
      {"RG255;", "RG0255;"}, {"RG5;", "RG0005;"},   {"AG0128;", "AG0128;"}, {"AG;", "AG;"},
      {"VG009;", "VG099;"},  {"VG010;", "VG100;"},  {"VG000;", "VG000;"},   {"VG;", "VG;"},
      {"MG003;", "MG008;"},  {"MG005;", "MG012;"},  {"MG102;", "MG255;"},   {"MG101;", "MG252;"},
      {"ml005;", "ml005;"},
  });
}

TEST_F(ChangeoutputTest, LargeLevelsAreCappedInsteadOfLost) {
  ExpectRows({
      {"ML1310;", "ML1255;"},
      {"ML1311;", "ML1255;"},
      {"ML9999;", "ML1255;"},
      {"NL1311;", "NL0255;"},
      {"VG2978;", "VG100;"},
      {"VG2979;", "VG100;"},
      {"VG9999;", "VG100;"},
      {"MG9999;", "MG255;"},
      {"RL9999;", "RL014998;"},
      {"RG3E4;", "RG030000;"},
  });
}

TEST_F(ChangeoutputTest, UnreadableFieldReadsAsZero) {
  ExpectRows({{"MLxx;", "ML1000;"}, {"SMab;", "SM0000;"}, {"RG-;", "RG0000;"}, {"ACx;", "AC000;"}});
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

TEST_F(ChangeoutputTest, StatusAnswerIsRebuiltForApp1First) {
  ExpectRows({{kKenwoodStatus, kKenwoodStatus, {kYaesuStatus}}});
  EXPECT_EQ(kYaesuStatus.size(), 29U);
}

// As the radio receive path does it: the translation, then its result in one write.
TEST_F(ChangeoutputTest, App1HearsDirectWritesBeforeTheReturnedText) {
  const auto receive = [&](const std::string& radio) {
    std::string oneData = radio;
    ports.Write(CatPort::App1, Changeoutput(oneData, ports));
  };
  receive("VS1;");
  receive(kKenwoodStatus);
  receive("NA01;");
  receive("TX;");
  EXPECT_EQ(ports.To(CatPort::App1),
            (std::vector<std::string>{"VS1;", "FT1;FR1;", kYaesuStatus, kKenwoodStatus, "NA01;",
                                      "MD7;FL007007;SH;SL;", ""}));
}

TEST_F(ChangeoutputTest, ShortStatusTextsKeepTheirCharacters) {
  ExpectRows({
      {"IF;", "IF;", {"IF;      ;"}},
      {"IF", "IF", {"IF      ;"}},
      // 25 characters: 20 left after the drop, so no mode position.
      {"IF00014250000     +01201;", "IF00014250000     +01201;", {"IF00014250000+01201;      ;"}},
      // 26 to 29 characters: a mode position, but no mode to copy.
      {"IF00014250000     +0120100;",
       "IF00014250000     +0120100;",
       {"IF00014250000+0120100;      ;"}},
      {"IF00014250000     +0120100057",
       "IF00014250000     +0120100057",
       {"IF00014250000+01201000      ;"}},
      // 30 characters: the mode is there.
      {"IF00014250000     +01201000507",
       "IF00014250000     +01201000507",
       {"IF00014250000+01201070      ;"}},
  });
}

TEST_F(ChangeoutputTest, FrequencyKeepsEightDigits) {
  ExpectRows({
      {"FA00014250000;", "FA14250000;"},
      {"FA00007100000;", "FA07100000;"},
      {"FA00144000000;", "FA44000000;"},
      {"FA00014250000;MD2;", "FA14250000;"},
      {"MD2;FA00014250000;", "MD2;FA00014250000;"},
      {"FA00014250000", "FA00014250000"},
      {"FA;", "FA"},
      {"FB00014250000;", "FB00014250000;"},
  });
}

TEST_F(ChangeoutputTest, WholeAnswers) {
  // The band texts themselves are checked with App 1's band select.
  for (const auto& band : kBandBottoms) {
    ExpectRows({{std::string(band.select), std::string(band.frequency)}});
  }
  const std::vector<Row> rows = {
      {"MD1;", "MD01;"},
      {"MD2;", "MD02;"},
      {"MD3;", "MD03;"},
      {"MD4;", "MD04;"},
      {"MD5;", "MD05;"},
      {"MD6;", "MD06;"},
      {"MD7;", "MD07;"},
      {"MD8;", "MD08;"},
      {"TX;", ""},
      {"RX;", ""},
      {"VS1;", "FT1;FR1;", {"VS1;"}},
      {"VS0;", "FT0;FR0;", {"VS0;"}},
      {"NA01;", "MD7;FL007007;SH;SL;", {"NA01;"}},
      {"NA00;", "MD3;", {"NA00;"}},
      {"DS1;", "FL007007;SH;SL;RX;AI1;"},
      {"DS0;", "FL005002;SH;SL;RX;AI1;"},
  };
  ASSERT_EQ(rows.size(), answers::kWholeAnswers.size());
  ExpectRows(rows);
  ExpectRows({
      {"md2;", "MD02;"},
      {"vs1;", "FT1;FR1;", {"VS1;"}},
      {"rx;", ""},
      {"MD9;", "MD9;"},
      {"MD0;", "MD0;"},
      {"BS02;", "BS02;"},
      {"PS1;", "PS1;"},
  });
}

TEST_F(ChangeoutputTest, AnythingMentioningTransmitIsSuppressed) {
  ExpectRows({{"TX0;", ""}, {"TX1;", ""}, {"MD2;TX;", ""}, {"xTXy", ""}, {"tx0;", "tx0;"}});
}

TEST_F(ChangeoutputTest, ClosedApp1PortSkipsOnlyTheDirectWrites) {
  ports.app1Open = false;
  ExpectRows({{"VS1;", "FT1;FR1;"}, {kKenwoodStatus, kKenwoodStatus}, {"NA00;", "MD3;"}});
}

TEST_F(ChangeoutputTest, RefusedDirectWriteIsLeftToTheReceivePath) {
  ports.app1Refuses = true;
  std::string oneData = "VS1;";
  EXPECT_THROW(Changeoutput(oneData, ports), std::runtime_error);
  EXPECT_EQ(oneData, "VS1;");
  EXPECT_EQ(Translate("MD2;"), "MD02;");
}

TEST_F(ChangeoutputTest, EmptyTextStaysEmpty) { ExpectRows({{"", ""}, {";", ";"}}); }

}  // namespace
}  // namespace vantorel::cat
