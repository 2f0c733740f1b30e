#include "cat/ft950_emulation.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "recording_ports.h"
#include "sim/kenwood_radio.h"

namespace vantorel::cat {
namespace {

using std::chrono::milliseconds;

// The radio's IF status answer: VFO A on 14.074 MHz, USB, receive, no split.
constexpr std::string_view kRadioStatus = "IF00014074000     +000000000020000000;";
// The same as App 1 reads it.
constexpr std::string_view kApp1Status = "IF00114074000+000000200000;";

// Cuts a text into its ";"-ended pieces.
std::vector<std::string> Pieces(std::string_view text) {
  std::vector<std::string> pieces;
  for (auto end = text.find(';'); end != std::string_view::npos; end = text.find(';')) {
    pieces.emplace_back(text.substr(0, end + 1));
    text.remove_prefix(end + 1);
  }
  return pieces;
}

class Ft950EmulationTest : public ::testing::Test {
 protected:
  // One App 1 command.
  CommandResult Send(std::string_view command) {
    ctx.now = now;
    return emulation.Command(command, ctx);
  }

  // The radio's text, message by message; what App 1 gets from it.
  std::string Hear(std::string_view radio) {
    std::string toApp1;
    for (const std::string& message : Pieces(radio)) {
      ctx.now = now;
      toApp1 += emulation.Answer(message, ctx);
    }
    return toApp1;
  }

  // App 1's command, what the radio is sent, the radio's answer, and all App 1
  // gets: at once and after that answer.
  struct Row {
    std::string app1;
    std::string radio;
    std::string answer = {};
    std::string app1Gets = {};
  };

  void ExpectRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      const CommandResult out = Send(row.app1);
      EXPECT_EQ(out.toRadio, row.radio) << row.app1;
      EXPECT_EQ(out.toApp + Hear(row.answer), row.app1Gets) << row.app1;
    }
  }

  Ft950Emulation emulation{kTs590Dialect};
  KeyingState keying;
  testing::RecordingPorts ports;
  DialectContext ctx{.keying = keying, .ports = ports, .now = {}};
  Clock::time_point now{};
};

TEST_F(Ft950EmulationTest, FrequenciesAndVfos) {
  ExpectRows({
      {"FA;", "FA;", "FA00014074000;", "FA14074000;"},
      {"FB;", "FB;", "FB00007050000;", "FB07050000;"},
      {"FA14200000;", "FA00014200000;"},
      {"fb00030000;", "FB00000030000;"},
      {"FA00029999;", "", "", "?;"},           // below the FT-950's range
      {"FA1420000;", "", "", "?;"},            // seven digits
      {"FA;", "FA;", "FA00144000000;", "?;"},  // beyond eight digits
      {"FA;", "FA;", "FA123;", "?;"},          // not the radio's form
      {"VS;", "FR;", "FR1;", "VS1;"},
      {"FR;", "FR;", "FR1;", "FR4;"},
      {"FT;", "FT;", "FT0;", "FT0;"},
      {"FT3;", "FT1;"},
      {"FT2;", "FT0;"},
      {"FT1;", "", "", "?;"},
      {"VS2;", "", "", "?;"},
      {"IF;", "IF;DA;", std::string(kRadioStatus) + "DA0;", std::string(kApp1Status)},
      // A blank clarifier sign reads as "+".
      {"IF;", "IF;DA;", "IF00014074000      000000000020000000;DA0;", std::string(kApp1Status)},
      // A memory channel, a negative clarifier, RIT on, CTCSS, data on.
      {"IF;", "IF;DA;", "IF00007100000     -012310012022002000;DA1;",
       "IF01207100000-012310C11000;"},
      {"OI;", "", "", "?;"},
  });
}

// VFO select keeps App 1's split: the radio's receive VFO set would end it.
TEST_F(Ft950EmulationTest, VfoSelectKeepsSplitAsItWas) {
  ExpectRows({
      {"VS1;", "FR1;"},
      {"VS0;", "FR0;"},
      {"FT3;", "FT1;"},
      {"VS1;", "FR1;FT0;"},
      {"FT;", "FT;", "FT0;", "FT0;"},
  });
}

