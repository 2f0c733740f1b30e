// Both programs as a user's programs meet them: the window (on the offscreen
// platform) and vantorel-nox run as processes with a Catmux.ini of their own,
// App 1 and the radio on pseudo-terminals opened by path, and socat relaying
// between two more pairs in the same run as the reference. This process plays
// the applications and the radios. Figures:
//   - direct mode ("No Translation"), an 11-character command App 1 -> radio
//     and a 14-character answer radio -> App 1: median of many trips, taken in
//     turn through each program and socat (target: at most 1.1x socat);
//   - translating: App 1's command in to the Kenwood command out, minus the
//     10 ms pause the radio needs (target: at most 0.3 ms);
//   - a burst of radio answers translated to App 1, every one checked
//     (target: at least 100,000 a second, none lost, none wrong); socat's
//     relay of the same burst beside;
//   - CPU with App 1's, App 2's and the radio's port open and nothing to do
//     (target: under 0.2% of a core).
// Run by hand through scripts/bench.sh, never by ctest. Exit status 1 when a
// target is missed.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "child_process.h"
#include "pty_pair.h"
#include "temp_folder.h"

extern "C" char** environ;

namespace {

using namespace std::chrono_literals;
using namespace vantorel::bench;
using vantorel::testing::CpuMilliseconds;
using vantorel::testing::PtyPair;

constexpr auto kRadioPause = 10ms;
constexpr int kLatencySamples = 1000;
constexpr int kTranslatingSamples = 200;
constexpr long kBurst = 2000;
constexpr int kBursts = 5;
constexpr auto kIdleTime = 10s;
constexpr auto kWindowLoadEnd = 3s;

// A program this one started, its output in a file, ended by its id.
class Process {
 public:
  Process(std::vector<std::string> args, const std::filesystem::path& output) {
    std::vector<char*> argv;
    for (auto& arg : args) {
      argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int failed = posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
      throw std::runtime_error("cannot start " + args[0]);
    }
  }
  ~Process() {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  [[nodiscard]] pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

// One relay under measurement: its App 1 end and its radio end.
struct Relay {
  std::string name;
  PtyPair app1;
  PtyPair radio;
  PtyPair app2;  // App 2's port, open in the idle measurement only
  std::unique_ptr<vantorel::testing::TempFolder> folder;
  std::unique_ptr<Process> process;
};

enum class Program { Window, Nox, Socat };

struct Setup {
  bool noTranslation = false;
  bool withApp2 = false;
};

// The programs built with this bench, or others named by
// VANTOREL_BENCH_WINDOW and VANTOREL_BENCH_NOX (an earlier build, to compare).
std::string ProgramPath(bool window) {
  const char* other = std::getenv(window ? "VANTOREL_BENCH_WINDOW" : "VANTOREL_BENCH_NOX");
  if (other != nullptr && *other != '\0') {
    return other;
  }
  return window ? VANTOREL_WINDOW_PROGRAM : VANTOREL_NOX_PROGRAM;
}

void Start(Relay& relay, Program program, const Setup& setup) {
  relay.folder = std::make_unique<vantorel::testing::TempFolder>();
  const std::filesystem::path folder = relay.folder->Path();
  const std::filesystem::path output = folder / "output.txt";
  if (program == Program::Socat) {
    relay.name = "socat";
    relay.process = std::make_unique<Process>(
        std::vector<std::string>{"socat", "FILE:" + relay.app1.Path() + ",raw,echo=0",
                                 "FILE:" + relay.radio.Path() + ",raw,echo=0"},
        output);
    const auto deadline = Clock::now() + 5s;
    while (Clock::now() < deadline) {
      relay.app1.Write("P;");
      if (relay.radio.Read(2, kNoPump, 100ms) == "P;") {
        return;
      }
    }
    throw std::runtime_error("socat relays nothing");
  }
  vantorel::testing::WriteFile(
      folder / "Catmux.ini",
      vantorel::testing::StationFileText(
          relay.app1.Path(), relay.radio.Path(),
          {.app2 = setup.withApp2 ? relay.app2.Path() : "", .noTranslation = setup.noTranslation}));
  const bool window = program == Program::Window;
  relay.name = window ? "window" : "vantorel-nox";
  relay.process = std::make_unique<Process>(
      std::vector<std::string>{ProgramPath(window), "--folder", folder.string()}, output);
  // The ports are open once auto-information reaches the radio.
  if (relay.radio.Read(4, kNoPump, 10s) != "AI1;") {
    throw std::runtime_error(relay.name + " did not open its ports:\n" +
                             vantorel::testing::ReadFile(output));
  }
  // The window's load ends with Start's pause (2 s after the radio hears
  // AI1;), and only then does it show and paint: measured once it is up.
  if (window) {
    std::this_thread::sleep_for(kWindowLoadEnd);
  }
}

// The window, vantorel-nox and socat side by side, each between its own App 1
// and radio; socat relays untranslated whatever the setup.
struct Relays {
  explicit Relays(const Setup& setup) {
    Start(window, Program::Window, setup);
    Start(nox, Program::Nox, setup);
    Start(socat, Program::Socat, {});
  }
  [[nodiscard]] std::array<const Relay*, 3> All() const { return {&window, &nox, &socat}; }

  Relay window;
  Relay nox;
  Relay socat;
};

// A write at one end, the whole expected text at the other; `after` collects
// what else comes (App 1's echoes) so the next trip starts on a quiet relay.
struct Trip {
  const PtyPair* from;
  const PtyPair* to;
  std::string send;
  std::string expect;
  std::string afterText;  // also expected at `from` afterwards
};

double TimeTrip(const Trip& trip) {
  const auto start = Clock::now();
  trip.from->Write(trip.send);
  const std::string got = trip.to->Read(trip.expect.size(), kNoPump, 2s);
  const auto took = Clock::now() - start;
  if (got != trip.expect) {
    throw std::runtime_error("relayed \"" + got + "\" for \"" + trip.send + "\"");
  }
  if (!trip.afterText.empty() &&
      trip.from->Read(trip.afterText.size(), kNoPump, 2s) != trip.afterText) {
    throw std::runtime_error("App 1 missed \"" + trip.afterText + "\"");
  }
  std::this_thread::sleep_for(500us);
  return Micros(took);
}

// The median time of each trip, the trips taken in turn.
std::vector<double> Medians(const std::vector<Trip>& trips, int samples) {
  std::vector<double> medians;
  for (auto& times :
       SamplesInTurn(trips.size(), samples, [&](std::size_t t) { return TimeTrip(trips[t]); })) {
    medians.push_back(Median(std::move(times)));
  }
  return medians;
}

struct BurstResult {
  double perSecond = 0;
  long lost = 0;
  long wrong = 0;
};

std::string Answer(long n, bool kenwood) {
  char text[32];
  std::snprintf(text, sizeof text, kenwood ? "FA000%08ld;" : "FA%08ld;", n);
  return text;
}

// kBurst radio answers written as fast as the radio's line takes them, read
// at App 1's end meanwhile and checked one by one: answers a second from the
// first written to the last read.
BurstResult Burst(const Relay& relay, long first, bool translated) {
  std::string toSend;
  std::string expected;
  for (long n = first; n < first + kBurst; ++n) {
    toSend += Answer(n, true);
    expected += Answer(n, !translated);
  }
  std::string got;
  std::string_view rest = toSend;
  const auto start = Clock::now();
  auto lastProgress = start;
  while (got.size() < expected.size() && Clock::now() - lastProgress < 2s) {
    if (!rest.empty()) {
      // Never blocks: what the line does not take now goes next time round.
      const auto chunk = rest.substr(0, 1024);
      relay.radio.Write(chunk);
      rest.remove_prefix(chunk.size());
    }
    std::string now = relay.app1.ReadAvailable();
    if (now.empty() && rest.empty()) {
      now = relay.app1.Read(1, kNoPump, 2ms);
    }
    if (!now.empty()) {
      got += now;
      lastProgress = Clock::now();
    }
  }
  const double seconds = std::chrono::duration<double>(lastProgress - start).count();
  BurstResult result;
  const std::size_t size = expected.size() / kBurst;
  for (long i = 0; i < kBurst; ++i) {
    const std::size_t at = static_cast<std::size_t>(i) * size;
    if (at + size > got.size()) {
      ++result.lost;
    } else if (got.compare(at, size, expected, at, size) != 0) {
      ++result.wrong;
    }
  }
  result.perSecond = static_cast<double>(kBurst - result.lost) / seconds;
  return result;
}

// The share of the machine's CPU time that went to work over `span`.
double BusyShare(std::chrono::milliseconds span) {
  const auto sample = [] {
    std::ifstream stat("/proc/stat");
    std::string cpu;
    double total = 0;
    double idle = 0;
    stat >> cpu;
    for (int field = 0; field < 8; ++field) {
      double value = 0;
      stat >> value;
      total += value;
      if (field == 3 || field == 4) {  // idle, waiting for I/O
        idle += value;
      }
    }
    return std::pair{total, idle};
  };
  const auto [total0, idle0] = sample();
  std::this_thread::sleep_for(span);
  const auto [total1, idle1] = sample();
  return total1 > total0 ? 1.0 - (idle1 - idle0) / (total1 - total0) : 0.0;
}

// A pseudo-terminal's latency follows what else the machine does: each part
// waits (a minute at most) for a second in which it was mostly idle, and says
// how busy it was.
void WaitForQuiet(const char* part) {
  const auto deadline = Clock::now() + 60s;
  double busy = BusyShare(1s);
  while (busy > 0.2 && Clock::now() < deadline) {
    busy = BusyShare(1s);
  }
  std::ifstream loadavg("/proc/loadavg");
  std::string load;
  std::getline(loadavg, load);
  std::printf("-- %s: machine %.0f%% busy just before, load average %s\n", part, busy * 100,
              load.c_str());
}

Report report({.what = 44, .figure = 34, .target = 20});

std::string Format(const char* format, double a, double b = 0, double c = 0) {
  char text[96];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

void Direct() {
  const Relays relays({.noTranslation = true});
  const std::string command = "FA14251300;";
  const std::string answer = "FA00014251300;";
  std::vector<Trip> trips;
  for (const Relay* r : relays.All()) {
    trips.push_back({&r->app1, &r->radio, command, command, ""});
    trips.push_back({&r->radio, &r->app1, answer, answer, ""});
  }
  const std::vector<double> m = Medians(trips, kLatencySamples);
  const char* ways[] = {"App 1 -> radio", "radio -> App 1"};
  for (int way = 0; way < 2; ++way) {
    const double reference = m[4 + way];
    report.Line(std::string("socat relay, ") + ways[way], Format("%7.1f us", reference), "", true);
    for (int p = 0; p < 2; ++p) {
      const double us = m[p * 2 + way];
      report.Line(std::string("direct, ") + (p == 0 ? "window, " : "vantorel-nox, ") + ways[way],
                  Format("%7.1f us (%.2fx socat)", us, us / reference), "<= 1.1x socat",
                  us <= 1.1 * reference);
    }
  }
}

void Translating() {
  Relay window;
  Relay nox;
  Start(window, Program::Window, {});
  Start(nox, Program::Nox, {});
  // App 1 gets the translation's answer and its echo.
  const std::string command = "FA14251300;";
  std::vector<Trip> trips;
  for (const Relay* r : {&window, &nox}) {
    trips.push_back({&r->app1, &r->radio, command, "FA00014251300;", command + command});
  }
  const std::vector<double> m = Medians(trips, kTranslatingSamples);
  const double pause = Micros(kRadioPause);
  for (int p = 0; p < 2; ++p) {
    const double beyond = m[p] - pause;
    report.Line(std::string("translating beyond 10 ms, ") + (p == 0 ? "window" : "vantorel-nox"),
                Format("%7.1f us", beyond), "<= 300 us", beyond <= 300);
  }
}

void Answers() {
  const Relays relays({});
  std::vector<std::vector<BurstResult>> results(3);
  for (int b = 0; b < kBursts; ++b) {
    int i = 0;
    for (const Relay* r : relays.All()) {
      results[i].push_back(Burst(*r, b * kBurst, r != &relays.socat));
      ++i;
      std::this_thread::sleep_for(50ms);
    }
  }
  const char* names[] = {"window", "vantorel-nox", "socat (untranslated)"};
  for (int i = 0; i < 3; ++i) {
    std::vector<double> rates;
    long lost = 0;
    long wrong = 0;
    for (const BurstResult& r : results[i]) {
      rates.push_back(r.perSecond);
      lost += r.lost;
      wrong += r.wrong;
    }
    const double median = Median(rates);
    report.Line(std::string("burst of 2000 answers, ") + names[i],
                Format("%7.0f /s (%.0f lost, %.0f wrong)", median, static_cast<double>(lost),
                       static_cast<double>(wrong)),
                i == 2 ? "" : ">= 100000 /s, all", median >= 100000 && lost == 0 && wrong == 0);
  }
}

void Idle() {
  const Relays relays({.withApp2 = true});
  std::this_thread::sleep_for(1s);  // settled after the start
  std::vector<double> before;
  for (const Relay* r : relays.All()) {
    before.push_back(CpuMilliseconds(r->process->Pid()));
  }
  std::this_thread::sleep_for(kIdleTime);
  int i = 0;
  for (const Relay* r : relays.All()) {
    const double percent = (CpuMilliseconds(r->process->Pid()) - before[i]) /
                           std::chrono::duration<double, std::milli>(kIdleTime).count() * 100;
    report.Line("idle, all ports open, 10 s, " + r->name, Format("%.3f %% of a core", percent),
                r == &relays.socat ? "" : "< 0.2 %", percent < 0.2);
    ++i;
  }
}

}  // namespace

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const std::string only = argc > 1 ? argv[1] : "";
  try {
    std::printf("%-44s %-34s %-20s\n", "measurement", "figure", "target");
    if (only.empty() || only == "direct") {
      WaitForQuiet("direct");
      Direct();
    }
    if (only.empty() || only == "translating") {
      WaitForQuiet("translating");
      Translating();
    }
    if (only.empty() || only == "burst") {
      WaitForQuiet("burst");
      Answers();
    }
    if (only.empty() || only == "idle") {
      WaitForQuiet("idle");
      Idle();
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_programs: %s\n", e.what());
    return 2;
  }
  return report.AllMet() ? 0 : 1;
}
