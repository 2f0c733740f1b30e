// Hamlib's rigctl, a Kenwood client written by others, as the TS-590S (model
// 2031) through the station in "No Translation" to the simulated radio inside
// it: each step gives what the same step gives straight to vantorel-sim, but
// for a radio keyed by a rigctl that has since let go of its port.
//
// Every step is a fresh rigctl (Hamlib keeps answers for a while within one
// session); it runs on a thread of its own while the station's event loop runs
// here.
#include <gtest/gtest.h>

#include <csignal>
#include <optional>

#include "station_rig.h"

namespace vantorel::testing {
namespace {

using Steps = std::vector<std::vector<std::string>>;

const Steps kSteps = {
    {"F", "7074000", "f"},
    {"f"},
    {"F", "14074000"},
    {"f"},
    {"M", "LSB", "2400", "m"},
    {"m"},
    {"t"},
    {"T", "1"},
    {"t"},
    {"T", "0"},
    {"t"},
};

class RigctlRelayTest : public StationRig {
 protected:
  void SetUp() override {
    rigctl_ = FindProgram("rigctl");
    if (rigctl_.empty()) {
      GTEST_SKIP() << "rigctl is not installed (Debian package libhamlib-utils)";
    }
  }

  // rigctl's output for each step, the radio at `path`.
  std::vector<std::string> Run(const std::string& path) {
    std::vector<std::string> outputs;
    for (const auto& step : kSteps) {
      std::vector<std::string> argv{rigctl_, "-m", "2031", "-r", path, "-C", "cache_timeout=0"};
      argv.insert(argv.end(), step.begin(), step.end());
      const Finished finished = RunPumping(argv);
      EXPECT_EQ(finished.status, 0) << step[0] << ": " << finished.errors;
      outputs.push_back(finished.output);
    }
    return outputs;
  }

  std::vector<std::string> Straight() {
    const std::string link = (folder.Path() / "sim").string();
    ChildProcess sim({VANTOREL_SIM_PROGRAM, "--link", link});
    EXPECT_EQ(sim.ReadLine(), link);
    std::vector<std::string> outputs = Run(link);
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0);
    return outputs;
  }

  std::string rigctl_;
};

TEST_F(RigctlRelayTest, ThroughAPtyPortOrAListeningPortRigctlGetsWhatItGetsStraight) {
  const std::vector<std::string> straight = Straight();
  EXPECT_EQ(straight[1], "7074000\n");
  EXPECT_EQ(straight[8], "1\n");
  // The rigctl that keyed the radio let go of its port: the station unkeyed it.
  std::vector<std::string> relayed = straight;
  relayed[8] = "0\n";
  NoTranslation();
  const std::string address = "127.0.0.1:" + std::to_string(FreePort());
  for (const auto& [app1, path] :
       {std::pair{"pty:" + app1Link, app1Link}, std::pair{"tcp-listen:" + address, address}}) {
    SCOPED_TRACE(app1);
    Start(app1, "sim:kenwood");
    EXPECT_EQ(Run(path), relayed);
    EXPECT_EQ(factory.SimulatedRadio()->State().vfo(sim::Vfo::kA).hertz, 14'074'000U);
    station.ClosePorts();
  }
}

}  // namespace
}  // namespace vantorel::testing