TEST_F(Ft950EmulationTest, ModesBothWays) {
  ExpectRows({
      {"MD0;", "MD;DA;", "MD2;DA0;", "MD02;"},
      {"MD01;", "MD1;DA0;"},
      {"MD02;", "MD2;DA0;"},
      {"MD03;", "MD3;"},
      {"MD04;", "MD4;DA0;"},
      {"MD05;", "MD5;"},
      {"MD06;", "MD6;"},
      {"MD07;", "MD7;"},
      {"MD08;", "MD1;DA1;"},
      {"MD09;", "MD9;"},
      {"MD0A;", "MD4;DA1;"},
      {"MD0C;", "MD2;DA1;"},
      {"MD0D;", "MD5;"},
      {"MD0B;", "MD4;DA0;"},
      // FM-N shares the radio's digits with FM: App 1 reads back its choice...
      {"MD0;", "MD;DA;", "MD4;DA0;", "MD0B;"},
      // ...until the radio leaves it.
      {"MD0;", "MD;DA;", "MD2;DA0;", "MD02;"},
      {"MD0;", "MD;DA;", "MD4;DA0;", "MD04;"},
      {"MD0;", "MD;DA;", "MD5;DA1;", "MD05;"},
      // Tune and no mode keep what App 1 was last told.
      {"MD0;", "MD;DA;", "MD8;DA0;", "MD05;"},
      {"MD0E;", "", "", "?;"},
      {"MD;", "", "", "?;"},
  });
}

// Width, narrow and roofing are kept here, per mode; the radio hears nothing.
TEST_F(Ft950EmulationTest, PassbandKeptPerMode) {
  ExpectRows({
      {"SH0;", "", "", "SH000;"},
      {"SH020;", ""},
      {"SH0;", "", "", "SH020;"},
      {"NA0;", "", "", "NA00;"},
      {"NA01;", ""},
      {"RF0;", "", "", "RF06;"},
      {"RF02;", ""},
      {"RF0;", "", "", "RF02;"},
      {"RF04;", "", "", "?;"},
      {"MD03;", "MD3;"},
      {"SH0;", "", "", "SH000;"},
      {"SH014;", "", "", "?;"},
      {"SH013;", ""},
      {"NA0;", "", "", "NA00;"},
      {"MD02;", "MD2;DA0;"},
      {"SH0;", "", "", "SH020;"},
      {"NA0;", "", "", "NA01;"},
      {"MD0B;", "MD4;DA0;"},
      {"NA0;", "", "", "NA01;"},
      {"SH0;", "", "", "?;"},
      {"SH010;", "", "", "?;"},
      {"RF0;", "", "", "RF04;"},
  });
}

TEST_F(Ft950EmulationTest, LevelsScaledAndHeldToTheRadiosRange) {
  ExpectRows({
      {"PC;", "PC;", "PC050;", "PC050;"},
      {"PC100;", "PC100;"},
      {"PC000;", "PC005;"},
      {"PC101;", "", "", "?;"},
      {"AG0;", "AG0;", "AG0100;", "AG0100;"},
      {"AG0255;", "AG0255;"},
      {"AG0256;", "", "", "?;"},
      {"AG;", "", "", "?;"},
      {"AG1100;", "", "", "?;"},
      {"RG0;", "RG;", "RG255;", "RG0255;"},
      {"RG0204;", "RG204;"},
      {"SQ0;", "SQ0;", "SQ0025;", "SQ0025;"},
      {"SQ0025;", "SQ0025;"},
      {"KS;", "KS;", "KS020;", "KS020;"},
      {"KS025;", "KS025;"},
      {"KS003;", "", "", "?;"},
      // The radio's microphone gain has 101 steps: App 1 reads back its own
      // value while the radio holds what it was sent.
      {"MG127;", "MG050;"},
      {"MG;", "MG;", "MG050;", "MG127;"},
      {"MG;", "MG;", "MG051;", "MG130;"},
      {"MG;", "MG;", "MG050;", "MG128;"},
      {"GT0;", "GT;", "GT10;", "GT02;"},
      {"GT01;", "GT05;"},
      {"GT03;", "GT20;"},
      {"GT04;", "GT10;"},
      {"GT0;", "GT;", "GT10;", "GT05;"},  // still AUTO: AUTO-mid
      {"GT0;", "GT;", "GT01;", "GT01;"},
      {"GT0;", "GT;", "GT00;", "GT00;"},
      {"GT0;", "GT;", "GT15;", "GT03;"},
      {"GT05;", "", "", "?;"},
  });
}

