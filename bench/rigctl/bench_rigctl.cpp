// Hamlib's rigctl in one call ("f m v t") through the FT-950 emulation to a
// simulated Kenwood, side by side with rigctl with that radio's own Kenwood
// model straight to the same simulated radio, for every model. Run by hand
// through scripts/bench.sh, never by ctest.
//
// vantorel-nox runs as a process with a Catmux.ini in a temporary folder (App
// 1 on a virtual port, the radio on vantorel-sim's terminal); a second
// vantorel-sim of the same model answers the straight runs. Each figure is
// the median of several runs, the two kinds taking turns. Hamlib's FT-950
// backend waits 50 ms after every command it writes, whatever answers it:
// the runs through the bridge are timed with that pacing and without it
// (post_write_delay=0). Target: without it, through the bridge at most 1.5x
// straight. Exit status 1 when a target is missed.
#include <algorithm>
#include <chrono>
#include <csignal>
#include <iomanip>
#include <iostream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "child_process.h"
#include "temp_folder.h"

namespace {

using namespace std::chrono_literals;
using namespace vantorel::bench;
using vantorel::testing::ChildProcess;

constexpr int kRuns = 7;
constexpr double kTargetRatio = 1.5;
constexpr const char* kCommands[] = {"f", "m", "v", "t"};

struct Model {
  const char* sim;
  const char* hamlib;  // rigctl's model number for the radio
};
constexpr Model kModels[] = {{"ts890", "2041"},   {"ts990", "2039"},  {"ts590", "2031"},
                             {"ts590sg", "2037"}, {"ts2000", "2014"}, {"ts480", "2028"}};

// One rigctl call in seconds; negative when it failed.
double Seconds(std::vector<std::string> argv) {
  for (const char* command : kCommands) {
    argv.emplace_back(command);
  }
  const auto before = Clock::now();
  const vantorel::testing::Finished run = vantorel::testing::RunToEnd(argv, 30s);
  const double seconds = std::chrono::duration<double>(Clock::now() - before).count();
  if (run.status != 0 || !run.errors.empty()) {
    std::cerr << argv[2] << ": " << run.errors << std::endl;
    return -1;
  }
  return seconds;
}

}  // namespace

int main() {
  const std::string rigctl = vantorel::testing::FindProgram("rigctl");
  if (rigctl.empty()) {
    std::cerr << "rigctl is not installed (Debian package libhamlib-utils)" << std::endl;
    return 1;
  }
  std::cout << "rigctl f m v t in one call, median of " << kRuns << " (seconds)\n"
            << "model     bridge  bridge, no FT-950 pacing  straight  ratio (target <= "
            << kTargetRatio << ")\n";
  bool met = true;
  for (const Model& model : kModels) {
    const vantorel::testing::TempFolder folder;
    const std::string behind = (folder.Path() / "radio").string();
    const std::string straight = (folder.Path() / "straight").string();
    const std::string app1 = (folder.Path() / "app1").string();
    ChildProcess radio({VANTOREL_SIM_PROGRAM, "--model", model.sim, "--link", behind});
    ChildProcess straightRadio({VANTOREL_SIM_PROGRAM, "--model", model.sim, "--link", straight});
    radio.ReadLine();
    straightRadio.ReadLine();
    std::string file = vantorel::testing::StationFileText("pty:" + app1, behind);
    file += "True\r\nauto\r\n";  // the FT-950 emulation, the radio learned
    vantorel::testing::WriteFile(folder.Path() / "Catmux.ini", file);
    ChildProcess nox({VANTOREL_NOX_PROGRAM, "--folder", folder.Path().string()});
    if (!nox.WaitForError("The radio speaks as")) {
      std::cerr << "the bridge did not learn the radio:\n" << nox.Errors() << std::endl;
      return 1;
    }
    const std::vector<std::string> ft950{rigctl, "-m", "1028",  "-r",
                                         app1,   "-s", "38400", "--set-conf=serial_handshake=None"};
    std::vector<std::string> unpaced = ft950;
    unpaced.back() += ",post_write_delay=0";
    const std::vector<std::string> kenwood{rigctl,   "-m", model.hamlib, "-r",
                                           straight, "-s", "38400"};
    std::vector<double> paced, bridge, direct;
    for (int run = 0; run < kRuns; ++run) {
      paced.push_back(Seconds(ft950));
      bridge.push_back(Seconds(unpaced));
      direct.push_back(Seconds(kenwood));
    }
    nox.Signal(SIGTERM);
    nox.Wait(30s);
    const double ratio = Median(bridge) / Median(direct);
    const bool failed = std::min({Median(paced), Median(bridge), Median(direct)}) < 0;
    met = met && !failed && ratio <= kTargetRatio;
    std::cout << std::fixed << std::setprecision(3) << std::left << std::setw(10) << model.sim
              << std::setw(8) << Median(paced) << std::setw(26) << Median(bridge) << std::setw(10)
              << Median(direct) << std::setprecision(2) << ratio
              << (failed                  ? " FAILED"
                  : ratio <= kTargetRatio ? " ok"
                                          : " MISSED")
              << std::endl;
  }
  return met ? 0 : 1;
}
