// Hamlib's rigctl, a Kenwood client written by others, straight to
// vantorel-sim as Hamlib's TS-590S (model 2031), whose identity the simulated
// radio answers.
//
// Every step is a fresh rigctl: Hamlib 4.5.4 keeps the last IF answer for a
// while within one session, so a PTT read right after a PTT set would not reach
// the radio. cache_timeout=0 turns off Hamlib's other caches.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <optional>

#include "child_process.h"
#include "sim/status_answer.h"
#include "temp_folder.h"
#include "terminal_client.h"

namespace vantorel::testing {
namespace {

namespace fs = std::filesystem;

class RigctlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rigctl_ = FindProgram("rigctl");
    if (rigctl_.empty()) {
      GTEST_SKIP() << "rigctl is not installed (Debian package libhamlib-utils)";
    }
    sim_.emplace(std::vector<std::string>{VANTOREL_SIM_PROGRAM, "--link", link_.string()});
    ASSERT_EQ(sim_->ReadLine(), link_.string());
  }

  void TearDown() override {
    if (sim_) {
      sim_->Signal(SIGTERM);
      EXPECT_EQ(sim_->Wait(), 0);
    }
  }

  // rigctl's output; a run that fails, complains or hangs fails the test.
  std::string Rigctl(const std::vector<std::string>& commands) {
    std::vector<std::string> argv{rigctl_,        "-m", "2031",           "-r",
                                  link_.string(), "-C", "cache_timeout=0"};
    argv.insert(argv.end(), commands.begin(), commands.end());
    const Finished run = RunToEnd(argv, std::chrono::seconds(60));
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    return run.output;
  }

  // The first line rigctl prints (the mode, before the passband).
  std::string FirstLine(const std::vector<std::string>& commands) {
    const std::string output = Rigctl(commands);
    return output.substr(0, output.find('\n'));
  }

  // The radio's own status answer, asked over the same line.
  std::string Status() const {
    const TerminalClient client(link_);
    client.Send("IF;");
    return client.ReadAnswers(1);
  }

  const TempFolder folder_;
  const fs::path link_ = folder_.Path() / "radio";
  std::string rigctl_;
  std::optional<ChildProcess> sim_;
};

TEST_F(RigctlTest, SetsAndReadsTheFrequency) {
  EXPECT_EQ(Rigctl({"F", "7074000", "f"}), "7074000\n");
  EXPECT_EQ(Rigctl({"f"}), "7074000\n");
  EXPECT_EQ(Rigctl({"F", "14074000", "f"}), "14074000\n");
  EXPECT_EQ(Status().substr(sim::kStatusFrequency, 11), "00014074000");
}

TEST_F(RigctlTest, SetsAndReadsTheMode) {
  EXPECT_EQ(FirstLine({"M", "LSB", "2400", "m"}), "LSB");
  EXPECT_EQ(FirstLine({"m"}), "LSB");
  EXPECT_EQ(FirstLine({"M", "PKTUSB", "3000"}), "");
  EXPECT_EQ(FirstLine({"m"}), "PKTUSB");
  EXPECT_EQ(FirstLine({"M", "USB", "2400", "m"}), "USB");
  EXPECT_EQ(Status().substr(sim::kStatusMode, 1), "2");
}

TEST_F(RigctlTest, KeysAndUnkeysTheTransmitter) {
  struct Keying {
    std::string set;  // rigctl's PTT value: 1 plain, 2 microphone, 3 data
    std::string_view reads;
  };
  for (const Keying& ptt : {Keying{"1", "1"}, Keying{"0", "0"}, Keying{"2", "1"}, Keying{"0", "0"},
                            Keying{"3", "1"}, Keying{"0", "0"}}) {
    SCOPED_TRACE(ptt.set);
    EXPECT_EQ(Rigctl({"T", ptt.set}), "");
    EXPECT_EQ(Rigctl({"t"}), std::string(ptt.reads) + "\n");
    EXPECT_EQ(Status().substr(sim::kStatusTransmit, 1), ptt.reads);
  }
}

}  // namespace
}  // namespace vantorel::testing