TEST_F(Ft950EmulationTest, MetersFollowTheFt950Curves) {
  ExpectRows({
      {"SM0;", "SM0;", "SM00015;", "SM0130;"},  // S9
      {"SM0;", "SM0;", "SM00007;", "SM0048;"},
      {"SM0;", "SM0;", "SM00030;", "SM0255;"},
      // One meter read brings all three transmit meters.
      {"RM6;", "RM;", "RM10006;RM20000;RM30000;", "RM6065;"},
      {"RM4;", "RM;", "RM10000;RM20000;RM30030;", "RM4255;"},
      {"RM3;", "RM;", "RM10000;RM20010;RM30000;", "RM3085;"},
      {"RM5;", "", "", "RM5000;"},  // no power reading in receive
      {"RM7;", "", "", "?;"},
  });
  keying.radioKeyed = true;
  ExpectRows({
      {"SM0;", "", "", "SM0000;"},  // in transmit the radio's S-meter shows power
      {"RM5;", "SM0;", "SM00030;", "RM5208;"},
  });
}

TEST_F(Ft950EmulationTest, SettingsKeptHereAndAnsweredAtOnce) {
  ExpectRows({
      {"ID;", "", "", "ID0310;"},
      {"AI;", "", "", "AI0;"},
      {"AI1;", ""},
      {"AI;", "", "", "AI1;"},
      {"AI2;", "", "", "?;"},
      {"EX027;", "", "", "EX0270;"},
      {"EX0271;", ""},
      {"EX027;", "", "", "EX0271;"},
      {"EX028;", "", "", "?;"},
      {"EX0274;", "", "", "?;"},
      {"KP;", "", "", "KP08;"},
      {"KP06;", ""},
      {"KP;", "", "", "KP06;"},
      {"MS;", "", "", "MS0;"},
      {"MS6;", "", "", "?;"},
      {"BS03;", ""},
      {"BS13;", "", "", "?;"},
  });
}

TEST_F(Ft950EmulationTest, ClarifierPowerAndTheUnsupported) {
  ExpectRows({
      {"RC;", "RC;"},
      {"RU0100;", "RU00100;"},
      {"RD9999;", "RD09999;"},
      {"RU100;", "", "", "?;"},
      {"RT;", "RT;", "RT1;", "RT1;"},
      {"RT0;", "RT0;"},
      {"XT1;", "XT1;"},
      {"PS;", "PS;", "PS1;", "PS1;"},
      {"PS0;", "PS0;"},
      {"PS1;", ""},  // the Power On/Off box is ticked
      {"VM;", "", "", "?;"},
      {"AB;", "", "", "?;"},
      {"PA0;", "", "", "?;"},
      {"ZZ;", "", "", "?;"},
  });
  ctx.powerControl = Check::Clear;
  ExpectRows({{"PS1;", "PS1;"}});
  ctx.powerControl = Check::Greyed;
  ExpectRows({{"PS1;", "PS1;"}});
}

// No App 1 command keys the radio unless it means transmit; un-keying is
// always the radio's receive, and transmit reads never reach the radio.
TEST_F(Ft950EmulationTest, KeyingRows) {
  struct KeyingRow {
    std::string app1;
    bool keyedBefore;
    std::string radio;
    std::string app1Gets;
    bool keyedAfter;
  };
  const std::vector<KeyingRow> rows = {
      {"TX;", false, "", "TX0;", false},        {"TX;", true, "", "TX3;", true},
      {"MX;", true, "", "MX1;", true},          {"TX1;", false, "TX1;", "", true},
      {"MX1;", false, "TX1;", "", true},        {"tx1;", false, "TX1;", "", true},
      {"TX0;", true, "RX;", "", false},         {"TX0;", false, "RX;", "", false},
      {"MX0;", true, "RX;", "", false},         {"TX2;", false, "", "?;", false},
      {"TX1;TX;", false, "TX1;", "TX3;", true}, {"TX0;TX;", true, "RX;", "TX0;", false},
  };
  for (const KeyingRow& row : rows) {
    keying.radioKeyed = row.keyedBefore;
    const CommandResult out = Send(row.app1);
    EXPECT_EQ(out.toRadio, row.radio) << row.app1;
    EXPECT_EQ(out.toApp, row.app1Gets) << row.app1;
    EXPECT_EQ(keying.radioKeyed, row.keyedAfter) << row.app1;
  }
}

