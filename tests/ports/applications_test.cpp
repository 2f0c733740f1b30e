// Every station program at once against one simulated radio inside the real
// station: two Hamlib NET rigctl clients (`rigctl -m 2`) on one rigctld:
// server, Hamlib's FT-950 backend on an ft950 port, Hamlib's TS-2000 backend
// on a kenwood port, and App 1 translated, all at the same time; a kenwood
// program that asks while another's answer is pending; programs that key and
// go away; and Hamlib's own rigctld as the reference for its protocol.
#include <signal.h>

#include <future>
#include <sstream>

#include "station_rig.h"
#include "terminal_client.h"

namespace vantorel::testing {
namespace {

using namespace std::chrono_literals;

class ApplicationsTest : public StationRig {
 protected:
  void SetUp() override {
    if (FindProgram("rigctl").empty() || FindProgram("rigctld").empty()) {
      GTEST_SKIP() << "rigctl or rigctld is not installed (Debian package libhamlib-utils)";
    }
    radio = factory.SimulatedRadio("ts2000");
    station.SetApplications(
        {{"WSJT-X", "rigctld:" + std::to_string(port), station::AppDialect::Rigctld},
         {"Logger", "pty:" + Link("logger"), station::AppDialect::Kenwood},
         {"Panel", "pty:" + Link("panel"), station::AppDialect::Kenwood},
         {"FT-950 client", "pty:" + Link("ft950"), station::AppDialect::Ft950}});
    Start("pty:" + app1Link, "sim:ts2000");
    ASSERT_TRUE(Until([&] { return Notes("The radio speaks as a Kenwood TS-2000") > 0; }));
    for (const auto& app : station.ApplicationsStatus()) {
      ASSERT_EQ(app.state, station::PortState::Open) << app.setup.name << ": " << app.reason;
    }
  }

  [[nodiscard]] std::string Link(const std::string& name) const {
    return (folder.Path() / name).string();
  }
  [[nodiscard]] std::vector<std::string> Rigctl(const std::string& model, const std::string& where,
                                                const std::string& commands) const {
    std::vector<std::string> argv{FindProgram("rigctl"), "-m", model, "-r", where};
    if (model != "2") {
      argv.insert(argv.end(), {"-s", "19200", "--set-conf=post_write_delay=0"});
    }
    std::istringstream words(commands);
    for (std::string word; words >> word;) {
      argv.push_back(word);
    }
    return argv;
  }
  // Programs run to their ends at the same time, while the station runs here.
  std::vector<Finished> RunTogether(const std::vector<std::vector<std::string>>& programs) {
    std::vector<std::future<Finished>> runs;
    for (const auto& argv : programs) {
      runs.push_back(std::async(std::launch::async, [argv] { return RunToEnd(argv, 60s); }));
    }
    Until(
        [&] {
          return std::ranges::all_of(
              runs, [](auto& run) { return run.wait_for(0s) == std::future_status::ready; });
        },
        90s);
    std::vector<Finished> done;
    for (auto& run : runs) {
      done.push_back(run.get());
    }
    return done;
  }
  // What a terminal program got, pumping the station until `ends` answers came.
  std::string Answers(const TerminalClient& client, std::size_t ends) {
    std::string text;
    Until([&] {
      text += client.Available();
      return static_cast<std::size_t>(std::ranges::count(text, ';')) >= ends;
    });
    return text;
  }

