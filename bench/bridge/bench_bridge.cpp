// Bridge latency, throughput and idle cost over pseudo-terminals, beside a
// socat relay between the same kind of ends.
//
// Each measurement runs the bridge in a child process of its own (a Qt event
// loop, the real serial layer, the ports opened by path as on a station); this
// process plays App 1, App 2 and the radio on the controlling sides. Figures:
//   - direct mode ("No Translation") relay latency, App 1 to radio and radio
//     to App 1, median of many round trips, against socat (target: within 1.1x);
//   - translating mode, App 1's command in to the Kenwood command out, minus the
//     10 ms pause the radio needs (target: at most 0.3 ms);
//   - radio answers per second reaching App 1 translated, sustained, with every
//     answer checked (target: 100000 a second, none lost);
//   - CPU time of the bridge with all three ports open and nothing to do
//     (target: under 0.2% of a core).
// Exit status 1 when a target is missed.
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench_support.h"
#include "ports/port_factory.h"
#include "ports/qt_event_loop.h"
#include "pty_pair.h"
#include "station/station.h"

namespace {

using namespace std::chrono_literals;
using namespace vantorel::bench;
using vantorel::testing::PtyPair;

extern "C" char** environ;

constexpr auto kRadioPause = 10ms;
constexpr int kLatencySamples = 400;
constexpr int kTranslatingSamples = 200;
constexpr auto kThroughputTime = 10s;
constexpr auto kIdleTime = 5s;

// --- the bridge in a child process ----------------------------------------------

class StderrMessages : public vantorel::station::QuietEvents {
 public:
  void Message(vantorel::station::Topic /*topic*/, std::string_view text) override {
    std::cerr << "bridge: " << text << '\n';
  }
};

struct BridgeSetup {
  const PtyPair* app1 = nullptr;
  const PtyPair* app2 = nullptr;  // set: App 2 in use (sharing), its port opened
  const PtyPair* radio = nullptr;
  bool noTranslation = false;
  int idleReport = -1;  // set: measure idle CPU and write it here, then end
  bool ft950Emulation = false;
};

// Runs the bridge as the program does, minus the window: never returns.
[[noreturn]] void RunBridge(const BridgeSetup& setup) {
  int argc = 1;
  char name[] = "bench_bridge";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  namespace station = vantorel::station;
  vantorel::ports::QtPortFactory factory;
  vantorel::ports::QtEventLoop loop;
  StderrMessages messages;
  station::Station bridge{factory, loop, messages, "/tmp"};
  station::Options options;
  station::PortSetup ports{setup.app1->Path(), {}, setup.radio->Path(), "38400,N,8,1"};
  if (setup.app2 != nullptr) {
    ports.app2 = setup.app2->Path();
    options.app2Unused = vantorel::Check::Clear;
  }
  if (setup.noTranslation) {
    options.noTranslation = vantorel::Check::Ticked;
  }
  if (setup.ft950Emulation) {
    options.profile = station::Profile::Emulation;
    // Named, so the radio is not learned first: the bench plays no answers to
    // the learning's reads.
    options.radioModel = "TS-590S";
  }
  bridge.SetOptions(options);
  bridge.InitPorts(ports);

  // The transmit supervision's tick, as in the program.
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&bridge] { bridge.Timer2_Timer(); });
  tick.start(1000);

  rusage before{};
  if (setup.idleReport >= 0) {
    QTimer::singleShot(1s, [&before] { getrusage(RUSAGE_SELF, &before); });
    QTimer::singleShot(1s + kIdleTime, [&] {
      rusage after{};
      getrusage(RUSAGE_SELF, &after);
      const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
      const double cpu = seconds(after.ru_utime) - seconds(before.ru_utime) +
                         seconds(after.ru_stime) - seconds(before.ru_stime);
      const std::string text = std::to_string(cpu);
      [[maybe_unused]] const auto written = ::write(setup.idleReport, text.data(), text.size());
      QCoreApplication::quit();
    });
  }
  app.exec();
  std::_Exit(0);
}

// A child process this program started, ended by its id.
class Child {
 public:
  explicit Child(pid_t pid) : pid_(pid) {}
  ~Child() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
  }
  Child(Child&& other) noexcept : pid_(std::exchange(other.pid_, -1)) {}
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  Child& operator=(Child&&) = delete;

 private:
  pid_t pid_;
};

Child StartBridge(const BridgeSetup& setup) {
  std::cout.flush();
  const pid_t pid = ::fork();
  if (pid < 0) {
    throw std::runtime_error("fork failed");
  }
  if (pid == 0) {
    RunBridge(setup);
  }
  Child child(pid);
  // The ports are open once auto-information reaches the radio.
  if (setup.radio->Read(4, kNoPump, 5s) != "AI1;") {
    throw std::runtime_error("the bridge did not open its ports");
  }
  return child;
}