// Answers leave in App 1's order; an answer known here waits behind an
// earlier read, and a radio report in between is not taken for an answer.
TEST_F(Ft950EmulationTest, AnswersKeepApp1sOrderAroundReports) {
  EXPECT_EQ(Send("FA;").toApp, "");
  EXPECT_EQ(Send("ID;").toApp, "");
  EXPECT_EQ(Send("MD0;").toRadio, "MD;DA;");
  EXPECT_EQ(Hear("MD1;IF00014074000     +000000000010000000;"), "");
  EXPECT_EQ(Hear("FA00014074000;"), "FA14074000;ID0310;");
  EXPECT_EQ(Hear("DA0;"), "MD01;");  // the report's MD1 was taken: the same letters
  EXPECT_EQ(Hear("MD2;"), "");
  EXPECT_FALSE(emulation.WaitingForRadio());
  // Several radio messages in one text are taken one by one.
  Send("FA;");
  EXPECT_EQ(emulation.Answer("\r\nFA00014074000;MD2;", ctx), "FA14074000;");
}

// The radio's "?;" goes to its oldest command still unanswered: a refused
// setting takes it from App 1's reads.
TEST_F(Ft950EmulationTest, RadioRefusals) {
  Send("FA;");
  Send("MD0;");
  EXPECT_EQ(Hear("?;"), "?;");
  EXPECT_EQ(Hear("MD2;DA0;"), "MD02;");

  Send("TX0;");  // a radio may refuse its receive command while receiving
  Send("FA;");
  EXPECT_EQ(Hear("?;FA00014074000;"), "FA14074000;");

  Send("FA;");
  now += milliseconds(300);  // the setting is long through
  Send("TX0;");
  EXPECT_EQ(Hear("E;"), "?;");
  EXPECT_EQ(Hear("?;"), "");  // nothing owed: dropped
}

TEST_F(Ft950EmulationTest, UnansweredReadsExpire) {
  Send("FA;");
  Send("ID;");
  now += milliseconds(999);
  EXPECT_EQ(emulation.Overdue(now), "");
  now += milliseconds(1);
  EXPECT_EQ(emulation.Overdue(now), "?;ID0310;");
  EXPECT_EQ(Hear("FA00014074000;"), "");  // too late: no read waits for it
  Send("FB;");
  now += Ft950Emulation::kReadLimit;
  EXPECT_EQ(Send("ID;").toApp, "?;ID0310;");
}

// The radio's auto-information reaches App 1 in FT-950 form, only while App 1
// has asked for it.
TEST_F(Ft950EmulationTest, AutoInformationFollowsApp1sSwitch) {
  const std::string reports = std::string("FA00007100000;MD3;PC050;") + std::string(kRadioStatus);
  EXPECT_EQ(Hear(reports), "");
  Send("AI1;");
  EXPECT_EQ(Hear(reports), "FA07100000;MD03;" + std::string(kApp1Status));
  EXPECT_EQ(Hear("DA1;FR1;FT0;RM10001;"), "MD0C;VS1;FT0;");
  // Half of a read's answers is no report either.
  Send("MD0;");
  EXPECT_EQ(Hear("MD3;"), "");
  EXPECT_EQ(Hear("DA0;"), "MD03;");
  Send("AI0;");
  EXPECT_EQ(Hear(reports), "");
}

TEST_F(Ft950EmulationTest, MalformedInputIsRefusedNeverSent) {
  ExpectRows({
      {";", ""},
      {"\r\n;", ""},
      {" FA;", "FA;", "FA00014074000;", "FA14074000;"},
      {"F;", "", "", "?;"},
      {"1234;", "", "", "?;"},
      {std::string("\xff\x01;"), "", "", "?;"},
      {"FA14200000000000000;", "", "", "?;"},
      {"FA;FB", "FA;", "FA00014074000;", "FA14074000;"},  // the rest waits for its ";"
  });
  EXPECT_EQ(Hear("garbage;XY12;;\x01;"), "");
}

