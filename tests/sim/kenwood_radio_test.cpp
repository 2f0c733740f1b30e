// The simulated radio driven as a computer and a person at the radio drive it:
// bytes in, bytes out, knobs and keys; each model speaks its own grammar.
#include "sim/kenwood_radio.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "sim/status_answer.h"

namespace vantorel::sim {
namespace {

constexpr std::string_view kStartStatus = "IF00014074000     +000000000020000000;";

KenwoodRadio Radio(std::string_view model) {
  const RadioModel* found = FindModel(model);
  EXPECT_NE(found, nullptr) << model;
  return KenwoodRadio(found != nullptr ? *found : LenientModel());
}

struct Script {
  std::string_view commands;
  std::string_view answers;
  std::string_view model = "kenwood";
};

// Sets are silent, reads answer with the value set; a script answered only
// with refusals ("") must leave the radio as it was. "kenwood" is the lenient
// TS-590S that takes the TS-890 class's forms too; its plain sets and reads
// of frequency, VFOs, modes and the AF, RF, squelch, power and CW speed levels
// go through Hamlib's own backend in vantorel_sim_test.cpp.
// clang-format off
constexpr Script kScripts[] = {
    {"FB00021074000;FB;", "FB00021074000;"}, {"SQ255;SQ;", "SQ255;"}, {"PS0;PS;", "PS0;"},
    {"AG200;AG;", "AG200;"}, {"AG0042;AG;", "AG042;"},  // TS-890 form; read in the other
    {"PC255;PC;PC000;PC;MG255;MG;", "PC100;PC005;MG100;"},  // held to the range
    {"GT20;GT;NB2;NB;NR1;NR;", "GT20;NB2;NR1;"},
    {"RA01;RA;PA1;PA;RT1;RT;XT1;XT;", "RA0100;PA10;RT1;XT1;"},
    // Auto-information: a change is reported, no change no report, a read
    // gets only its answer; off, nothing.
    {"AI2;AI;FA00014200000;FA00014200000;FA;MD1;FB00007000000;AI0;MD3;",
     "AI2;FA00014200000;FA00014200000;MD1;FB00007000000;"},
    {"FL002002;FL;SH11;SH;SL02;SL;FW0250;FW;", "FL002002;SH11;SL02;FW0250;"},
    {"RM3;RM;", "RM10000;RM20000;RM30000;"},  // a meter chosen, then all meters
    {"ID;FV;SM0;SM;", "ID021;FV1.04;SM00000;SM0000;"},
    // The TS-890 class's forms a translating program sends.
    {"GC3;GC;BP200;BP;ML012;ML;NL008;NL;", "GC3;BP200;ML012;NL008;"},
    {"SD0450;SD;VG009;VG;RL07;RL;", "SD0450;VG009;RL07;"},
    {"LK10;LK;LK01;LK1;LK;", "LK10;LK11;"},  // the TS-890 form keeps the second switch
    {"NT10;NT;AN210;AN;AC111;AC;MX1;MX;", "NT10;AN210;AC111;MX1;"},
    // The status answer, each field at its place: keyed, mode, VFO (each keeps
    // its own mode), split (FR ends it; keyed in split: the transmit VFO),
    // RIT/XIT and their offset, quick split, MOX.
    {"IF;", kStartStatus}, {"TX1;RX;IF;", kStartStatus}, {"FT1;FR0;IF;", kStartStatus},
    {"TX1;MX0;IF;", kStartStatus}, {"ID;\r\n", "ID021;"},  // line ends of a person typing: dropped
    {"TX;IF;", "IF00014074000     +000000000120000000;"},
    {"TX1;IF;", "IF00014074000     +000000000120000000;"},
    {"MD3;IF;", "IF00014074000     +000000000030000000;"},
    {"MD3;FR1;IF;", "IF00007050000     +000000000011000000;"},
    {"FT1;IF;", "IF00014074000     +000000000020010000;"},
    {"FT1;TX;IF;", "IF00007050000     +000000000111010000;"},
    {"FR1;VV;FR0;IF;", "IF00007050000     +000000000010000000;"},
    {"RT1;RU00150;IF;", "IF00014074000     +015010000020000000;"},
    {"XT1;RD00300;IF;", "IF00014074000     -030001000020000000;"},
    {"RU;RU;IF;", "IF00014074000     +002000000020000000;"},
    {"RU99999;IF;", "IF00014074000     +999000000020000000;"},
    {"RT1;RU00150;RC;IF;", "IF00014074000     +000010000020000000;"},
    {"QS;IF;", "IF00014074000     +000000000020010000;"},
    {"MX1;IF;", "IF00014074000     +000000000120000000;"},
    // Unknown, malformed, out of range, binary noise: refused.
    {std::string_view(" \x91\xb6\xdd\xd9U;\0\xff;", 10), ""},
    {"ZZ;fa;;F;FV1;IF0;ID022;FA14074000;FA00070000000;FA00000010000;FA0001407400X;", ""},
    {"MD0;MD8;MD02;DA2;FR2;FT3;VV0;AG0256;AG1;AG00;RG0;RG0128;GT0;GT21;", ""},
    {"KS003;KS061;NB3;PS2;AI5;SH1A;FL123456789;TX2;RX0;RU0100;RD1;RC;", ""},
    {"SM1;SM00010;RM4;GC5;SD1001;LK2;LK100;NT3;AN300;AN1;AC2;MX2;QS1;", ""},
    // TS-890S: no selector on the levels, GC, OM in hex with the data modes as
    // codes, the legacy MD, SF by VFO, S-meter to 70, RIT sign blank for plus.
    {"ID;OM0;MD;AG;SQ;RG;GC;SM;PC;MG;KS;TB;",
     "ID024;OM02;MD2;AG100;SQ000;RG255;GC2;SM0000;PC100;MG050;KS020;TB0;", "ts890"},
    {"OM0D;OM0;MD;OM1;MDC;OM0;", "OM0D;MDD;OM11;OM0C;", "ts890"},
    {"SF1000070740003;SF1;OM1;FB;", "SF1000070740003;OM13;FB00007074000;", "ts890"},
    {"RT1;RU00150;IF;RF;", "IF00014074000      015010000020000000;RF00150;", "ts890"},
    {"SH0;SL0;SH0010;SL003;SH0;SL0;OM03;SL0;SL004;SL0;",
     "SH0021;SL004;SH0010;SL003;SL010;SL004;", "ts890"},
    {"DA;DA1;AG0;AG0100;SM0;GT;GT01;OM2;OM0G;SQ0;RG0;MD0;FW;SH;GC4;CB;SF2;", "", "ts890"},
    {"OM03;SH0;SH0010;", "?;?;", "ts890"},  // the CW shift is not simulated
    {"AI2;OM03;FA00007074000;", "OM03;FA00007074000;", "ts890"},  // reports in its read's form
    // TS-990S: main/sub selectors, CB and TB, three data modes, 200 W.
    {"ID;OM0;OM1;AG0;AG1;RG0;SQ1;GC0;SM0;SM1;CB;TB;PC255;PC;",
     "ID022;OM02;OM11;AG0100;AG1100;RG0255;SQ1000;GC02;SM00000;SM10000;CB0;TB0;PC200;", "ts990"},
    {"OM0H;OM0;OM1I;OM1;CB1;TB1;CB;TB;IF;",
     "OM0H;OM1I;CB1;TB1;IF00007050000     +0000000000I1010000;", "ts990"},
    {"FR;FT;FR0;MD;MD2;DA;AG;AG100;RG204;SM;GT;GC;SF0;OM2;", "", "ts990"},
    // TS-590S/SG: AG0/SQ0/SM0, RG and GT without, MD plus DA, SH/SL and FW.
    {"ID;MD;DA;AG0;SQ0;RG;GT;SM0;DA1;MD;IF;",
     "ID021;MD2;DA0;AG0100;SQ0000;RG255;GT10;SM00000;MD2;IF00014074000     +000000000020000000;",
     "ts590"},
    {"ID;SH;SL;SH05;SH;MD3;FW;FW0250;FW;", "ID023;SH08;SL04;SH05;FW0500;FW0250;", "ts590sg"},
    {"AG;AG1;AG100;OM0;SF0;SM;GC;GT0;GT001;RG0;SQ;TB;CB;MDD;", "", "ts590"},
    {"MD3;SH;SL;FW0260;FW00250;MD2;FW;", "?;?;?;?;?;", "ts590sg"},
    // TS-2000: main/sub selectors, the sub S-meter to 15, GT in three digits,
    // SA, FW as a filter index in SSB.
    {"ID;SA;AG0;AG1;SQ1;SM0;SM1;GT;KS;FW;FW0002;FW;SH;",
     "ID019;SA0000000        "
     ";AG0100;AG1100;SQ1000;SM00000;SM10000;GT010;KS020;FW0000;FW0002;SH06;", "ts2000"},
    {"DA;DA1;MDD;OM0;AG;KS005;GT10;GT021;SM;SA1;FW0003;", "", "ts2000"},
    // TS-480: RF gain 0..100, GT 000..002, FW with every mode.
    {"ID;RG;GT;FW;RG080;RG;MD5;FW;FW0001;FW;",
     "ID020;RG100;GT001;FW0000;RG080;FW0000;FW0001;", "ts480"},
    {"RG101;GT003;GT01;DA;MDD;AG;SQ;FW0003;", "", "ts480"},
    {"AI1;MD3;FB00014000000;", "MD3;FB00014000000;", "ts2000"},  // in the form of its read
};
// clang-format on

TEST(KenwoodRadioTest, EachModelAnswersItsOwnFormsAndRefusesTheOthers) {
  for (const Script& script : kScripts) {
    SCOPED_TRACE(std::string(script.model) + " " + std::string(script.commands));
    KenwoodRadio radio = Radio(script.model);
    const RadioState before = radio.State();
    const std::string answers = radio.Receive(script.commands);
    if (script.answers.empty()) {
      std::string refusals;
      for (const char c : script.commands) {
        refusals += c == ';' ? "?;" : "";
      }
      EXPECT_EQ(answers, refusals);
      EXPECT_TRUE(radio.State() == before);
    } else {
      EXPECT_EQ(answers, script.answers);
    }
  }
}

struct Holds {
  std::string_view model;
  std::string_view commands;
  Keying keying;
  Passband passband;  // the working mode's
};

constexpr Holds kHolds[] = {
    {"kenwood", "TX;", Keying::kMicrophone, {300, 2700, 2400}},
    {"kenwood", "TX0;", Keying::kMicrophone, {300, 2700, 2400}},
    {"kenwood", "TX1;", Keying::kDataAudio, {300, 2700, 2400}},
    {"kenwood", "TX1;RX;", Keying::kReceive, {300, 2700, 2400}},
    {"ts2000", "TX0;TX1;", Keying::kReceive, {300, 2700, 2400}},  // taken, and nothing happens
    {"ts2000", "TX;FW0002;", Keying::kMicrophone, {300, 2700, 270}},
    {"ts890", "TX1;SH0010;SL003;", Keying::kDataAudio, {200, 1600, 2400}},
    {"ts890", "OM03;SL004;", Keying::kReceive, {0, 0, 200}},
    {"ts990", "TX0;OM03;SL003;", Keying::kMicrophone, {0, 0, 150}},
    {"ts590", "MD3;FW0250;", Keying::kReceive, {0, 0, 250}},
    {"ts590sg", "SH05;SL00;TX1;RX;", Keying::kReceive, {0, 2000, 2400}},
    {"ts480", "MD5;SH01;SL03;FW0001;", Keying::kReceive, {500, 3000, 2400}},
};

TEST(KenwoodRadioTest, TransmitFormsAndFilterFormsChangeWhatTheRadioHolds) {
  for (const Holds& row : kHolds) {
    SCOPED_TRACE(std::string(row.model) + " " + std::string(row.commands));
    KenwoodRadio radio = Radio(row.model);
    EXPECT_EQ(radio.Receive(row.commands), "");
    EXPECT_EQ(radio.State().keying, row.keying);
    EXPECT_TRUE(radio.State().WorkingPassband() == row.passband);
  }
}

// Auto-information reports the knobs' changes only while on (commands': kScripts).
TEST(KenwoodRadioTest, AutoInformationReportsFrequencyAndModeChangesOnlyWhileOn) {
  KenwoodRadio radio;
  EXPECT_EQ(radio.TuneVfo(Vfo::kA, 7'074'000), "");
  EXPECT_EQ(radio.Receive("MD3;AI2;"), "");
  EXPECT_EQ(radio.TuneVfo(Vfo::kA, 14'074'000), "FA00014074000;");
  EXPECT_EQ(radio.TuneVfo(Vfo::kB, 99'000'000), "FB00060000000;");
  EXPECT_EQ(radio.SelectMode(Mode::kUsb, true), "MD2;DA1;");
  EXPECT_EQ(radio.Receive("AI0;"), "");
  EXPECT_EQ(radio.TuneVfo(Vfo::kA, 7'074'000), "");
  KenwoodRadio ts2000 = Radio("ts2000");  // its knob stops at the nearer edge of a gap
  ts2000.Receive("AI2;");
  EXPECT_EQ(ts2000.TuneVfo(Vfo::kA, 99'000'000) + ts2000.TuneVfo(Vfo::kA, 110'000'000),
            "FA00060000000;FA00142000000;");
}

TEST(KenwoodRadioTest, SwitchedOffAnswersOnlyPowerAndIgnoresItsKnobs) {
  KenwoodRadio radio;
  radio.Receive("AI2;TX;");
  EXPECT_EQ(radio.Receive("PS0;"), "");
  EXPECT_EQ(radio.State().keying, Keying::kReceive);
  EXPECT_EQ(radio.Receive("FA;ZZ;FA00007000000;" + std::string(200, 'x') + ";"), "");
  EXPECT_EQ(radio.TuneVfo(Vfo::kA, 7'000'000), "");
  EXPECT_EQ(radio.PressMicrophone(true), "");
  EXPECT_EQ(radio.Receive("PS;"), "PS0;");
  EXPECT_EQ(radio.Receive("PS1;FA;IF;"), "FA00014074000;" + std::string(kStartStatus));
}

TEST(KenwoodRadioTest, InputSplitAnywhereGivesTheSameAnswers) {
  const std::string script = "AI2;FA00007050000;MD3;FA;IF;AG0;ZZ;TX;IF;RX;FB;";
  const std::string expected =
      "FA00007050000;MD3;FA00007050000;IF00007050000     +000000000030000000;AG0100;?;"
      "IF00007050000     +000000000130000000;FB00007050000;";
  for (std::size_t first = 0; first <= script.size(); ++first) {
    for (std::size_t second = first; second <= script.size(); ++second) {
      KenwoodRadio radio;
      std::string answers = radio.Receive(script.substr(0, first));
      answers += radio.Receive(script.substr(first, second - first));
      answers += radio.Receive(script.substr(second));
      ASSERT_EQ(answers, expected) << "cut at " << first << " and " << second;
    }
  }
}

TEST(KenwoodRadioTest, GarbageAndOverlongInputGetBoundedAnswers) {
  KenwoodRadio radio;
  // A megabyte without ';': one refusal, and no more than a command's worth held.
  EXPECT_EQ(radio.Receive(std::string(1 << 20, 'x')), "?;");
  EXPECT_LE(radio.PendingBytes(), CommandFramer::kLongestCommand);
  // The ';' that ends the stretch is swallowed with it; the next command is served.
  EXPECT_EQ(radio.Receive("yy;FA;"), "FA00014074000;");
}

TEST(KenwoodRadioTest, MetersReadWhatTheBandAndTheTransmitterMake) {
  KenwoodRadio radio;
  radio.SetSMeter(15);
  EXPECT_EQ(radio.Receive("SM0;SM;"), "SM00015;SM0015;");
  radio.SetTransmitMeter(TransmitMeter::kSwr, 6);
  radio.SetTransmitMeter(TransmitMeter::kAlc, 99);
  EXPECT_EQ(radio.Receive("RM;"), "RM10000;RM20000;RM30000;");  // receiving
  EXPECT_EQ(radio.PressMicrophone(true), "");
  EXPECT_EQ(radio.Receive("RM;"), "RM10006;RM20000;RM30030;");
  EXPECT_EQ(radio.Receive("IF;").substr(kStatusTransmit, 1), "1");
  radio.PressMicrophone(false);
  EXPECT_EQ(radio.Receive("IF;"), kStartStatus);
}

}  // namespace
}  // namespace vantorel::sim
