// vantorel-sim as a user runs it on a pseudo-terminal, stopped by a signal, and
// driven by Hamlib's rigctl (a Kenwood client written by others) behind its
// link as each model, with Hamlib's own backend for that model.
//
// Every rigctl step is a fresh rigctl: Hamlib 4.5.4 keeps the last IF answer
// for a while within one session, so a PTT read right after a PTT set would
// not reach the radio. cache_timeout=0 turns off Hamlib's other caches.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

#include "child_process.h"
#include "temp_folder.h"
#include "terminal_client.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;
using std::chrono_literals::operator""s;

const std::string kProgram = VANTOREL_SIM_PROGRAM;

// Without --link it prints its device path, serves across reopenings and stops
// on an interrupt. (Behind a link, until terminated: ModelRigctlTest below.)
TEST(VantorelSimTest, ServesOnItsDevicePathUntilInterrupted) {
  ChildProcess sim({kProgram});
  const std::string path = sim.ReadLine();
  ASSERT_TRUE(path.starts_with("/dev/pts/")) << path;
  for (int session = 0; session < 2; ++session) {
    const TerminalClient client(path);
    client.Send("MD;FA;");
    EXPECT_EQ(client.ReadAnswers(2), session == 0 ? "MD2;FA00014074000;" : "MD2;FA00007050000;");
    client.Send("FA00007050000;ID;");
    EXPECT_EQ(client.ReadAnswers(1), "ID021;");
  }
  sim.Signal(SIGINT);
  EXPECT_EQ(sim.Wait(), 0);
}

// Its help, version and unknown options: tests/program/command_line_test.cpp.
// (The same refusal through the station's port: tests/ports/pty_port_test.cpp.)
TEST(VantorelSimTest, RefusesALinkInAFilesOrAFoldersPlaceAndLeavesIt) {
  const TempFolder folder;
  const fs::path file = folder.Path() / "notes";
  WriteFile(file, "keep me");
  const fs::path directory = folder.Path() / "folder";
  fs::create_directory(directory);
  for (const fs::path& taken : {file, directory}) {
    const Finished refused = RunToEnd({kProgram, "--link", taken.string()}, 10s);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.errors.find(taken.string()), std::string::npos) << refused.errors;
  }
  EXPECT_EQ(ReadFile(file), "keep me");
  EXPECT_TRUE(fs::is_directory(fs::symlink_status(directory)));
}

// A set, then in a fresh rigctl its read and the first lines it prints;
// `ask`/`answer`: the radio's own read afterwards and its answer.
struct Step {
  std::string set;
  std::string read;
  std::string prints;
  std::string ask = "";
  std::string answer = "";
  std::string setPrints = "";
};

// clang-format off
const Step kSteps[] = {
    {"F 14074000", "f", "14074000", "FA;", "FA00014074000;"},
    {"F 7074000", "f", "7074000", "FA;", "FA00007074000;"},  // below 10 MHz
    {"M USB 0", "m", "USB"}, {"M LSB 0", "m", "LSB"}, {"M CW 0", "m", "CW"},
    {"M CWR 0", "m", "CWR"}, {"M AM 0", "m", "AM"}, {"M FM 0", "m", "FM"},
    {"M PKTUSB 0", "m", "PKTUSB"}, {"M PKTLSB 0", "m", "PKTLSB"}, {"M USB 0", "m", "USB"},
    {"V VFOB", "v", "VFOB"},
    {"V VFOA", "v", "VFOA"}, {"S 1 VFOB", "s", "1\nVFOB"}, {"S 0 VFOA", "s", "0\nVFOA"},
    {"T 1", "t", "1"}, {"T 0", "t", "0"},
    // Hamlib learns the AG form by reading first.
    {"l AF L AF 0.5", "l AF", "0.498039", "", "", "0.392157\n"}, {"L RF 0.8", "l RF", "0.800000"},
    {"L SQL 0.1", "l SQL", "0.098039"}, {"L RFPOWER 0.5", "l RFPOWER", "0.500000"},
    {"L MICGAIN 0.5", "l MICGAIN", "0.500000"}, {"L KEYSPD 25", "l KEYSPD", "25"},
    {"", "l STRENGTH", "S0"},  // the radio hears nothing: the model's S0 reading
};
// clang-format on

// Per model, where a step goes otherwise, by the step's set: "-" Hamlib
// 4.5.4 cannot make the set (the step is left out); "READ=ANSWER" the radio's
// own read after the step and its answer; a leading "!": Hamlib cannot read
// it back, the radio's answer is the check.
struct Model {
  std::string sim;
  std::string hamlib;
  std::string strength;  // what Hamlib's calibration makes of S0
  std::map<std::string, std::string> differs;
};

