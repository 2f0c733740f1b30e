// Hamlib's rigctl as an FT-950 (model 1028), a standard client written by
// others, as App 1 through the FT-950 emulation to each simulated Kenwood
// model inside the station, over a real pseudo-terminal. The station learns
// the model at Start; straight after every set the simulated radio holds it,
// and a read (a whole rigctl run, its open included) leaves the radio as it
// was. A model pinned in the settings wins over the radio's answers. The test
// holds App 1's virtual port open itself, so a rigctl run that ends
// is not App 1 letting go (which would unkey the radio).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "radio_steps.h"
#include "station_rig.h"

namespace vantorel::testing {
namespace {

using S = Shows;
// rigctl's set, then its read and the read's first lines (a number: within
// 0.01), and what the radio holds after the set.
// clang-format off
const RadioStep kSteps[] = {
    {"F 14074000", "f", "14074000", S::kFrequency, "14074000"},
    {"F 7074000", "f", "7074000", S::kFrequency, "7074000"},
    {"M USB 2400", "m", "USB", S::kMode, "2"}, {"M LSB 2400", "m", "LSB", S::kMode, "1"},
    {"M CW 500", "m", "CW", S::kMode, "3"},    {"M CWR 500", "m", "CWR", S::kMode, "7"},
    {"M AM 0", "m", "AM", S::kMode, "5"},      {"M FM 0", "m", "FM", S::kMode, "4"},
    {"M PKTUSB 2400", "m", "PKTUSB", S::kMode, "2d", "ts2000=2 ts480=2"},
    {"M PKTLSB 2400", "m", "PKTLSB", S::kMode, "1d", "ts2000=1 ts480=1"},
    {"M USB 2400", "m", "USB", S::kMode, "2"}, {"V VFOB", "v", "VFOB", S::kVfos, "BB"},
    {"V VFOA", "v", "VFOA", S::kVfos, "AA"},   {"S 1 VFOB", "s", "1\nVFOB", S::kVfos, "AB"},
    {"S 0 VFOA", "s", "0\nVFOA", S::kVfos, "AA"},
    {"T 1", "t", "1", S::kKeyed, "1"},         {"T 0", "t", "0", S::kKeyed, "0"},
    {"L AF 0.5", "l AF", "0.5", S::kLevel, "128", "", sim::Setting::kAfGain},
    {"L RF 0.8", "l RF", "0.8", S::kLevel, "204", "ts480=80", sim::Setting::kRfGain},
    {"L SQL 0.1", "l SQL", "0.1", S::kLevel, "26", "", sim::Setting::kSquelch},
    {"L RFPOWER 0.5", "l RFPOWER", "0.5", S::kLevel, "50", "ts990=100", sim::Setting::kPower},
    {"L MICGAIN 0.5", "l MICGAIN", "0.5", S::kLevel, "50", "", sim::Setting::kMicGain},
    {"L KEYSPD 25", "l KEYSPD", "25", S::kLevel, "25", "", sim::Setting::kKeySpeed},
    {"", "l STRENGTH", "0", S::kNothing, ""},  // S9
};
// clang-format on

class Ft950RigctlTest : public StationRig, public ::testing::WithParamInterface<SimulatedModel> {
 protected:
  void StartWith(const std::string& sim, const std::string& pinned = "auto") {
    rigctl_ = FindProgram("rigctl");
    if (rigctl_.empty()) {
      GTEST_SKIP() << "rigctl is not installed (Debian package libhamlib-utils)";
    }
    radio_ = factory.SimulatedRadio(sim);
    radio_->SetSMeter(radio_->State().model->meterTop == 70 ? 35 : 15);
    station::Options options = station.options();
    options.profile = station::Profile::Emulation;
    options.radioModel = pinned;
    station.SetOptions(options);
    Start("pty:" + app1Link, "sim:" + sim);
    holder_ = ::open(app1Link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(holder_, 0);
    ASSERT_TRUE(Until([&] { return Notes("The radio ") > 0; }));
  }
  void TearDown() override {
    if (holder_ >= 0) {
      ::close(holder_);
    }
  }

  // One rigctl run while the station's event loop runs here, without the
  // FT-950 backend's 50 ms between commands: the bridge has no pause to wait for.
  std::string Rigctl(const std::string& arguments) {
    std::vector<std::string> argv{
        rigctl_,  "-m", "1028",  "-r",
        app1Link, "-s", "38400", "--set-conf=serial_handshake=None,post_write_delay=0"};
    std::istringstream words(arguments);
    for (std::string word; words >> word;) {
      argv.push_back(word);
    }
    const Finished finished = RunPumping(argv);
    // rigctl ends with 0 also when a command failed; it says so on stderr.
    EXPECT_EQ(finished.status, 0) << arguments << ": " << finished.errors;
    EXPECT_EQ(finished.errors, "") << arguments;
    return finished.output;
  }

  std::string rigctl_;
  std::shared_ptr<sim::KenwoodRadio> radio_;
  int holder_ = -1;
};

TEST_P(Ft950RigctlTest, TheRadioHoldsEverySetAndNoReadChangesIt) {
  StartWith(GetParam().sim);
  EXPECT_EQ(Notes("The radio speaks as a Kenwood " + std::string(GetParam().dialect) + " "), 1);
  for (const RadioStep& step : kSteps) {
    SCOPED_TRACE(step.set + " / " + step.read);
    if (!step.set.empty()) {
      EXPECT_EQ(Rigctl(step.set), "");
    }
    EXPECT_EQ(Show(radio_->State(), step), Holds(step, GetParam().sim));
    const sim::RadioState before = radio_->State();
    const std::string output = Rigctl(step.read);
    char* end = nullptr;
    const double number = std::strtod(step.prints.c_str(), &end);
    if (*end == '\0') {
      EXPECT_NEAR(std::strtod(output.c_str(), nullptr), number, 0.01) << output;
    } else {
      EXPECT_EQ(output.substr(0, step.prints.size() + 1), step.prints + "\n");
    }
    EXPECT_TRUE(radio_->State() == before) << "the read changed the radio";
  }
  EXPECT_TRUE(events.messages.empty()) << events.messages.front();
}

INSTANTIATE_TEST_SUITE_P(Models, Ft950RigctlTest, ::testing::ValuesIn(kSimulatedModels),
                         [](const auto& info) { return info.param.sim; });

// Pinned as a TS-2000, a TS-590S gets no data switch: the pin wins.
TEST_F(Ft950RigctlTest, APinnedModelWinsOverWhatTheRadioAnswers) {
  StartWith("ts590", "TS-2000");
  EXPECT_EQ(Notes("taken as a Kenwood TS-2000, as the settings name it"), 1);
  EXPECT_EQ(Rigctl("M PKTUSB 2400 m"), "PKTUSB\n2400\n");
  EXPECT_EQ(radio_->State().vfo(sim::Vfo::kA).dataMode, 0);
  EXPECT_EQ(static_cast<char>(radio_->State().vfo(sim::Vfo::kA).mode), '2');
}

}  // namespace
}  // namespace vantorel::testing
