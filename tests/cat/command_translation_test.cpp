#include "cat/command_translation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "cat/command_tables.h"
#include "command_state.h"

namespace vantorel::cat {
namespace {

using testing::PortWrite;

PortWrite App1(std::string text) { return {CatPort::App1, std::move(text)}; }
PortWrite Radio(std::string text) { return {CatPort::Radio, std::move(text)}; }

// An App 1 message, the text the radio is to receive, and the direct writes
// made during the call, in order.
struct Row {
  std::string message;
  std::string radio;
  std::vector<PortWrite> writes = {};
};

class ChangeInputTest : public ::testing::Test, protected testing::CommandState {
 protected:
  std::string Translate(const std::string& message) {
    std::string oneData = message;
    const std::string result = translator.ChangeInput(oneData, ctx);
    EXPECT_EQ(oneData, result) << "the message is rewritten in place";
    return result;
  }

  // Each row from a fresh start of the direct writes.
  void ExpectRows(const std::vector<Row>& rows) {
    for (const auto& row : rows) {
      ports.writes.clear();
      EXPECT_EQ(Translate(row.message), row.radio) << row.message;
      EXPECT_EQ(ports.writes, row.writes) << row.message;
    }
  }
};

// --- Pending text -----------------------------------------------------------

TEST_F(ChangeInputTest, PendingTextOfTenStaysAndOfElevenIsDropped) {
  soft1Buf = "0123456789";
  Translate("FT;");
  EXPECT_EQ(soft1Buf, "0123456789");
  soft1Buf = "0123456789A";
  Translate("FT;");
  EXPECT_EQ(soft1Buf, "");
}

// --- Frequency and VFO --------------------------------------------------------

TEST_F(ChangeInputTest, FrequencyGoesToTheRadioAsElevenDigitVfoA) {
  ExpectRows({
      {"FA14251300;", "FA00014251300;", {App1("FA14251300;")}},
      {"FB14251300;", "FA00014251300;", {App1("FB14251300;")}},
      {"FA;", "FA000;", {App1("FA;")}},
      {"FB;", "FA000;", {App1("FB;")}},
      // Only the tail from the last FA counts; what stands before it is dropped.
      {"MD02;FA07100000;", "FA00007100000;", {App1("FA07100000;")}},
      {"FA01000000;FA02000000;", "FA00002000000;", {App1("FA02000000;")}},
      // Extra digits: the nine characters after the letters are kept.
      {"FA1425130099;", "FA000142513009", {App1("FA1425130099;")}},
      // Without a closing ";" the frequency is left alone.
      {"FA14251300", "FA14251300"},
      {"FA;FA", "FA;FA"},
  });
}

TEST_F(ChangeInputTest, WithVfoBSelectedTheEchoNamesVfoB) {
  shape1Visible = true;
  ExpectRows({
      {"FA14251300;", "FA00014251300;", {App1("FB14251300;")}},
      {"FB14251300;", "FA00014251300;", {App1("FB14251300;")}},
  });
}

TEST_F(ChangeInputTest, FrequencyEchoNeedsIgnore2AndAnOpenApp1Port) {
  ctx.ignore2 = false;
  ExpectRows({{"FA14251300;", "FA00014251300;"}});
  ctx.ignore2 = true;
  ports.app1Open = false;
  ExpectRows({{"FA14251300;", "FA00014251300;"}});
}

TEST_F(ChangeInputTest, VfoSelectSwitchesTheIndicator) {
  ExpectRows({{"VS1;", "FT1;FR1;", {App1("VS1;")}}});
  EXPECT_TRUE(shape1Visible);
  ExpectRows({{"VS0;", "FT0;FR0;", {App1("VS0;")}}});
  EXPECT_FALSE(shape1Visible);
  ports.app1Open = false;
  ExpectRows({{"vs1;", "FT1;FR1;"}});
  EXPECT_TRUE(shape1Visible);
}

TEST_F(ChangeInputTest, SplitWhateverCameBefore) {
  shape1Visible = true;
  ExpectRows({
      {"FT3;", "FT1;QS;"},
      {"FT3;", "FT1;QS;"},
      {"xFT3y", "FT1;QS;"},
      {"FT2;", "FR0;FT0;"},
      {"FT1;FT2;", "FR0;FT0;"},
      {"ft3;", "ft3;"},
      {"FT;", "FT;"},
  });
  EXPECT_TRUE(shape1Visible);
}

// --- Whole-message replacements (case-sensitive) ------------------------------

TEST_F(ChangeInputTest, WholeMessageReplacements) {
  const std::vector<Row> rows = {
      {"LK1;", "LK10;LK1;"}, {"LK0;", "LK00;LK0;"}, {"BC00;", "NT00;"}, {"BC01;", "NT10;"},
      {"NR00;", "NR0;"},     {"NR01;", "NR1;"},     {"PA00;", "PA0;"},  {"PA01;", "PA1;"},
      {"PA02;", "PA1;"},     {"AB;", "VV;"},
  };
  ASSERT_EQ(rows.size(), commands::kWholeMessageReplacements.size());
  ExpectRows(rows);
  ExpectRows({
      {"ab;", "ab;"},
      {"lk1;", "lk1;"},
      {"AB;AB;", "AB;AB;"},
      {"PA03;", "PA03;"},
      {"BC02;", "BC02;"},
  });
}

// --- Break-in and tuner ------------------------------------------------------

TEST_F(ChangeInputTest, BreakInIsVoxOnlyInCw) {
  ExpectRows({{"BI1;", "BI1;"}, {"BI;", "BI;"}});
  Translate("MK2;");
  ExpectRows(
      {{"BI1;", "VX1;"}, {"BI0;", "VX0;"}, {"BI;", "BI;"}, {"BI", "VX0;"}, {"BI12;", "VX12;"}});
  Translate("MK1;");
  ExpectRows({{"BI1;", "BI1;"}});
}

TEST_F(ChangeInputTest, BreakInIsCutTo255Characters) {
  const std::string longCommand = "BI1;" + std::string(300, 'x');
  EXPECT_EQ(Translate(longCommand), longCommand.substr(0, 255));
}

TEST_F(ChangeInputTest, TunerCarriesItsStateTwice) {
  ExpectRows({
      {"AC002;", "AC111;"},
      {"AC001;", "AC110;"},
      {"AC000;", "AC000;", {App1("AC000;")}},
      {"AC;", "AC;"},
      {"AC", "AC000;", {App1("AC000;")}},
      // Mixed case misses the tuner step and only answers App 1.
      {"ac001;", "ac001;", {App1("AC001;")}},
      {"Ac000;", "Ac000;", {App1("AC000;")}},
  });
}

// --- Clarifier, receive-only and power ----------------------------------------

TEST_F(ChangeInputTest, ClarifierDropsTheOffsetAndAsksForStatus) {
  ExpectRows({{"RU0100;", "RU;IF;"}, {"RD0100;", "RD;IF;"}, {"RU;", "RU;IF;"}, {"ru1;", "ru1;"}});
}

TEST_F(ChangeInputTest, ReceiveOnlyReadIsAnsweredHere) {
  ExpectRows({{"RO;", "SM;", {App1("RO;")}}, {"RO1;", "RO1;"}});
}

TEST_F(ChangeInputTest, PowerOnIsKeptFromTheRadioWhilePowerControlIsOn) {
  ExpectRows({{"PS1;", ""}, {"PS;", "SM;"}, {"PS0;", "PS0;"}});
  ctx.pwrOn = false;
  ExpectRows({{"PS1;", "PS1;"}, {"PS;", "SM;", {App1("PS1;")}}});
  // Greyed (as a settings file may leave it) is neither ticked nor clear.
  ctx.pwrOn = 2;
  ExpectRows({{"PS1;", "PS1;"}, {"PS;", "SM;"}});
}

// --- Parameter families ------------------------------------------------------

TEST_F(ChangeInputTest, ParameterFamilies) {
  ExpectRows({
      // Monitor and noise blanker level: App 1's 0..255 above 25 in 25ths.
      {"ML025;", "ML025;"},
      {"ML026;", "ML001;"},
      {"ML050;", "ML002;"},
      {"ML0100;", "ML004;"},
      {"ML0255;", "ML010;"},
      {"NL026;", "NL001;"},
      {"NL025;", "NL025;"},
      // AGC.
      {"GT00;", "GC0;"},
      {"GT01;", "GC2;"},
      {"GT02;", "GC2;"},
      {"GT03;", "GC1;"},
      {"GT04;", "GC1;"},
      {"GT05;", "GC5;"},
      // Attenuator: only the 4th character counts.
      {"RA00;", "RA00;"},
      {"RA01;", "RA01;"},
      {"RA05;", "RA01;"},
      {"RA0;", "RA00;"},
      // CW delay: the value from the 3rd character, in thirds.
      {"SD0300;", "SD0100;"},
      {"SD0000;", "SD0000;"},
      {"SD0001;", "SD0000;"},
      {"SD0002;", "SD0001;"},
      {"SD-300;", "SD0000;"},
      // Antenna, noise blanker, notch, gains.
      {"AN01;", "AN100;"},
      {"AN02;", "AN200;"},
      {"RL015;", "RL10;"},
      {"RL003;", "RL02;"},
      {"RL0;", "RL00;"},
      {"NB01;", "NB1;"},
      {"BP00123;", "BP123;"},
      {"BP015;", "BP005;"},
      {"RG0128;", "RG128;"},
      {"RG0;", "RG000;"},
      {"AG0255;", "AG255;"},
      {"AG05;", "AG005;"},
      // VOX gain reads from the 4th character; microphone gain from the 3rd.
      {"VG050;", "VG005;"},
      {"VG0100;", "VG009;"},
      {"MG050;", "MG020;"},
      {"MG100;", "MG040;"},
      {"MG005;", "MG002;"},
  });
}

TEST_F(ChangeInputTest, ParameterReadsStayAndSelectorReadsAreSettings) {
  ExpectRows({
      {"ML;", "ML;"},
      {"RG;", "RG;"},
      {"SD;", "SD;"},
      {"xxRG;", "xxRG;"},
      {"ML0;", "ML000;"},
      {"RG0;", "RG000;"},
      {"RG", "RG000;"},
  });
}

TEST_F(ChangeInputTest, ParameterCommandIsCutToBeginAtItsLetters) {
  ExpectRows({{"xxRG0128;", "RG128;"}, {"MD02;AG0100;", "AG100;"}});
}

TEST_F(ChangeInputTest, NumbersNear16BitLimits) {
  ExpectRows({
      // Exponents reach the limits through three characters.
      {"ML01E4;", "ML400;"},
      {"SD3E4;", "SD10000;"},
      {"RG09E3;", "RG9000;"},
      // Too large for 16 bits: the parameter keeps its value, 0 in a fresh call.
      {"ML01E9;", "ML000;"},
      {"SD4E4;", "SD0000;"},
      {"RG04E4;", "RG000;"},
      {"IS0+1E99;", "SL00;"},
      {"BI1E9;", "BI1E9;"},
  });
  // Within one call the value read earlier is kept.
  ExpectRows({{"BI5 ML01E9;", "ML005;"}});
  Translate("MK2;");
  ExpectRows({{"BI1E9;", "VX0;"}});
}

// --- IF shift and width -------------------------------------------------------

TEST_F(ChangeInputTest, IfShiftIgnoresTheSign) {
  ExpectRows({
      {"IS0-0500;", "SL010;"},
      {"IS0+0500;", "SL010;"},
      {"IS0+0050;", "SL01;"},
      {"IS0+0049;", "SL00;"},
      {"IS0+0000;", "SL00;"},
      {"IS0+1000;", "SL020;"},
      {"IS0;", "SL00;"},
  });
}

TEST_F(ChangeInputTest, WidthDropsTheSelectorDigit) {
  ExpectRows({{"SH012;", "SH12;"}, {"SH015;", "SH15;"}, {"sh012;", "sh012;"}});
}

// --- Last table (case-insensitive) --------------------------------------------

TEST_F(ChangeInputTest, BandSelect) {
  ExpectRows({
      {"BS00;", "FA00001800000;"},
      {"BS01;", "FA00003500000;"},
      {"BS03;", "FA00007000000;"},
      {"BS04;", "FA00010000000;"},
      {"BS05;", "FA00014000000;"},
      {"BS06;", "FA00018000000;"},
      {"BS07;", "FA00021000000;"},
      {"BS08;", "FA00024500000;"},
      {"BS09;", "FA00028000000;"},
      {"bs05;", "FA00014000000;"},
      {"BS02;", "BS02;"},
      {"BS10;", "BS10;"},
  });
}

TEST_F(ChangeInputTest, ModeKeysSetCwKeyModeAndEcho) {
  struct ModeKey {
    const char* message;
    bool cw;
    const char* echo;
    const char* radio;
  };
  const ModeKey keys[] = {
      {"MK0;", false, "MK0;", "MD1;"}, {"MK2;", true, "MK2;", "MD3;"},
      {"MK1;", false, "MK1;", "MD2;"}, {"MK2;", true, "MK2;", "MD3;"},
      {"MK3;", false, "MK3;", "MD5;"}, {"mk2;", true, "MK2;", "MD3;"},
      {"MK4;", false, "MK4;", "MD5;"}, {"MK2;", true, "MK2;", "MD3;"},
      {"MK5;", false, "MK6;", "MD6;"},
  };
  EXPECT_FALSE(translator.CWKeyMode());
  for (const auto& key : keys) {
    ExpectRows({{key.message, key.radio, {App1(key.echo)}}});
    EXPECT_EQ(translator.CWKeyMode(), key.cw) << key.message;
  }
  // Other messages leave the mode alone.
  Translate("MK2;");
  for (const char* other : {"MK6;", "MD01;", "BI1;", "FA;", "MK;"}) {
    Translate(other);
    EXPECT_TRUE(translator.CWKeyMode()) << other;
  }
}

TEST_F(ChangeInputTest, ModeDropsApp1sLeadingZero) {
  ExpectRows({
      {"MD01;", "MD1;"},
      {"MD02;", "MD2;"},
      {"MD03;", "MD3;"},
      {"MD04;", "MD4;"},
      {"MD05;", "MD5;"},
      {"MD06;", "MD6;"},
      {"MD07;", "MD7;"},
      {"MD08;", "MD8;"},
      {"md03;", "MD3;"},
      {"MD09;", "MD09;"},
      {"MD0;", "MD0;"},
      {"MD11;", "MD11;"},
      {"MD0A;", "MD0A;"},
  });
}

TEST_F(ChangeInputTest, FilterRowsEchoBeforeOrAfterAsApp1Expects) {
  ExpectRows({
      {"RF00;", "FL002002;SH;SL;", {App1("RF00;")}},
      {"RF01;", "FL005002;SH;SL;", {App1("RF01;")}},
      {"RF02;", "FL007003;SH;SL;", {App1("RF02;")}},
      {"RF03;", "FL007007;SH;SL;", {App1("RF03;")}},
      {"RF04;", "FL005002;SH;SL;", {App1("RF04;")}},
      {"RF05;", "FL007007;SH;SL;", {App1("RF05;")}},
      {"rf05;", "FL007007;SH;SL;", {App1("RF05;")}},
      {"RF06;", "RF06;"},
      {"NA01;", "MD7;FL007007;SH;SL;", {App1("NA01;")}},
      {"NA00;", "MD3;", {App1("NA00;")}},
      {"DS1;", "FL007007;SH;SL;RX;AI1;"},
      {"DS0;", "FL005002;SH;SL;RX;AI1;"},
      {"MS0;", "RM2;", {App1("MS0;")}},
      {"MS1;", "RM3;", {App1("MS1;")}},
      {"MS2;", "RM2;", {App1("MS2;")}},
      {"MS3;", "RM1;", {App1("MS3;")}},
      {"ms2;", "RM2;", {App1("MS2;")}},
      {"MS4;", "MS4;"},
  });
}

TEST_F(ChangeInputTest, KeyDownArmsTheSupervisionOnlyWhenMonitored) {
  txTime = 42;
  ExpectRows({{"MX1;", "MX1;", {Radio("TX1;TX;RM;"), App1("TX1;TX;RM;")}}});
  EXPECT_TRUE(txOn);
  EXPECT_EQ(txTime, 42);

  ExpectRows({{"MX0;", "MX0;", {Radio("RX;"), App1("TX0;")}}});
  EXPECT_FALSE(txOn);
  EXPECT_EQ(txTime, 0);

  ctx.monitorTX = false;
  ExpectRows({{"mx1;", "mx1;", {Radio("TX1;TX;RM;"), App1("TX1;TX;RM;")}}});
  EXPECT_FALSE(txOn);
}

// As App 1's receive path does it: the translation, then its result to the radio.
TEST_F(ChangeInputTest, RadioHearsDirectWritesBeforeTheCommand) {
  for (const std::string message : {"MX1;", "KY7;", "MX0;", "KY9;"}) {
    std::string oneData = message;
    ports.Write(CatPort::Radio, translator.ChangeInput(oneData, ctx));
  }
  EXPECT_EQ(ports.To(CatPort::Radio),
            (std::vector<std::string>{"TX1;TX;RM;", "MX1;", "MX1;", "KY7;", "RX;", "MX0;", "MX0;",
                                      "KY9;"}));
}

TEST_F(ChangeInputTest, KeyerKeysTheRadioWithoutTheSupervision) {
  txTime = 7;
  ExpectRows({{"KY7;", "KY7;", {Radio("MX1;")}}, {"KY9;", "KY9;", {Radio("MX0;")}}});
  EXPECT_FALSE(txOn);
  EXPECT_EQ(txTime, 7);
  txOn = true;
  ExpectRows({{"ky9;", "ky9;", {Radio("MX0;")}}});
  EXPECT_TRUE(txOn);
}

TEST_F(ChangeInputTest, UnknownAndReadCommandsPass) {
  ExpectRows({
      {"IF;", "IF;"},
      {"SM;", "SM;"},
      {"FR;", "FR;"},
      {"VS;", "VS;"},
      {"ZZ123;", "ZZ123;"},
      {"", ""},
      {";", ";"},
  });
}

// --- Ports -------------------------------------------------------------------

TEST_F(ChangeInputTest, ClosedPortsSkipWritesButNotTheTranslation) {
  ports.app1Open = false;
  ports.radioOpen = false;
  ExpectRows({
      {"MX1;", "MX1;"},
      {"RO;", "SM;"},
      {"MK2;", "MD3;"},
      {"FA14251300;", "FA00014251300;"},
  });
  EXPECT_TRUE(txOn);
  EXPECT_TRUE(translator.CWKeyMode());
}

TEST_F(ChangeInputTest, RefusedWritesAreSkippedAndTheRestGoesOn) {
  ports.radioRefuses = true;
  ExpectRows({{"MX1;", "MX1;", {App1("TX1;TX;RM;")}}});
  EXPECT_TRUE(txOn);

  ports.radioRefuses = false;
  ports.app1Refuses = true;
  ExpectRows({
      {"MX0;", "MX0;", {Radio("RX;")}},
      {"VS1;", "FT1;FR1;"},
      {"MK2;", "MD3;"},
      {"FA14251300;", "FA00014251300;"},
      {"PS;", "SM;"},
  });
  EXPECT_FALSE(txOn);
  EXPECT_TRUE(shape1Visible);
  EXPECT_TRUE(translator.CWKeyMode());
}

}  // namespace
}  // namespace vantorel::cat