// clang-format off
const Model kModels[] = {
    {"kenwood", "2031", "-54", {{"L SQL 0.1", "!SQ0;=SQ0025;"}}},  // Hamlib: no SQ read
    {"ts890", "2041", "-54", {{"M PKTUSB 0", "OM0;=OM0D;"}, {"M PKTLSB 0", "OM0;=OM0C;"},
                              {"l AF L AF 0.5", "AG;=AG127;"},
                              {"L MICGAIN 0.5", "-"}}},  // not in Hamlib's TS-890S levels
    // Hamlib names the TS-990S's bands Main and Sub, has no PTT read for it,
    // sends its AF set an unset buffer and its RG without the band's selector.
    {"ts990", "2039", "-54", {{"M PKTUSB 0", "OM0;=OM0D;"},
                              {"V VFOB", "!CB;=CB1;"}, {"V VFOA", "!CB;=CB0;"},
                              {"S 1 VFOB", "!TB;=TB1;"}, {"S 0 VFOA", "!TB;=TB0;"},
                              {"T 1", "!IF;=IF00007074000     +000000000120000000;"},
                              {"T 0", "!IF;=IF00007074000     +000000000020000000;"},
                              {"l AF L AF 0.5", "-"}, {"L RF 0.8", "-"}}},
    {"ts590", "2031", "-54", {{"M PKTUSB 0", "DA;=DA1;"}, {"L SQL 0.1", "!SQ0;=SQ0025;"}}},
    {"ts590sg", "2037", "-60", {{"M PKTLSB 0", "DA;=DA1;"}, {"L SQL 0.1", "!SQ0;=SQ0025;"}}},
    // No data modes: Hamlib sends MDD, the radio refuses it. Hamlib's AG probe
    // lands on the TS-2000's sub receiver.
    {"ts2000", "2014", "-54", {{"M PKTUSB 0", "-"}, {"M PKTLSB 0", "-"}, {"V VFOB", "FR;=FR1;"},
                               {"l AF L AF 0.5", "AG1;=AG1127;"}}},
    {"ts480", "2028", "-60", {{"M PKTUSB 0", "-"}, {"M PKTLSB 0", "-"}, {"M CW 0", "FW;=FW0050;"},
                              {"L RF 0.8", "RG;=RG080;"}}},
};
// clang-format on

void PrintTo(const Model& model, std::ostream* out) { *out << model.sim; }

class ModelRigctlTest : public ::testing::TestWithParam<Model> {
 protected:
  void Start(const std::string& model, std::string hamlibModel) {
    rigctl_ = FindProgram("rigctl");
    if (rigctl_.empty()) {
      GTEST_SKIP() << "rigctl is not installed (Debian package libhamlib-utils)";
    }
    hamlibModel_ = std::move(hamlibModel);
    sim_.emplace(std::vector<std::string>{kProgram, "--model", model, "--link", link_.string()});
    ASSERT_EQ(sim_->ReadLine(), link_.string());
  }

  void TearDown() override {
    if (sim_) {
      sim_->Signal(SIGTERM);
      EXPECT_EQ(sim_->Wait(), 0);
      EXPECT_FALSE(fs::exists(fs::symlink_status(link_))) << "the link goes with it";
    }
  }

  // rigctl's output (it reports most failures there too); a run that fails,
  // complains or hangs fails the test.
  std::string Rigctl(const std::string& commands) {
    std::vector<std::string> argv{rigctl_,        "-m", hamlibModel_,     "-r",
                                  link_.string(), "-C", "cache_timeout=0"};
    std::istringstream words(commands);
    for (std::string word; words >> word;) {
      argv.push_back(word);
    }
    const Finished run = RunToEnd(argv, std::chrono::seconds(60));
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    return run.output;
  }

  const TempFolder folder_;
  const fs::path link_ = folder_.Path() / "radio";
  std::string rigctl_;
  std::string hamlibModel_;
  std::optional<ChildProcess> sim_;
};

TEST_P(ModelRigctlTest, EveryStepReachesTheRadioAndReadsBack) {
  const Model& model = GetParam();
  Start(model.sim, model.hamlib);
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.set + " / " + step.read);
    const auto differs = model.differs.find(step.set);
    const std::string how = differs == model.differs.end() ? "" : differs->second;
    if (how == "-") {
      continue;
    }
    if (!step.set.empty()) {
      EXPECT_EQ(Rigctl(step.set), step.setPrints);
    }
    if (!how.starts_with('!')) {
      const std::string prints = step.prints == "S0" ? model.strength : step.prints;
      EXPECT_EQ(Rigctl(step.read).substr(0, prints.size() + 1), prints + "\n");
    }
    const std::string check =
        how.empty() ? step.ask + "=" + step.answer : how.substr(how[0] == '!');
    const std::size_t equals = check.find('=');
    if (equals > 0) {
      const TerminalClient client(link_);  // the radio's own answer, over the same line
      client.Send(check.substr(0, equals));
      EXPECT_EQ(client.ReadAnswers(1), check.substr(equals + 1));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Models, ModelRigctlTest, ::testing::ValuesIn(kModels),
                         [](const auto& info) { return info.param.sim; });

}  // namespace
}  // namespace vantorel::testing
