#include "cat/command_translation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "recording_ports.h"

namespace vantorel::cat {
namespace {

// An App 1 message, the text the radio is to receive, and the direct writes
// made during the call, in order (RecordingPorts::Log).
struct Row {
  std::string message;
  std::string radio;
  std::string writes = {};
};
using Rows = std::vector<Row>;

class ChangeInputTest : public ::testing::Test, protected testing::CommandState {
 protected:
  std::string Translate(const std::string& message) {
    std::string oneData = message;
    return ChangeInput(oneData, ctx);
  }

  // Each row from a fresh start of the direct writes.
  void ExpectRows(const Rows& rows) {
    for (const auto& row : rows) {
      ports.writes.clear();
      EXPECT_EQ(Translate(row.message), row.radio) << row.message;
      EXPECT_EQ(ports.Log(), row.writes) << row.message;
    }
  }
};

// App 1 hears its own command back: the tail from the last FA, whose nine
// characters after the letters go on to the radio. Without a closing ";" the
// frequency is left alone.
TEST_F(ChangeInputTest, FrequencyGoesToTheRadioAsElevenDigitVfoA) {
  const Rows rows = {
      {"FA14251300;", "FA00014251300;", "app1 FA14251300;"},
      {"FB14251300;", "FA00014251300;", "app1 FB14251300;"},
      {"FA01000000;FA02000000;", "FA00002000000;", "app1 FA02000000;"},
      {"FA1425130099;", "FA000142513009", "app1 FA1425130099;"},
  };
  ExpectRows(rows);
  ExpectRows({{"FA;", "FA000;", "app1 FA;"}, {"FA14251300", "FA14251300"}, {"FA;FA", "FA;FA"}});
  // While VFO B is selected App 1 hears its frequency back as VFO B's.
  translation.app1OnVfoB = true;
  ExpectRows({{"FA14251300;", "FA00014251300;", "app1 FB14251300;"}});
  // The echo needs Ignore2 ticked and App 1's port open.
  ctx.ignore2 = false;
  ExpectRows({{"FB14251300;", "FA00014251300;"}});
  ctx.ignore2 = true;
  ports.app1Open = false;
  ExpectRows({{"FB14251300;", "FA00014251300;"}});
}

TEST_F(ChangeInputTest, SplitWhateverCameBefore) {
  const Rows rows = {
      {"FT3;", "FT1;QS;"},      {"FT3;", "FT1;QS;"}, {"xFT3y", "FT1;QS;"},
      {"FT1;FT2;", "FR0;FT0;"}, {"ft3;", "ft3;"},
  };
  ExpectRows(rows);
}

TEST_F(ChangeInputTest, WholeMessageReplacementsAreCaseSensitive) {
  const Rows rows = {
      {"LK1;", "LK10;LK1;"}, {"LK0;", "LK00;LK0;"}, {"BC00;", "NT00;"}, {"BC01;", "NT10;"},
      {"NR00;", "NR0;"},     {"NR01;", "NR1;"},     {"PA00;", "PA0;"},  {"PA01;", "PA1;"},
      {"PA02;", "PA1;"},     {"AB;", "VV;"},
  };
  ExpectRows(rows);
  ExpectRows({{"ab;", "ab;"}, {"lk1;", "lk1;"}, {"AB;AB;", "AB;AB;"}, {"PA03;", "PA03;"}});
}

TEST_F(ChangeInputTest, BreakInIsVoxOnlyInCw) {
  const std::string longCommand = "BI1;" + std::string(300, 'x');
  ExpectRows({{"BI1;", "BI1;"}, {"BI;", "BI;"}, {longCommand, longCommand.substr(0, 255)}});
  Translate("MK2;");
  ExpectRows({{"BI1;", "VX1;"}, {"BI;", "BI;"}, {"BI", "VX0;"}, {"BI12;", "VX12;"}});
  Translate("MK1;");
  ExpectRows({{"BI1;", "BI1;"}});
}

// The tuner state goes to the radio twice, App 1's "2" as tune-and-on; the
// clarifier drops App 1's offset and asks for the status instead.
TEST_F(ChangeInputTest, TunerClarifierAndReceiveOnlyRead) {
  const Rows rows = {
      {"AC002;", "AC111;"},  {"AC001;", "AC110;"}, {"AC;", "AC;"},   {"RU0100;", "RU;IF;"},
      {"RD0100;", "RD;IF;"}, {"ru1;", "ru1;"},     {"RO1;", "RO1;"},
  };
  ExpectRows(rows);
  const Rows answered = {
      {"AC000;", "AC000;", "app1 AC000;"},
      {"AC", "AC000;", "app1 AC000;"},
      {"RO;", "SM;", "app1 RO;"},
  };
  ExpectRows(answered);
}

TEST_F(ChangeInputTest, PowerOnIsKeptFromTheRadioWhilePowerControlIsOn) {
  ExpectRows({{"PS1;", ""}, {"PS;", "SM;"}, {"PS0;", "PS0;"}});
  ctx.pwrOn = Check::Clear;
  ExpectRows({{"PS1;", "PS1;"}, {"PS;", "SM;", "app1 PS1;"}});
  // Greyed (as a settings file may leave it) is neither ticked nor clear.
  ctx.pwrOn = Check::Greyed;
  ExpectRows({{"PS1;", "PS1;"}, {"PS;", "SM;"}});
}

TEST_F(ChangeInputTest, ParameterFamilies) {
  // Monitor and noise blanker level above 25 in 25ths; AGC; attenuator (only the
  // 4th character counts); CW delay in thirds from the 3rd; antenna; noise
  // reduction; blanker; notch from the 5th; gains, VOX gain from the 4th
  // character like RF gain, microphone gain from the 3rd. App 1's selector
  // digit (the 3rd character, two for BP) is never part of the number.
  const Rows rows = {
      {"ML025;", "ML025;"},   {"ML026;", "ML001;"},   {"ML1050;", "ML002;"},
      {"ML0255;", "ML010;"},  {"NL025;", "NL025;"},   {"NL1026;", "NL001;"},
      {"GT00;", "GC0;"},      {"GT01;", "GC2;"},      {"GT02;", "GC2;"},
      {"GT13;", "GC1;"},      {"GT04;", "GC1;"},      {"GT05;", "GC5;"},
      {"RA00;", "RA00;"},     {"RA01;", "RA01;"},     {"RA05;", "RA01;"},
      {"RA10;", "RA00;"},     {"SD0300;", "SD0100;"}, {"SD0000;", "SD0000;"},
      {"SD0002;", "SD0001;"}, {"SD-300;", "SD0000;"}, {"AN01;", "AN100;"},
      {"AN12;", "AN200;"},    {"RL1015;", "RL10;"},   {"RL003;", "RL02;"},
      {"NB11;", "NB1;"},      {"BP00123;", "BP123;"}, {"BP015;", "BP005;"},
      {"RG0128;", "RG128;"},  {"RG1128;", "RG128;"},  {"AG15;", "AG005;"},
      {"VG050;", "VG005;"},   {"VG1100;", "VG009;"},  {"MG050;", "MG020;"},
      {"MG005;", "MG002;"},
  };
  ExpectRows(rows);
  // A read stays; a selector digit makes it a setting of 0. The message is cut
  // to begin at the letters, and the families are tried in the table's order.
  const Rows reads = {
      {"ML;", "ML;"},    {"SD;", "SD;"},     {"xxRG;", "xxRG;"}, {"ML0;", "ML000;"},
      {"RA0;", "RA00;"}, {"RG0;", "RG000;"}, {"RG", "RG000;"},
  };
  ExpectRows(reads);
  ExpectRows({{"xxRG0128;", "RG128;"}, {"MD02;AG0100;", "AG100;"}, {"RG0128;ML050;", "ML002;"}});
}

TEST_F(ChangeInputTest, NumbersNear16BitLimits) {
  // Exponents reach the limits through three characters. A number too large
  // for 16 bits is not taken: the parameter keeps its value, 0 in a fresh call
  // or what was read earlier in the same call.
  const Rows rows = {
      {"ML01E4;", "ML400;"},  {"SD3E4;", "SD10000;"}, {"RG09E3;", "RG9000;"},
      {"ML01E9;", "ML000;"},  {"SD4E4;", "SD0000;"},  {"RG04E4;", "RG000;"},
      {"IS0+1E99;", "SL00;"}, {"BI1E9;", "BI1E9;"},   {"BI5 ML01E9;", "ML005;"},
  };
  ExpectRows(rows);
  Translate("MK2;");
  ExpectRows({{"BI1E9;", "VX0;"}});
}

TEST_F(ChangeInputTest, IfShiftIgnoresTheSignAndWidthDropsTheSelector) {
  const Rows rows = {
      {"IS0-0500;", "SL010;"}, {"IS0+0500;", "SL010;"}, {"IS0+0050;", "SL01;"},
      {"IS0+0049;", "SL00;"},  {"IS0;", "SL00;"},       {"SH012;", "SH12;"},
      {"sh012;", "sh012;"},
  };
  ExpectRows(rows);
}

// The last table's rules, one row for each: what the radio hears, and what
// App 1 hears back and when (the band rows keep eleven digits; MK5 echoes as
// MK6; the filter rows echo first, the narrow rows last; DS has no echo; the
// transmit and keyer rows write straight to the radio). An upper-case AC001;
// never gets there: the tuner step takes it first.
TEST_F(ChangeInputTest, LastTableRows) {
  // clang-format off
  const Rows rows = {
      {"BS00;", "FA00001800000;"}, {"BS01;", "FA00003500000;"}, {"BS03;", "FA00007000000;"},
      {"BS04;", "FA00010000000;"}, {"BS05;", "FA00014000000;"}, {"BS06;", "FA00018000000;"},
      {"BS07;", "FA00021000000;"}, {"BS08;", "FA00024500000;"}, {"BS09;", "FA00028000000;"},
      {"MD08;", "MD8;"}, {"MK4;", "MD5;", "app1 MK4;"}, {"MK5;", "MD6;", "app1 MK6;"},
      {"VS1;", "FT1;FR1;", "app1 VS1;"}, {"ac001;", "ac001;", "app1 AC001;"},
      {"MS3;", "RM1;", "app1 MS3;"}, {"RF02;", "FL007003;SH;SL;", "app1 RF02;"},
      {"NA01;", "MD7;FL007007;SH;SL;", "app1 NA01;"}, {"DS0;", "FL005002;SH;SL;RX;AI1;"},
      {"MX1;", "MX1;", "radio TX1;TX;RM; app1 TX1;TX;RM;"}, {"MX0;", "MX0;", "radio RX; app1 TX0;"},
      {"KY7;", "KY7;", "radio MX1;"}, {"TX1;", "TX1;"},
      {"TX0;", "RX;"},  // a Kenwood takes TX0; as "transmit"
  };
  // clang-format on
  ExpectRows(rows);
}

// No "TX" form but App 1's PTT ever reaches the radio: a Kenwood takes them
// all as "transmit". The read is answered from the radio's keyed state, also
// while the time-out is switched off.
TEST_F(ChangeInputTest, TransmitReadsAndOtherFormsNeverReachTheRadio) {
  ctx.monitorTX = false;
  // clang-format off
  ExpectRows({{"TX;", "", "app1 TX0;"}, {"tx1;", "tx1;"}, {"tx;", "", "app1 TX1;"}, {"TX2;", ""},
              {"TX12345;", ""}, {"TX", ""}, {"TX0;", "RX;"}, {"TX;", "", "app1 TX0;"}});
  // clang-format on
}

TEST_F(ChangeInputTest, LastTableIgnoresCaseAndTakesOnlyWholeMessages) {
  const Rows answered = {
      {"bs05;", "FA00014000000;", ""}, {"md03;", "MD3;", ""},
      {"ms2;", "RM2;", "app1 MS2;"},   {"rf05;", "FL007007;SH;SL;", "app1 RF05;"},
      {"ky9;", "ky9;", "radio MX0;"},
  };
  ExpectRows(answered);
  const Rows others = {
      {"BS02;", "BS02;"},   {"BS10;", "BS10;"},       {"MD09;", "MD09;"}, {"MD0;", "MD0;"},
      {"MD11;", "MD11;"},   {"RF06;", "RF06;"},       {"MS4;", "MS4;"},   {"IF;", "IF;"},
      {"ZZ123;", "ZZ123;"}, {"MX1;MX1;", "MX1;MX1;"}, {"", ""},           {";", ";"},
  };
  ExpectRows(others);
}

// The state the last table keeps, walked through one message after another:
// the CW key mode, the VFO B indicator and the transmit supervision's flag and
// count. Only the mode keys change the first, only VS the second, only the
// key-downs and key-ups the last two (a key-down without monitoring leaves
// them alone).
TEST_F(ChangeInputTest, LastTableStateChanges) {
  struct Step {
    const char* message;
    bool monitored, cw, vfoB, txOn;
    int txTime;
  };
  // clang-format off
  const Step steps[] = {
      {"MK2;", true, true, false, false, 42}, {"MK0;", true, false, false, false, 42},
      {"mk2;", true, true, false, false, 42}, {"MK1;", true, false, false, false, 42},
      {"MK2;", true, true, false, false, 42}, {"MK3;", true, false, false, false, 42},
      {"MK2;", true, true, false, false, 42}, {"MK4;", true, false, false, false, 42},
      {"MK2;", true, true, false, false, 42}, {"MK5;", true, false, false, false, 42},
      {"MK2;", true, true, false, false, 42}, {"MK6;", true, true, false, false, 42},
      {"MD01;", true, true, false, false, 42}, {"BI1;", true, true, false, false, 42},
      {"VS1;", true, true, true, false, 42}, {"FT3;", true, true, true, false, 42},
      {"FT2;", true, true, true, false, 42}, {"VS0;", true, true, false, false, 42},
      {"MX1;", true, true, false, true, 42}, {"MX1;", false, true, false, true, 42},
      {"mx0;", false, true, false, false, 0}, {"MX1;", false, true, false, false, 0},
      // Every key-down arms the time-out when it is on, every key-up disarms it.
      {"KY7;", true, true, false, true, 0}, {"KY9;", true, true, false, false, 0},
      {"TX1;", true, true, false, true, 0}, {"TX0;", true, true, false, false, 0},
  };
  // clang-format on
  keying.TXTime = 42;
  for (const auto& step : steps) {
    ctx.monitorTX = step.monitored;
    Translate(step.message);
    EXPECT_EQ(translation.CWKeyMode, step.cw) << step.message;
    EXPECT_EQ(translation.app1OnVfoB, step.vfoB) << step.message;
    EXPECT_EQ(keying.TXOn, step.txOn) << step.message;
    EXPECT_EQ(keying.TXTime, step.txTime) << step.message;
  }
}

// A closed port, or one that refuses a write, costs only that write.
TEST_F(ChangeInputTest, ClosedOrRefusingPortsSkipWritesButNotTheTranslation) {
  ports.app1Open = false;
  ports.radioRefuses = true;
  const Rows rows = {
      {"MX1;", "MX1;"},     {"RO;", "SM;"},   {"MK2;", "MD3;"},
      {"vs1;", "FT1;FR1;"}, {"KY7;", "KY7;"}, {"FA14251300;", "FA00014251300;"},
  };
  ExpectRows(rows);
  EXPECT_TRUE(keying.TXOn);
  EXPECT_TRUE(translation.CWKeyMode);
  EXPECT_TRUE(translation.app1OnVfoB);

  ports.app1Open = true;
  ports.app1Refuses = true;
  ports.radioRefuses = false;
  ExpectRows({{"MX0;", "MX0;", "radio RX;"}, {"VS0;", "FT0;FR0;"}, {"VS1;", "FT1;FR1;"}});
  EXPECT_FALSE(keying.TXOn);
  EXPECT_TRUE(translation.app1OnVfoB) << "shown after the refused echo";
  ports.app1Refuses = false;
  ports.radioRefuses = true;
  ExpectRows({{"MX1;", "MX1;", "app1 TX1;TX;RM;"}});
}

}  // namespace
}  // namespace vantorel::cat