TEST_F(Ft950EmulationTest, ResetForgetsReadsInFlight) {
  Send("FA;");
  emulation.Reset();
  EXPECT_FALSE(emulation.WaitingForRadio());
  EXPECT_EQ(Hear("FA00014074000;"), "");
  EXPECT_EQ(Send("ID;").toApp, "ID0310;");
}

// Hamlib's FT-950 backend, operation by operation, through the emulation to
// the simulated radio: each App 1 command as Hamlib sends it, the radio's
// answers fed back before the next.
TEST_F(Ft950EmulationTest, HamlibSequences) {
  struct Operation {
    std::string rigctl;
    std::string app1;
    std::string app1Gets;
    std::string radioHears;
  };
  const std::string usb(kApp1Status);
  const std::string dataOnA = "IF00114200000+000000C00000;";  // 14.2 MHz, PKT-U
  const std::string lsbOnB = "IF00107050000+000000100000;";   // VFO B: 7.05 MHz, LSB
  const std::vector<Operation> operations = {
      {"open (4.5.4)", "AI;ID;EX0271;EX027;VS;IF;FA;",
       "AI0;ID0310;EX0271;VS0;" + usb + "FA14074000;", "FR;IF;DA;FA;"},
      {"f", "FA;", "FA14074000;", "FA;"},
      {"F 14200000", "IF;FA;FA14200000;FA;", usb + "FA14074000;FA14200000;",
       "IF;DA;FA;FA00014200000;FA;"},
      {"m", "MD0;SH0;NA0;", "MD02;SH000;NA00;", "MD;DA;"},
      {"M USB 2400", "MD02;NA00;ID;RF03;SH013;", "ID0310;", "MD2;DA0;"},
      {"M CW 500", "MD03;NA01;ID;RF03;SH007;", "ID0310;", "MD3;"},
      {"m", "MD0;SH0;NA0;", "MD03;SH007;NA01;", "MD;DA;"},
      {"M PKTUSB 3000", "MD0C;NA00;ID;RF03;SH013;", "ID0310;", "MD2;DA1;"},
      {"m", "MD0;SH0;NA0;", "MD0C;SH013;NA00;", "MD;DA;"},
      {"t", "TX;", "TX0;", ""},
      {"T 1", "TX1;", "", "TX1;"},
      {"t", "TX;", "TX3;", ""},
      {"T 0", "TX0;TX;", "TX0;", "RX;"},
      {"v", "VS;IF;", "VS0;" + dataOnA, "FR;IF;DA;"},
      {"V VFOB", "VS;IF;IF;VS1;VS;FB;", "VS0;" + dataOnA + dataOnA + "VS1;FB07050000;",
       "FR;IF;DA;IF;DA;FR1;FR;FB;"},
      {"s", "FT;IF;", "FT1;" + lsbOnB, "FT;IF;DA;"},
      {"S 1 VFOB", "VS;IF;FT3;FT;", "VS1;" + lsbOnB + "FT1;", "FR;IF;DA;FT1;FT;"},
      {"l RFPOWER", "PC;", "PC100;", "PC;"},
      {"L RFPOWER 0.5", "PC050;PC;", "PC050;", "PC050;PC;"},
      {"l STRENGTH", "SM0;", "SM0130;", "SM0;"},
      {"l AF", "AG0;", "AG0100;", "AG0;"},
      {"L AF 0.3", "AG0077;ID;", "ID0310;", "AG0077;"},
      {"l AF", "AG0;", "AG0077;", "AG0;"},
      {"\\get_powerstat", "PS;", "PS1;", "PS;"},
  };
  sim::KenwoodRadio radio;
  radio.SetSMeter(15);  // S9
  for (const Operation& operation : operations) {
    std::string app1Gets;
    std::string radioHeard;
    for (const std::string& command : Pieces(operation.app1)) {
      const CommandResult out = Send(command);
      radioHeard += out.toRadio;
      app1Gets += out.toApp + Hear(radio.Receive(out.toRadio));
    }
    EXPECT_EQ(app1Gets, operation.app1Gets) << operation.rigctl;
    EXPECT_EQ(radioHeard, operation.radioHears) << operation.rigctl;
  }
}

}  // namespace
}  // namespace vantorel::cat