  std::shared_ptr<sim::KenwoodRadio> radio;
  const quint16 port = FreePort();
  const std::string server = "127.0.0.1:" + std::to_string(port);
};

TEST_F(ApplicationsTest, EveryProgramReadsAndSetsTheOneRadioAtTheSameTime) {
  TerminalClient app1(app1Link);
  const std::string reads = "f m t v s l AF";
  for (const auto& [set, hertz] : {std::pair{"", "14074000"}, std::pair{"F 7074000", "7074000"}}) {
    SCOPED_TRACE(hertz);
    if (*set != '\0') {
      // Set through the Kenwood backend; every other program reads it next.
      ASSERT_EQ(RunTogether({Rigctl("2014", Link("logger"), set)})[0].status, 0);
    }
    app1.Send("IF;");
    const auto done = RunTogether({Rigctl("2", server, reads), Rigctl("2", server, reads),
                                   Rigctl("2014", Link("panel"), "f m t"),
                                   Rigctl("1028", Link("ft950"), "f m t")});
    for (const Finished& run : done) {
      EXPECT_EQ(run.status, 0) << run.errors;
      EXPECT_EQ(run.output.substr(0, run.output.find('\n')), hertz) << run.output << run.errors;
      EXPECT_NE(run.output.find("USB\n"), std::string::npos) << run.output;
    }
    EXPECT_EQ(done[0].output, done[1].output);
    // App 1 in the FT-950 dialect it was set up for, translated as ever.
    const std::string answer = std::string("IF000") + (*set ? "07074000+" : "14074000+");
    std::string app1Got;
    EXPECT_TRUE(Until([&] {
      app1Got += app1.Available();
      return app1Got.find(answer) != std::string::npos;
    })) << app1Got;
  }
  EXPECT_EQ(radio->State().vfo(sim::Vfo::kA).hertz, 7'074'000);
  EXPECT_TRUE(events.messages.empty()) << events.messages.front();
}

TEST_F(ApplicationsTest, EachKenwoodProgramGetsItsOwnAnswerAndReportsOnlyWhenItAskedForThem) {
  TerminalClient logger(Link("logger"));
  TerminalClient panel(Link("panel"));
  // The second asks while the first's answer is pending: one at a time at
  // the radio, each answer to the one that asked.
  logger.Send("FA;");
  panel.Send("IF;AI;");
  EXPECT_EQ(Answers(logger, 1), "FA00014074000;");
  EXPECT_EQ(Answers(panel, 2), "IF00014074000     +000000000020000000;AI0;");
  // Reports go to the program that switched them on, never to the radio.
  panel.Send("AI2;");
  Until([&] { return station.ApplicationsStatus()[2].messages >= 3; });
  TerminalClient app1(app1Link);
  app1.Send("FA14251300;");
  EXPECT_NE(Answers(panel, 1).find("FA00014251300;"), std::string::npos);
  EXPECT_EQ(logger.Available(), "");
}

TEST_F(ApplicationsTest, AProgramThatKeyedAndWentAwayUnkeysTheRadio) {
  // A NET rigctl client keys and ends without unkeying; then a Kenwood
  // program keys and lets go of its port.
  EXPECT_EQ(RunTogether({Rigctl("2", server, "T 1")})[0].status, 0);
  EXPECT_TRUE(
      Until([&] { return Notes("WSJT-X: 127.0.0.1") >= 2 && !radio->State().Transmitting(); }));
  EXPECT_EQ(Notes("WSJT-X keyed the radio"), 1);
  EXPECT_EQ(Notes("The radio was keyed by WSJT-X, when 127.0.0.1:"), 1);
  {
    TerminalClient logger(Link("logger"));
    logger.Send("TX;");
    EXPECT_TRUE(Until([&] { return radio->State().Transmitting(); }));
    // Every key-down arms the transmit time-out.
    EXPECT_TRUE(station.state().keying.TXOn);
  }
  EXPECT_TRUE(Until([&] { return !radio->State().Transmitting(); }));
  EXPECT_EQ(Notes("Logger keyed the radio"), 1);
  EXPECT_EQ(Notes("The radio was keyed by Logger, when it let go of its port"), 1);
}

// Hamlib's rigctld driving the simulated radio over a pseudo-terminal, and
// the station's server over its own simulated radio of the same model: the
// same commands give the same answers. The passband is left out: rigctld
// gives the TS-2000 description's normal width, the station the one its
// \dump_state announced.
TEST_F(ApplicationsTest, AnswersAsHamlibsRigctldDoes) {
  const std::string simLink = Link("sim");
  ChildProcess sim({VANTOREL_SIM_PROGRAM, "--model", "ts2000", "--link", simLink});
  ASSERT_EQ(sim.ReadLine(), simLink);
  const quint16 referencePort = FreePort();
  ChildProcess reference({FindProgram("rigctld"), "-m", "2014", "-r", simLink, "-s", "38400", "-t",
                          std::to_string(referencePort)});
  const std::string commands =
      "f v s t l AF l RF l SQL l MICGAIN l KEYSPD l STRENGTH \\get_powerstat \\chk_vfo "
      "F 7074000 f M LSB 0 V VFOB v V VFOA S 1 VFOB s S 0 VFOA L AF 0.5 l AF L RFPOWER 0.5 "
      "l RFPOWER L KEYSPD 30 l KEYSPD T 1 t T 0 t";
  std::vector<Finished> answers;
  for (const std::string& where : {"127.0.0.1:" + std::to_string(referencePort), server}) {
    Finished run;
    // rigctld may still be starting: asked again until it listens.
    for (int tries = 0; tries < 50 && run.output.empty(); ++tries) {
      run = RunTogether({Rigctl("2", where, commands)})[0];
    }
    answers.push_back(run);
  }
  EXPECT_EQ(answers[0].output, answers[1].output) << answers[1].errors;
  EXPECT_NE(answers[1].output.find("7074000\n"), std::string::npos);
  sim.Signal(SIGTERM);
}

}  // namespace
}  // namespace vantorel::testing
