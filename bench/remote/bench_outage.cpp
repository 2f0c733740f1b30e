// How fast a remote station's site unkeys its radio when the link to home
// dies without a word: two vantorel-nox processes in network namespaces of
// their own (remote_station.h), the radio keyed from home, home's end of the
// link set down, the time until the site's radio hears "RX;". Ten outages on
// the encrypted link (the heartbeat) and ten on a plain TCP one (keepalive
// and the user timeout), the link set up again between them. Run by hand
// through scripts/bench.sh as root, never by ctest.
//
// Target: the worst outage unkeyed under 5 s. Exit status 1 when it is
// missed, 2 when the namespaces cannot be made.
#include <algorithm>
#include <chrono>
#include <iomanip>
#include <iostream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "remote_station.h"

namespace {

using namespace std::chrono_literals;
using namespace vantorel::bench;
using vantorel::testing::NamespacePair;
using vantorel::testing::RemoteStation;

constexpr int kOutages = 10;
constexpr double kTargetSeconds = 5;

// The seconds from each outage to "RX;", sorted; empty after a failure (told).
std::vector<double> Outages(const NamespacePair& namespaces, bool encrypted) {
  RemoteStation station(VANTOREL_NOX_PROGRAM, encrypted, false, &namespaces);
  if (const std::string failed = station.Start(); !failed.empty()) {
    std::cerr << failed << std::endl;
    return {};
  }
  std::vector<double> seconds;
  for (int i = 0; i < kOutages; ++i) {
    if (!station.Key()) {
      std::cerr << "the radio was not keyed\n" << station.Logs() << std::endl;
      return {};
    }
    const auto down = Clock::now();
    namespaces.SetLink("down");
    std::string heard;
    const bool unkeyed = vantorel::testing::PumpUntil(
        [&] {
          heard += station.siteRadio.ReadAvailable();
          return heard.find("RX;") != std::string::npos;
        },
        kNoPump, 60s);
    const auto unkeyedAt = Clock::now();
    const std::size_t logged = station.siteNox->Errors().size();
    namespaces.SetLink("up");
    if (!unkeyed || !station.siteNox->WaitForError("a program took the other end", 30s, logged)) {
      std::cerr << "outage " << i + 1 << ": no unkey or no return\n" << station.Logs() << std::endl;
      return {};
    }
    seconds.push_back(std::chrono::duration<double>(unkeyedAt - down).count());
    station.Settle();
  }
  std::sort(seconds.begin(), seconds.end());
  return seconds;
}

}  // namespace

int main() {
  std::string why;
  const auto namespaces = NamespacePair::Make(why);
  if (!namespaces) {
    std::cerr << "Cannot measure: " << why << std::endl;
    return 2;
  }
  bool met = true;
  std::cout << std::fixed << std::setprecision(2);
  for (const bool encrypted : {true, false}) {
    const std::vector<double> seconds = Outages(*namespaces, encrypted);
    if (seconds.empty()) {
      return 1;
    }
    const double worst = seconds.back();
    met = met && worst < kTargetSeconds;
    std::cout << (encrypted ? "tls: heartbeat" : "tcp: keepalive") << ", " << kOutages
              << " silent outages, outage to RX; at the site: median "
              << (seconds[kOutages / 2 - 1] + seconds[kOutages / 2]) / 2 << " s, best "
              << seconds.front() << " s, worst " << worst << " s (target: under " << kTargetSeconds
              << " s) " << (worst < kTargetSeconds ? "ok" : "MISSED") << std::endl;
  }
  return met ? 0 : 1;
}
