// The simulated radio driven as a computer and a person at the radio drive it:
// bytes in, bytes out, knobs and keys.
#include "sim/kenwood_radio.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>

#include "sim/status_answer.h"

namespace vantorel::sim {
namespace {

constexpr std::string_view kStartStatus = "IF00014074000     +000000000020000000;";

struct SetAndRead {
  std::string_view family;
  std::string_view set;
  std::string_view read;
  std::string_view answer;
};

// Every set value differs from the radio's starting one.
constexpr SetAndRead kSetsAndReads[] = {
    {"VFO A", "FA00007050000;", "FA;", "FA00007050000;"},
    {"VFO B", "FB00021074000;", "FB;", "FB00021074000;"},
    {"receive VFO", "FR1;", "FR;", "FR1;"},
    {"transmit VFO", "FT1;", "FT;", "FT1;"},
    {"mode", "MD3;", "MD;", "MD3;"},
    {"data mode", "DA1;", "DA;", "DA1;"},
    {"AF gain", "AG0127;", "AG0;", "AG0127;"},
    {"AF gain, TS-890 form", "AG200;", "AG;", "AG200;"},
    {"AF gain, set in one form, read in the other", "AG0042;", "AG;", "AG042;"},
    {"squelch", "SQ0010;", "SQ0;", "SQ0010;"},
    {"squelch, TS-890 form", "SQ255;", "SQ;", "SQ255;"},
    {"RF gain", "RG128;", "RG;", "RG128;"},
    {"power", "PC050;", "PC;", "PC050;"},
    {"power above the top", "PC255;", "PC;", "PC100;"},
    {"power below the bottom", "PC000;", "PC;", "PC005;"},
    {"microphone gain above the top", "MG255;", "MG;", "MG100;"},
    {"CW speed", "KS035;", "KS;", "KS035;"},
    {"AGC", "GT20;", "GT;", "GT20;"},
    {"noise blanker", "NB2;", "NB;", "NB2;"},
    {"noise reduction", "NR1;", "NR;", "NR1;"},
    {"attenuator", "RA01;", "RA;", "RA0100;"},
    {"preamplifier", "PA1;", "PA;", "PA10;"},
    {"RIT", "RT1;", "RT;", "RT1;"},
    {"XIT", "XT1;", "XT;", "XT1;"},
    {"auto-information", "AI2;", "AI;", "AI2;"},
    {"IF filter", "FL002002;", "FL;", "FL002002;"},
    {"high cut", "SH11;", "SH;", "SH11;"},
    {"low cut", "SL02;", "SL;", "SL02;"},
    {"CW width", "FW0250;", "FW;", "FW0250;"},
    {"power switch", "PS0;", "PS;", "PS0;"},
    {"meter display, then all meters", "RM3;", "RM;", "RM10000;RM20000;RM30000;"},
    {"identity", "", "ID;", "ID021;"},
    {"firmware", "", "FV;", "FV1.04;"},
    {"S-meter", "", "SM0;", "SM00000;"},
    {"S-meter, TS-890 form", "", "SM;", "SM0000;"},
    // The TS-890 class's forms a translating program sends.
    {"AGC, TS-890 form", "GC3;", "GC;", "GC3;"},
    {"manual notch frequency", "BP200;", "BP;", "BP200;"},
    {"monitor level", "ML012;", "ML;", "ML012;"},
    {"noise blanker level", "NL008;", "NL;", "NL008;"},
    {"break-in delay", "SD0450;", "SD;", "SD0450;"},
    {"VOX gain", "VG009;", "VG;", "VG009;"},
    {"noise reduction level", "RL07;", "RL;", "RL07;"},
    {"lock, both switches", "LK10;", "LK;", "LK10;"},
    {"lock, TS-890 form keeps the second switch", "LK01;LK1;", "LK;", "LK11;"},
    {"notch", "NT10;", "NT;", "NT10;"},
    {"antenna", "AN210;", "AN;", "AN210;"},
    {"tuner in and tuning", "AC111;", "AC;", "AC111;"},
    {"MOX", "MX1;", "MX;", "MX1;"},
};

TEST(KenwoodRadioTest, SetsAreSilentAndReadsAnswerWithTheNewValue) {
  for (const auto& row : kSetsAndReads) {
    SCOPED_TRACE(row.family);
    KenwoodRadio radio;
    EXPECT_EQ(radio.Receive(row.set), "");
    EXPECT_EQ(radio.Receive(row.read), row.answer);
  }
}

// clang-format off
constexpr std::string_view kRefused[] = {
    "ZZ;", "fa;", ";", "F;", "FV1;", "IF0;", "ID022;",                    // unknown or malformed
    "FA14074000;", "FA00070000000;", "FA00000010000;", "FA0001407400X;",  // width, range, digits
    "MD0;", "MD8;", "MD02;", "DA2;", "FR2;", "FT3;", "VV0;",              // modes and VFOs
    "AG0256;", "AG1;", "AG00;", "RG0;", "RG0128;", "GT0;", "GT21;",       // FT-950 forms, range
    "KS003;", "KS061;", "NB3;", "PS2;", "AI5;", "SH1A;", "FL123456789;",  // range, filters
    "TX2;", "RX0;", "RU0100;", "RD1;", "RC;", "SM1;", "SM00010;", "RM4;", // keying, RIT, meters
    "GC5;", "SD1001;", "LK2;", "LK100;", "NT3;", "AN300;", "AN1;", "AC2;", "MX2;", "QS1;",
};
// clang-format on

TEST(KenwoodRadioTest, RefusesUnknownMalformedAndOutOfRangeAndChangesNothing) {
  for (const std::string_view command : kRefused) {
    SCOPED_TRACE(command);
    KenwoodRadio radio;
    const RadioState before = radio.State();
    EXPECT_EQ(radio.Receive(command), "?;");
    EXPECT_TRUE(radio.State() == before);
  }
}

struct StatusField {
  std::string_view commands;
  std::size_t offset;
  std::string_view shows;
};

constexpr StatusField kStatusFields[] = {
    {"TX;", kStatusTransmit, "1"},
    {"TX0;", kStatusTransmit, "1"},
    {"TX1;", kStatusTransmit, "1"},
    {"TX1;RX;", kStatusTransmit, "0"},
    {"MD3;", kStatusMode, "3"},
    {"FR1;", kStatusVfo, "1"},
    {"FR1;", kStatusFrequency, "00007050000"},
    {"MD3;FR1;", kStatusMode, "1"},  // each VFO keeps its own mode
    {"FT1;", kStatusSplit, "1"},
    {"FT1;FR0;", kStatusSplit, "0"},               // FR ends split
    {"FT1;TX;", kStatusFrequency, "00007050000"},  // keyed in split: the transmit VFO
    {"FT1;TX;", kStatusVfo, "1"},
    {"FR1;VV;FR0;", kStatusFrequency, "00007050000"},
    {"RT1;RU00150;", kStatusRitOffset, "+01501"},
    {"XT1;RD00300;", kStatusRitOffset, "-030001"},
    {"RU;RU;", kStatusRitOffset, "+0020"},
    {"RU99999;", kStatusRitOffset, "+9990"},
    {"RT1;RU00150;RC;", kStatusRitOffset, "+0000"},
    {"QS;", kStatusSplit, "1"},  // quick split: transmit on the other VFO
    {"MX1;", kStatusTransmit, "1"},
    {"TX1;MX0;", kStatusTransmit, "0"},
};

TEST(KenwoodRadioTest, StatusAnswerShowsEachFieldAtItsOffset) {
  KenwoodRadio fresh;
  EXPECT_EQ(fresh.Receive("IF;"), kStartStatus);
  for (const auto& row : kStatusFields) {
    SCOPED_TRACE(row.commands);
    KenwoodRadio radio;
    EXPECT_EQ(radio.Receive(row.commands), "");
    const std::string status = radio.Receive("IF;");
    ASSERT_EQ(status.size(), kStatusLength);
    EXPECT_EQ(status.substr(row.offset, row.shows.size()), row.shows);
  }
}

TEST(KenwoodRadioTest, TransmitCommandsChooseTheAudioAndReceiveUnkeys) {
  const std::pair<std::string_view, Keying> rows[] = {
      {"TX;", Keying::kMicrophone},
      {"TX0;", Keying::kMicrophone},
      {"TX1;", Keying::kDataAudio},
      {"TX1;RX;", Keying::kReceive},
  };
  for (const auto& [commands, keying] : rows) {
    SCOPED_TRACE(commands);
    KenwoodRadio radio;
    radio.Receive(commands);
    EXPECT_EQ(radio.State().keying, keying);
  }
}

TEST(KenwoodRadioTest, AutoInformationReportsFrequencyAndModeChangesOnlyWhileOn) {
  using Action = std::function<std::string(KenwoodRadio&)>;
  const auto send = [](std::string_view bytes) {
    return Action([bytes](KenwoodRadio& radio) { return radio.Receive(bytes); });
  };
  const std::pair<Action, std::string_view> actions[] = {
      {[](KenwoodRadio& r) { return r.TuneVfo(Vfo::kA, 7'074'000); }, ""},
      {send("MD3;"), ""},
      {send("AI2;"), ""},
      {[](KenwoodRadio& r) { return r.TuneVfo(Vfo::kA, 14'074'000); }, "FA00014074000;"},
      {[](KenwoodRadio& r) { return r.TuneVfo(Vfo::kB, 99'000'000); }, "FB00060000000;"},
      {[](KenwoodRadio& r) { return r.SelectMode(Mode::kUsb, true); }, "MD2;DA1;"},
      {send("FA00014200000;"), "FA00014200000;"},  // a command's change is reported too
      {send("FA00014200000;"), ""},                // no change, no report
      {send("FA;"), "FA00014200000;"},             // a read gets only its answer
      {send("MD1;FB00007000000;"), "MD1;FB00007000000;"},
      {send("AI0;"), ""},
      {[](KenwoodRadio& r) { return r.TuneVfo(Vfo::kA, 7'074'000); }, ""},
      {send("MD3;"), ""},
  };
  KenwoodRadio radio;
  for (std::size_t i = 0; i < std::size(actions); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(actions[i].first(radio), actions[i].second);
  }
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
  // Binary noise between ';' is refused one stretch at a time.
  EXPECT_EQ(radio.Receive(std::string(" \x91\xb6\xdd\xd9U;\0\xff;", 10)), "?;?;");
  // Line ends from a person typing at a terminal are dropped.
  EXPECT_EQ(radio.Receive("ID;\r\n"), "ID021;");
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
