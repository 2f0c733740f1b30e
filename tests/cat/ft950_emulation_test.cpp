// The FT-950 emulation in front of every simulated Kenwood model (the
// simulator's own tables, not the emulation's): each setting App 1 makes
// reaches the radio in that model's form and the radio holds it, every read
// is answered at once from the radio's answers and changes nothing there, and
// the radio is learned from its answers. Then the emulation's own rules on the
// default radio: refusals, App 1's choices, meters, keying, order, expiry.
#include "cat/ft950_emulation.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "cat/radio_learning.h"
#include "radio_steps.h"
#include "recording_ports.h"
#include "sim/kenwood_radio.h"

namespace vantorel::cat {
namespace {

using std::chrono::milliseconds;

// Cuts a text into its ";"-ended pieces.
std::vector<std::string> Pieces(std::string_view text) {
  std::vector<std::string> pieces;
  for (auto end = text.find(';'); end != std::string_view::npos; end = text.find(';')) {
    pieces.emplace_back(text.substr(0, end + 1));
    text.remove_prefix(end + 1);
  }
  return pieces;
}

// App 1's commands through the emulation to a simulated radio, whose replies
// come straight back, message by message: no time passes, so a read not
// answered by then would have stalled.
struct Chain {
  explicit Chain(const vantorel::testing::SimulatedModel& model)
      : radio(*sim::FindModel(model.sim)), emulation(*FindRadioDialect(model.dialect)) {}

  std::string Send(std::string_view app1) {
    emulation.Take(app1);
    std::string got;
    while (const auto command = emulation.NextCommand()) {
      const CommandResult out = emulation.Command(*command, ctx);
      got += out.toApp;
      notes += out.note;
      for (const std::string& sent : Pieces(out.toRadio)) {
        const std::string reply = radio.Receive(sent);
        refusals += reply == "?;" ? 1 : 0;
        unanswered += reply.empty() ? 1 : 0;  // a setting, to the radio
        for (const std::string& piece : Pieces(reply)) {
          got += emulation.Answer(piece, ctx);
        }
      }
    }
    return got;
  }