// socat between the terminal sides of two pairs: the same relay without logic.
Child StartSocat(const PtyPair& a, const PtyPair& b) {
  const std::string left = "FILE:" + a.Path() + ",raw,echo=0";
  const std::string right = "FILE:" + b.Path() + ",raw,echo=0";
  std::vector<std::string> args{"socat", left, right};
  std::vector<char*> argv;
  for (auto& arg : args) {
    argv.push_back(arg.data());
  }
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "socat", nullptr, nullptr, argv.data(), environ) != 0) {
    throw std::runtime_error("cannot start socat (is it installed?)");
  }
  Child child(pid);
  // Ready once a probe goes through.
  const auto deadline = Clock::now() + 5s;
  while (Clock::now() < deadline) {
    a.Write("P;");
    if (b.Read(2, kNoPump, 100ms) == "P;") {
      return child;
    }
  }
  throw std::runtime_error("socat relays nothing");
}

// --- measurements ---------------------------------------------------------------

struct Spread {
  double median = 0;
  double p90 = 0;
};

Spread Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return {samples[samples.size() / 2], samples[samples.size() * 9 / 10]};
}

// One relay to measure: a write at one end, the whole expected text at the
// other. `afterEach` collects what else the relay sends (App 1's echoes), so
// the next trip starts on a quiet bridge.
struct Trip {
  const PtyPair& from;
  const PtyPair& to;
  std::string send;
  std::string expect;
  std::function<void()> afterEach = kNoPump;
};

double TimeOneTrip(const Trip& trip) {
  const auto start = Clock::now();
  trip.from.Write(trip.send);
  const std::string got = trip.to.Read(trip.expect.size(), kNoPump, 2s);
  const auto took = Clock::now() - start;
  if (got != trip.expect) {
    throw std::runtime_error("relay sent \"" + got + "\" for \"" + trip.send + "\"");
  }
  trip.afterEach();
  std::this_thread::sleep_for(500us);
  return Micros(took);
}

// The spread of many trips over each relay, the relays taken in turn.
std::vector<Spread> Latencies(const std::vector<Trip>& trips, int samples) {
  std::vector<Spread> spreads;
  for (auto& times :
       SamplesInTurn(trips.size(), samples, [&](std::size_t t) { return TimeOneTrip(trips[t]); })) {
    spreads.push_back(Summarise(std::move(times)));
  }
  return spreads;
}

struct Throughput {
  double perSecond = 0;
  long sent = 0;
  long received = 0;
  long wrong = 0;
};

// The radio sends frequency answers, each with a number of its own, as fast as
// the bridge takes them (a few in flight, a few per burst); App 1's end checks
// that every translated answer comes, in order.
Throughput AnswersPerSecond(const PtyPair& radio, const PtyPair& app1) {
  constexpr long kInFlight = 48;
  constexpr long kBurst = 8;
  Throughput result;
  std::string pending;
  const auto answer = [](long n, bool yaesu) {
    char text[32];
    std::snprintf(text, sizeof text, yaesu ? "FA%08ld;" : "FA000%08ld;", n % 100000000);
    return std::string(text);
  };
  const auto take = [&] {
    pending += app1.Read(1, kNoPump, 1ms);
    while (pending.size() >= 11) {
      if (pending.compare(0, 11, answer(result.received, true)) != 0) {
        ++result.wrong;
      }
      ++result.received;
      pending.erase(0, 11);
    }
  };

  const auto start = Clock::now();
  while (Clock::now() - start < kThroughputTime) {
    if (result.sent - result.received <= kInFlight - kBurst) {
      std::string burst;
      for (long i = 0; i < kBurst; ++i) {
        burst += answer(result.sent++, false);
      }
      radio.Write(burst);
    }
    take();
  }
  const long inTime = result.received;
  const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
  for (auto quiet = Clock::now(); result.received < result.sent && Clock::now() - quiet < 2s;) {
    const long before = result.received;
    take();
    if (result.received != before) {
      quiet = Clock::now();
    }
  }
  result.perSecond = inTime / elapsed;
  return result;
}

double IdleCpuShare() {
  PtyPair app1;
  PtyPair app2;
  PtyPair radio;
  int report[2];
  if (::pipe(report) != 0) {
    throw std::runtime_error("pipe failed");
  }
  const Child bridge = StartBridge({&app1, &app2, &radio, false, report[1]});
  ::close(report[1]);
  char text[64] = {};
  const ssize_t got = ::read(report[0], text, sizeof text - 1);
  ::close(report[0]);
  if (got <= 0) {
    throw std::runtime_error("the idle bridge reported nothing");
  }
  return std::atof(text) / std::chrono::duration<double>(kIdleTime).count();
}

// --- report ---------------------------------------------------------------------

Report report({.what = 52, .figure = 26, .target = 22});

