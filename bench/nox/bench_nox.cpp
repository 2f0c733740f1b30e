// vantorel-nox's own cost as a service: the time from its start to its ports
// being open, its resident memory then, and the CPU it takes while idle with
// its ports open (the transmit supervision ticking once a second). Run by hand
// through scripts/bench.sh, never by ctest.
//
// The program runs as a process with a Catmux.ini in a temporary folder;
// this process plays App 1 and the radio on pseudo-terminals. The ports are
// open when the radio hears "AI1;", the first thing the bridge sends.
// Targets: start to ports open under 100 ms (median of several starts),
// resident memory under 15 MB, idle CPU under 0.2% of a core. Exit status 1
// when a target is missed.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "pty_pair.h"
#include "temp_folder.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vantorel::testing::ChildProcess;
using vantorel::testing::CpuMilliseconds;
using vantorel::testing::PtyPair;

constexpr int kStarts = 15;
constexpr auto kIdleTime = 20s;
constexpr double kStartTargetMs = 100;
constexpr double kMemoryTargetMb = 15;
constexpr double kIdleTargetPercent = 0.2;

// Resident memory in MB, from /proc/<pid>/status.
double ResidentMb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) {
      std::istringstream fields(line.substr(6));
      double kb = 0;
      fields >> kb;
      return kb / 1024;
    }
  }
  return -1;
}

bool Report(const std::string& what, double value, const std::string& unit, double target) {
  const bool met = value < target;
  std::cout << what << ": " << value << " " << unit << " (target: under " << target << " " << unit
            << ") " << (met ? "ok" : "MISSED") << std::endl;
  return met;
}

}  // namespace

int main() {
  vantorel::testing::TempFolder folder;
  PtyPair app1End;
  PtyPair app2End;
  PtyPair radioEnd;
  // All three ports: App 2 shares the radio with App 1.
  vantorel::testing::WriteFile(folder.Path() / "Catmux.ini",
                               vantorel::testing::StationFileText(app1End.Path(), radioEnd.Path(),
                                                                  {.app2 = app2End.Path()}));
  const std::vector<std::string> argv{VANTOREL_NOX_PROGRAM, "--folder", folder.Path().string()};
  const auto noPump = [] {};

  std::vector<double> startMs;
  for (int i = 0; i < kStarts; ++i) {
    const auto before = Clock::now();
    ChildProcess nox(argv);
    const std::string heard = radioEnd.Read(4, noPump, 10s);
    const auto after = Clock::now();
    if (heard != "AI1;") {
      std::cerr << "the bridge did not open its ports:\n" << nox.Errors() << std::endl;
      return 1;
    }
    startMs.push_back(std::chrono::duration<double, std::milli>(after - before).count());
    nox.Signal(SIGTERM);
    nox.Wait(30s);
  }
  std::sort(startMs.begin(), startMs.end());

  ChildProcess nox(argv);
  if (radioEnd.Read(4, noPump, 10s) != "AI1;") {
    std::cerr << "the bridge did not open its ports:\n" << nox.Errors() << std::endl;
    return 1;
  }
  std::this_thread::sleep_for(1s);  // settled after the start
  const double residentMb = ResidentMb(nox.Pid());
  const double cpuBefore = CpuMilliseconds(nox.Pid());
  std::this_thread::sleep_for(kIdleTime);
  const double cpuAfter = CpuMilliseconds(nox.Pid());
  const double idlePercent =
      (cpuAfter - cpuBefore) / std::chrono::duration<double, std::milli>(kIdleTime).count() * 100;
  nox.Signal(SIGTERM);
  nox.Wait(30s);

  std::cout << "vantorel-nox with App 1's, App 2's and the radio's port open\n";
  bool met = Report("start to ports open, median of " + std::to_string(kStarts),
                    startMs[kStarts / 2], "ms", kStartTargetMs);
  std::cout << "  (fastest " << startMs.front() << " ms, slowest " << startMs.back() << " ms)\n";
  met = Report("resident memory after start", residentMb, "MB", kMemoryTargetMb) && met;
  met = Report("idle CPU over " + std::to_string(kIdleTime.count()) + " s", idlePercent,
               "% of a core", kIdleTargetPercent) &&
        met;
  return met ? 0 : 1;
}