  sim::KenwoodRadio radio;
  KeyingState keying;
  testing::RecordingPorts ports;
  DialectContext ctx{.keying = keying, .ports = ports, .now = {}};
  Ft950Emulation emulation;
  std::string notes;
  int refusals = 0;
  int unanswered = 0;
};

using vantorel::testing::RadioStep;
using S = vantorel::testing::Shows;
using Set = sim::Setting;
// App 1's setting, its read and the answer App 1 gets, and what the radio holds.
// clang-format off
const RadioStep kSteps[] = {
    {"FA14074000;", "FA;", "FA14074000;", S::kFrequency, "14074000"},
    {"FA7074000;", "FA;", "FA07074000;", S::kFrequency, "7074000"},  // Hamlib's unpadded form
    {"FA00014074000;", "FA;", "FA14074000;", S::kFrequency, "14074000"},
    {"MD01;", "MD0;", "MD01;", S::kMode, "1"}, {"MD03;", "MD0;", "MD03;", S::kMode, "3"},
    {"MD07;", "MD0;", "MD07;", S::kMode, "7"}, {"MD05;", "MD0;", "MD05;", S::kMode, "5"},
    {"MD0B;", "MD0;", "MD0B;", S::kMode, "4"}, {"MD06;", "MD0;", "MD06;", S::kMode, "6"},
    {"MD09;", "MD0;", "MD09;", S::kMode, "9"},
    // Data modes: the nearest mode where the radio has none, App 1 keeps its own.
    {"MD08;", "MD0;", "MD08;", S::kMode, "1d", "ts2000=1 ts480=1"},
    {"MD0A;", "MD0;", "MD0A;", S::kMode, "4d", "ts2000=4 ts480=4"},
    {"MD0C;", "MD0;", "MD0C;", S::kMode, "2d", "ts2000=2 ts480=2"},
    {"MD02;", "MD0;", "MD02;", S::kMode, "2"}, {"SH013;", "SH0;", "SH013;", S::kWidth, "2400"},
    {"SH005;", "SH0;", "SH005;", S::kWidth, "1100", "kenwood=2400"},  // its filters as digits
    {"MD03;SH009;", "SH0;", "SH009;", S::kWidth, "1000", "kenwood=500"},
    {"SH007;", "SH0;", "SH007;", S::kWidth, "500"},
    {"SH000;NA01;", "SH0;", "SH000;", S::kWidth, "300", "kenwood=500"},
    {"VS1;", "VS;", "VS1;", S::kVfos, "BB"}, {"MD05;", "MD0;", "MD05;", S::kMode, "5"},  // on B
    {"VS0;", "VS;", "VS0;", S::kVfos, "AA"}, {"FT3;", "FT;", "FT1;", S::kVfos, "AB"},
    {"VS1;", "VS;", "VS1;", S::kVfos, "BA"},  // App 1's split stays a split
    {"VS0;", "FT;", "FT1;", S::kVfos, "AB"}, {"FT2;", "FT;", "FT0;", S::kVfos, "AA"},
    {"TX1;", "TX;", "TX3;", S::kKeyed, "1"}, {"TX0;", "TX;", "TX0;", S::kKeyed, "0"},
    {"AG0128;", "AG0;", "AG0128;", S::kLevel, "128", "", Set::kAfGain},
    {"RG0204;", "RG0;", "RG0204;", S::kLevel, "204", "ts480=80", Set::kRfGain},
    {"SQ0025;", "SQ0;", "SQ0025;", S::kLevel, "25", "", Set::kSquelch},
    {"PC050;", "PC;", "PC050;", S::kLevel, "50", "ts990=100", Set::kPower},
    {"MG127;", "MG;", "MG127;", S::kLevel, "50", "", Set::kMicGain},
    {"KS025;", "KS;", "KS025;", S::kLevel, "25", "", Set::kKeySpeed},
    {"KS004;", "KS;", "KS004;", S::kLevel, "4", "ts2000=10 ts480=10", Set::kKeySpeed},
    {"GT01;", "GT0;", "GT01;", S::kLevel, "5", "ts890=3 ts990=3 ts480=1", Set::kAgc},
    {"GT03;", "GT0;", "GT03;", S::kLevel, "20", "ts890=1 ts990=1 ts480=2", Set::kAgc},
    {"GT04;", "GT0;", "GT05;", S::kLevel, "10", "ts890=2 ts990=2 ts480=2", Set::kAgc},
    {"RT1;", "RT;", "RT1;", S::kLevel, "1", "", Set::kRit},
    {"RU0100;", "IF;", "IF00114074000+010010300000;", S::kClarifier, "100"},
    {"RC;", "IF;", "IF00114074000+000010300000;", S::kClarifier, "0"},
    {"RT0;", "PS;", "PS1;", S::kLevel, "0", "", Set::kRit},
    {"", "SM0;", "SM0130;", S::kNothing, ""},  // the radio's S9 on its own scale
    {"", "RM6;", "RM6000;", S::kNothing, ""}, {"", "ID;", "ID0310;", S::kNothing, ""},
};
// clang-format on

class ModelChain : public ::testing::TestWithParam<vantorel::testing::SimulatedModel> {
 protected:
  void SetUp() override {
    chain.radio.SetSMeter(chain.radio.State().model->meterTop == 70 ? 35 : 15);
  }
  Chain chain{GetParam()};
};

// Each setting reaches the radio in its model's form and the radio holds it;
// no read changes the radio.
TEST_P(ModelChain, TheRadioHoldsEverySettingAndNoReadChangesIt) {
  for (const RadioStep& step : kSteps) {
    SCOPED_TRACE(step.set + step.read);
    chain.Send(step.set);
    EXPECT_EQ(chain.refusals, 0) << "the radio took every setting in its own form";
    EXPECT_EQ(Show(chain.radio.State(), step), Holds(step, GetParam().sim));
    const sim::RadioState before = chain.radio.State();
    chain.unanswered = 0;
    EXPECT_EQ(chain.Send(step.read), step.prints);
    EXPECT_FALSE(chain.emulation.WaitingForRadio());
    EXPECT_EQ(chain.unanswered, 0) << "every command a read sends is a read";
    EXPECT_TRUE(chain.radio.State() == before) << "a read changed the radio";
  }
  // A radio without transmit meters: noted once, never asked.
  EXPECT_EQ(chain.Send("RM6;"), "RM6000;");
  const bool hasMeters = chain.emulation.Radio().Reads(RadioKey::kSwrMeter);
  EXPECT_EQ(chain.notes.find("has no read for App 1's RM6;") != std::string::npos, !hasMeters);
  EXPECT_EQ(chain.notes.find("RM6;"), chain.notes.rfind("RM6;"));
  // The radio's filter changed behind App 1's back: App 1 reads what it has.
  chain.Send("MD03;SH009;");
  chain.radio.Receive(ft950::FilterSetting(chain.emulation.Radio(), FilterClass::kCw, 300));
  EXPECT_EQ(chain.Send("SH0;"), "SH005;");
  // Every read App 1 has, received and transmitting: answered at once, never
  // "?;", by radio reads only, the radio unchanged.
  const std::string reads =
      "FA;FB;IF;MD0;VS;FR;FT;PS;RT;XT;PC;AG0;RG0;SQ0;KS;MG;GT0;SM0;RM3;RM4;RM5;RM6;SH0;NA0;RF0;"
      "TX;MX;ID;AI;EX027;KP;MS;";
  for (const std::string setup : {"MD02;", "MD03;TX1;"}) {
    chain.Send(setup);
    for (const std::string& read : Pieces(reads)) {
      const sim::RadioState before = chain.radio.State();
      chain.unanswered = 0;
      const std::string answer = chain.Send(read);
      EXPECT_TRUE(answer.size() > 2 && Pieces(answer).size() == 1) << setup << read << answer;
      EXPECT_EQ(chain.unanswered + chain.refusals, 0) << setup << read;
      EXPECT_TRUE(chain.radio.State() == before) << setup << read;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Models, ModelChain,
                         ::testing::ValuesIn(vantorel::testing::kSimulatedModels),
                         [](const auto& info) { return info.param.sim; });

// Programs answer identities that are not their grammar's: the grammar wins,
// the identity chooses only among equals; a report in between is left alone;
// a silent radio stays as it was. (Each simulated model is learned as itself
// through the station: tests/ports/ft950_rigctl_test.cpp.)
TEST(RadioLearning, TheGrammarWinsOverTheIdentity) {
  const std::pair<std::string, std::string_view> rows[] = {
      {"ID024;?;DA0;?;", "TS-590S"},    {"ID023;?;DA0;?;", "TS-590SG"},
      {"ID019;?;?;?;", "TS-480"},       {"ID020;?;?;SM10000;", "TS-2000"},
      {"ID024;OM02;DA0;?;", "TS-890S"}, {"ID021;FA00014074000;?;DA1;?;", "TS-590S"},
  };
  for (const auto& [answers, learned] : rows) {
    RadioLearning learning;
    learning.Start(*FindRadioDialect("TS-990S"), {});
    for (const std::string& piece : Pieces(answers)) {
      EXPECT_EQ(learning.Take(piece), piece[0] != 'F') << answers;
    }
    EXPECT_EQ(learning.Learned().name, learned) << answers;
  }
  RadioLearning silent;
  silent.Start(*FindRadioDialect("TS-890S"), {});
  EXPECT_FALSE(silent.Expire(Clock::time_point{} + milliseconds(499)));
  EXPECT_TRUE(silent.Expire(Clock::time_point{} + RadioLearning::kAnswerLimit));
  EXPECT_EQ(silent.Learned().name, "TS-890S");
  EXPECT_NE(silent.Summary().find("did not answer"), std::string::npos);
}

// --- the emulation's own rules, on the default radio ----------------------------

class Ft950EmulationTest : public ::testing::Test {
 protected:
  CommandResult Send(std::string_view command) {
    ctx.now = now;
    return emulation.Command(command, ctx);
  }
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

  Ft950Emulation emulation{DefaultRadioDialect()};
  KeyingState keying;
  testing::RecordingPorts ports;
  DialectContext ctx{.keying = keying, .ports = ports, .now = {}};
  Clock::time_point now{};
};

// What an FT-950 refuses, what it keeps itself, and how App 1's choices and
// the radio's numbers meet.
TEST_F(Ft950EmulationTest, Rows) {
  // clang-format off
  ExpectRows({
      {"FA00029999;", "", "", "?;"}, {"FA123456789012;", "", "", "?;"},  // too low, twelve digits
      {"FA;", "FA;", "FA00144000000;", "?;"}, {"FA;", "FA;", "FA123;", "?;"},  // no FT-950 form
      {"FT1;", "", "", "?;"}, {"VS2;", "", "", "?;"}, {"OI;", "", "", "?;"}, {"VM;", "", "", "?;"},
      // A memory channel, a negative clarifier, RIT on, CTCSS, data on; then
      // the sign one column early, as some programs put it, and no sign at all.
      {"IF;", "IF;DA;", "IF00007100000     -012310012022002000;DA1;", "IF01207100000-012310C11000;"},
      {"IF;", "IF;DA;", "IF00014074000    +0010000000020000000;DA0;", "IF00114074000+010000200000;"},
      {"IF;", "IF;DA;", "IF00014074000      000000000020000000;DA0;", "IF00114074000+000000200000;"},  // blank: +
      // FM-N: App 1's choice while the radio holds it, and not once it left it;
      // tune reads as the last mode App 1 was told.
      {"MD0B;", "MD4;DA0;"}, {"MD0;", "MD;DA;", "MD4;DA0;", "MD0B;"},
      {"MD0;", "MD;DA;", "MD2;DA0;", "MD02;"}, {"MD0;", "MD;DA;", "MD4;DA0;", "MD04;"},
      {"MD0;", "MD;DA;", "MD8;DA0;", "MD04;"}, {"MD0E;", "", "", "?;"}, {"MD;", "", "", "?;"},
      {"SH0;", "", "", "?;"}, {"RF0;", "", "", "RF04;"}, {"RF04;", "", "", "?;"},  // FM: no width
      {"MD03;", "MD3;"}, {"SH014;", "", "", "?;"}, {"PC000;", "PC005;"}, {"PC101;", "", "", "?;"},
      {"AG0256;", "", "", "?;"}, {"AG;", "", "", "?;"}, {"KS003;", "", "", "?;"},
      // 101 steps of microphone gain: App 1's own value while the radio holds it.
      {"MG127;", "MG050;"}, {"MG;", "MG;", "MG050;", "MG127;"}, {"MG;", "MG;", "MG051;", "MG130;"},
      {"GT0;", "GT;", "GT15;", "GT03;"}, {"GT05;", "", "", "?;"},
      {"SM0;", "SM0;", "SM00007;", "SM0048;"}, {"RM6;", "RM;", "RM10006;RM20000;RM30000;", "RM6065;"},
      {"RM3;", "RM;", "RM10000;RM20010;RM30000;", "RM3085;"}, {"RM5;", "", "", "RM5000;"},
      {"RM7;", "", "", "?;"}, {"AI;", "", "", "AI0;"}, {"AI2;", "", "", "?;"}, {"EX0271;", ""},
      {"EX027;", "", "", "EX0271;"}, {"EX028;", "", "", "?;"}, {"KP06;", ""}, {"KP;", "", "", "KP06;"},
      {"MS6;", "", "", "?;"}, {"BS03;", ""}, {"BS13;", "", "", "?;"}, {"RU100;", "", "", "?;"},
      {"PS1;", ""},  // the Power On/Off box is ticked
      {";", ""}, {" FA;", "FA;", "FA00014074000;", "FA14074000;"}, {"\xff\x01;", "", "", "?;"},
      {"FA;FB", "FA;", "FA00014074000;", "FA14074000;"},  // the rest waits for its ";"
      // Only transmit keys the radio, un-keying is always its receive, and the
      // transmit reads (answered as the keying stands) never reach it.
      {"TX;", "", "", "TX0;"}, {"TX0;", "RX;"}, {"tx1;", "TX1;"}, {"TX;", "", "", "TX3;"},
      {"MX;", "", "", "MX1;"}, {"SM0;", "", "", "SM0000;"}, {"RM5;", "SM0;", "SM00030;", "RM5208;"},
      {"TX2;", "", "", "?;"}, {"TX0;TX;", "RX;", "", "TX0;"}, {"MX1;", "TX1;"}, {"MX0;", "RX;"},
      {"TX1;TX;", "TX1;", "", "TX3;"}, {"TX0;", "RX;"},
  });
  // clang-format on
  EXPECT_FALSE(keying.radioKeyed || keying.TXOn);
  EXPECT_EQ(Hear("garbage;XY12;;\x01;"), "");
  ctx.powerControl = Check::Clear;
  ExpectRows({{"PS1;", "PS1;"}});
  // Another radio: App 1's settings kept here stay.
  emulation.FollowRadio(*FindRadioDialect("TS-890S"));
  ExpectRows({{"KP;", "", "", "KP06;"}, {"AG0;", "AG;", "AG100;", "AG0100;"}});
}

// Answers leave in App 1's order; an answer known here waits behind an
// earlier read, and a radio report in between is not taken for an answer.
// The radio's "?;" goes to its oldest command still unanswered.
TEST_F(Ft950EmulationTest, OrderReportsAndRefusals) {
  EXPECT_EQ(Send("FA;").toApp, "");
  EXPECT_EQ(Send("ID;").toApp, "");
  EXPECT_EQ(Send("MD0;").toRadio, "MD;DA;");
  EXPECT_EQ(Hear("MD1;IF00014074000     +000000000010000000;"), "");
  EXPECT_EQ(Hear("FA00014074000;"), "FA14074000;ID0310;");
  EXPECT_EQ(Hear("DA0;"), "MD01;");  // the report's MD1 was taken: the same letters
  EXPECT_FALSE(emulation.WaitingForRadio());

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

  // Reports reach App 1 only while it asked for them.
  const std::string reports = "FA00007100000;DA0;PC050;MD2;DA1;FR1;";
  EXPECT_EQ(Hear(reports), "");
  Send("AI1;");
  EXPECT_EQ(Hear(reports), "FA07100000;MD02;MD02;MD0C;VS1;");
}

TEST_F(Ft950EmulationTest, UnansweredReadsExpireAndResetForgetsThem) {
  Send("FA;");
  Send("ID;");
  now += milliseconds(999);
  EXPECT_EQ(emulation.Overdue(now), "");
  now += milliseconds(1);
  EXPECT_EQ(emulation.Overdue(now), "?;ID0310;");
  EXPECT_EQ(Hear("FA00014074000;"), "");  // too late: no read waits for it
  Send("FB;");
  emulation.Reset();
  EXPECT_FALSE(emulation.WaitingForRadio());
  EXPECT_EQ(Hear("FB00014074000;"), "");
  EXPECT_EQ(Send("ID;").toApp, "ID0310;");
}

}  // namespace
}  // namespace vantorel::cat