std::string Us(const Spread& s) {
  char text[64];
  std::snprintf(text, sizeof text, "%7.1f us (p90 %7.1f)", s.median, s.p90);
  return text;
}

void DirectMode() {
  PtyPair app1;
  PtyPair radio;
  PtyPair socatA;
  PtyPair socatB;
  const Child bridge = StartBridge({&app1, nullptr, &radio, true, -1});
  const Child socat = StartSocat(socatA, socatB);
  const auto spreads = Latencies({{app1, radio, "FA14251300;", "FA14251300;"},
                                  {socatA, socatB, "FA14251300;", "FA14251300;"},
                                  {radio, app1, "FA00014251300;", "FA00014251300;"},
                                  {socatB, socatA, "FA00014251300;", "FA00014251300;"}},
                                 kLatencySamples);
  const Spread& bridgeOut = spreads[0];
  const Spread& socatOut = spreads[1];
  const Spread& bridgeBack = spreads[2];
  const Spread& socatBack = spreads[3];
  report.Line("socat relay, App 1 -> radio", Us(socatOut), "reference", true);
  report.Line("direct mode, App 1 -> radio", Us(bridgeOut), "<= 1.1x socat",
              bridgeOut.median <= 1.1 * socatOut.median);
  report.Line("socat relay, radio -> App 1", Us(socatBack), "reference", true);
  report.Line("direct mode, radio -> App 1", Us(bridgeBack), "<= 1.1x socat",
              bridgeBack.median <= 1.1 * socatBack.median);
}

void TranslatingMode() {
  PtyPair app1;
  PtyPair radio;
  const Child bridge = StartBridge({&app1, nullptr, &radio, false, -1});
  // App 1 gets the translation's answer and the echo: 22 characters.
  const auto echoes = [&] {
    if (app1.Read(22, kNoPump, 2s) != "FA14251300;FA14251300;") {
      throw std::runtime_error("App 1 missed its echoes");
    }
  };
  Spread s =
      Latencies({{app1, radio, "FA14251300;", "FA00014251300;", echoes}}, kTranslatingSamples)[0];
  const double pause = Micros(kRadioPause);
  s.median -= pause;
  s.p90 -= pause;
  report.Line("translating, App 1 command -> Kenwood, beyond 10 ms", Us(s), "<= 300 us",
              s.median <= 300);
}

// A standard FT-950 client's frequency read through the emulation: App 1's
// "FA;" to the radio's Kenwood read, the radio's answer back to App 1 in FT-950
// form. The emulation has no pause before the radio (its client waits for each
// answer).
void Ft950Read() {
  PtyPair app1;
  PtyPair radio;
  const Child bridge = StartBridge({&app1, nullptr, &radio, false, -1, true});
  std::vector<double> samples;
  for (int i = 0; i < kTranslatingSamples + kTranslatingSamples / 10; ++i) {
    const auto start = Clock::now();
    app1.Write("FA;");
    if (radio.Read(3, kNoPump, 2s) != "FA;") {
      throw std::runtime_error("the radio missed the Kenwood read");
    }
    radio.Write("FA00014074000;");
    if (app1.Read(11, kNoPump, 2s) != "FA14074000;") {
      throw std::runtime_error("App 1 missed its FT-950 answer");
    }
    if (i >= kTranslatingSamples / 10) {
      samples.push_back(Micros(Clock::now() - start));
    }
    std::this_thread::sleep_for(500us);
  }
  const Spread s = Summarise(std::move(samples));
  report.Line("FT-950 emulation, App 1 FA; answered", Us(s), "< 2000 us", s.median < 2000);
}

void AnswerRate() {
  PtyPair app1;
  PtyPair radio;
  Throughput t;
  {
    const Child bridge = StartBridge({&app1, nullptr, &radio, false, -1});
    t = AnswersPerSecond(radio, app1);
  }
  char figure[96];
  std::snprintf(figure, sizeof figure, "%.0f /s (%ld sent, %ld lost, %ld wrong)", t.perSecond,
                t.sent, t.sent - t.received, t.wrong);
  report.Line("radio answers translated to App 1, 10 s", figure, ">= 100000 /s, none lost",
              t.perSecond >= 100000 && t.received == t.sent && t.wrong == 0);
}

void Idle() {
  const double share = IdleCpuShare();
  char figure[64];
  std::snprintf(figure, sizeof figure, "%.3f %% of a core", share * 100);
  report.Line("idle, all three ports open, 5 s", figure, "< 0.2 %", share < 0.002);
}

}  // namespace

int main() {
  try {
    std::printf("%-52s %-26s %-22s %s\n", "measurement", "figure", "target", "");
    DirectMode();
    TranslatingMode();
    Ft950Read();
    AnswerRate();
    Idle();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bench_bridge: %s\n", e.what());
    return 2;
  }
  return report.AllMet() ? 0 : 1;
}
