// Each simulated model speaks its own grammar: a script of commands in, the
// radio's bytes out, and what it holds afterwards.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "sim/kenwood_radio.h"

namespace vantorel::sim {
namespace {

KenwoodRadio Radio(std::string_view model) {
  const RadioModel* found = FindModel(model);
  EXPECT_NE(found, nullptr) << model;
  return KenwoodRadio(found != nullptr ? *found : LenientModel());
}

struct Script {
  std::string_view model;
  std::string_view commands;
  std::string_view answers;
};

// A script answered only with refusals must leave the radio as it was.
constexpr Script kScripts[] = {
    // TS-890S: no selector on the levels, GC, OM in hex with the data modes as
    // codes, the legacy MD, SF by VFO, S-meter to 70, RIT sign blank for plus.
    {"ts890", "ID;OM0;MD;AG;SQ;RG;GC;SM;PC;MG;KS;TB;",
     "ID024;OM02;MD2;AG100;SQ000;RG255;GC2;SM0000;PC100;MG050;KS020;TB0;"},
    {"ts890", "OM0D;OM0;MD;OM1;MDC;OM0;", "OM0D;MDD;OM11;OM0C;"},
    {"ts890", "SF1000070740003;SF1;OM1;FB;", "SF1000070740003;OM13;FB00007074000;"},
    {"ts890", "RT1;RU00150;IF;RF;", "IF00014074000      015010000020000000;RF00150;"},
    {"ts890", "SH0;SL0;SH0010;SL003;SH0;SL0;OM03;SL0;SL004;SL0;",
     "SH0021;SL004;SH0010;SL003;SL010;SL004;"},
    {"ts890", "DA;DA1;AG0;AG0100;SM0;GT;GT01;OM2;OM0G;SQ0;RG0;MD0;FW;SH;GC4;CB;SF2;", ""},
    {"ts890", "OM03;SH0;SH0010;", "?;?;"},  // the CW shift is not simulated
    // TS-990S: main/sub selectors, CB and TB, three data modes, 200 W.
    {"ts990", "ID;OM0;OM1;AG0;AG1;RG0;SQ1;GC0;SM0;SM1;CB;TB;PC255;PC;",
     "ID022;OM02;OM11;AG0100;AG1100;RG0255;SQ1000;GC02;SM00000;SM10000;CB0;TB0;PC200;"},
    {"ts990", "OM0H;OM0;OM1I;OM1;CB1;TB1;CB;TB;IF;",
     "OM0H;OM1I;CB1;TB1;IF00007050000     +0000000000I1010000;"},
    {"ts990", "FR;FT;FR0;MD;MD2;DA;AG;AG100;RG204;SM;GT;GC;SF0;OM2;", ""},
    // TS-590S/SG: AG0/SQ0/SM0, RG and GT without, MD plus DA, SH/SL and FW.
    {"ts590", "ID;MD;DA;AG0;SQ0;RG;GT;SM0;DA1;MD;IF;",
     "ID021;MD2;DA0;AG0100;SQ0000;RG255;GT10;SM00000;MD2;IF00014074000     +000000000020000000;"},
    {"ts590sg", "ID;SH;SL;SH05;SH;MD3;FW;FW0250;FW;", "ID023;SH08;SL04;SH05;FW0500;FW0250;"},
    {"ts590", "AG;AG1;AG100;OM0;SF0;SM;GC;GT0;GT001;RG0;SQ;TB;CB;MDD;", ""},
    {"ts590sg", "MD3;SH;SL;FW0260;FW00250;MD2;FW;", "?;?;?;?;?;"},
    // TS-2000: main/sub selectors, the sub S-meter to 15, GT in three digits,
    // SA, FW as a filter index in SSB.
    {"ts2000", "ID;SA;AG0;AG1;SQ1;SM0;SM1;GT;KS;FW;FW0002;FW;SH;",
     "ID019;SA0000000        "
     ";AG0100;AG1100;SQ1000;SM00000;SM10000;GT010;KS020;FW0000;FW0002;SH06;"},
    {"ts2000", "DA;DA1;MDD;OM0;AG;KS005;GT10;GT021;SM;SA1;FW0003;", ""},
    // TS-480: RF gain 0..100, GT 000..002, FW with every mode.
    {"ts480", "ID;RG;GT;FW;RG080;RG;MD5;FW;FW0001;FW;",
     "ID020;RG100;GT001;FW0000;RG080;FW0000;FW0001;"},
    {"ts480", "RG101;GT003;GT01;DA;MDD;AG;SQ;FW0003;", ""},
    // Auto-information reports a change in the form of the model's read.
    {"ts890", "AI2;OM03;FA00007074000;", "OM03;FA00007074000;"},
    {"ts2000", "AI1;MD3;FB00014000000;", "MD3;FB00014000000;"},
};

TEST(RadioModelsTest, EachModelAnswersItsOwnFormsAndRefusesTheOthers) {
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
    {"ts2000", "TX0;TX1;", Keying::kReceive, {300, 2700, 2400}},  // taken, and nothing happens
    {"ts2000", "TX;FW0002;", Keying::kMicrophone, {300, 2700, 270}},
    {"ts890", "TX1;SH0010;SL003;", Keying::kDataAudio, {200, 1600, 2400}},
    {"ts890", "OM03;SL004;", Keying::kReceive, {0, 0, 200}},
    {"ts990", "TX0;OM03;SL003;", Keying::kMicrophone, {0, 0, 150}},
    {"ts590", "MD3;FW0250;", Keying::kReceive, {0, 0, 250}},
    {"ts590sg", "SH05;SL00;TX1;RX;", Keying::kReceive, {0, 2000, 2400}},
    {"ts480", "MD5;SH01;SL03;FW0001;", Keying::kReceive, {500, 3000, 2400}},
};

TEST(RadioModelsTest, TransmitFormsAndFilterFormsChangeWhatTheRadioHolds) {
  for (const Holds& row : kHolds) {
    SCOPED_TRACE(std::string(row.model) + " " + std::string(row.commands));
    KenwoodRadio radio = Radio(row.model);
    EXPECT_EQ(radio.Receive(row.commands), "");
    EXPECT_EQ(radio.State().keying, row.keying);
    EXPECT_TRUE(radio.State().WorkingPassband() == row.passband);
  }
}

}  // namespace
}  // namespace vantorel::sim
