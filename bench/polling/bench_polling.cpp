// Several programs polling the radio through vantorel-nox's rigctld: servers,
// as WSJT-X and the loggers do (frequency and mode every 100 ms), against one
// program alone: how many reads reach the radio, and how soon a change made
// at the radio's front panel shows in every program's answers. Run by hand
// through scripts/bench.sh, never by ctest.
//
// The radio is a simulated TS-2000 played here on a pseudo-terminal, so its
// knob can be turned while the programs poll and every command it gets is
// counted. Targets: four programs make the radio receive at most 1.5x the
// reads of one; every answer reflects a turn of the knob within 200 ms.
// Exit status 1 when a target is missed.
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <iomanip>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "pty_pair.h"
#include "sim/kenwood_radio.h"
#include "sim/radio_model.h"
#include "temp_folder.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vantorel::testing::ChildProcess;

constexpr auto kPollEvery = 100ms;
constexpr auto kRunFor = 30s;
constexpr double kTargetRatio = 1.5;
constexpr auto kTargetChange = 200ms;
constexpr int kFirstPort = 14700;

struct Program {
  int fd = -1;
  Clock::time_point nextPoll;
  std::string got;
  bool waiting = false;
};

int Connect(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  for (int tries = 0; tries < 100; ++tries) {
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
      const int on = 1;
      ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
      return fd;
    }
    std::this_thread::sleep_for(50ms);
  }
  return -1;
}

struct Result {
  long reads = 0;
  double worstChangeMs = 0;
  bool failed = false;
};

// `programs` poll for kRunFor; the knob turns at the middle. The radio's
// commands are counted from the first poll on.
Result Run(int programs) {
  const vantorel::testing::TempFolder folder;
  vantorel::testing::PtyPair radioLine;
  vantorel::sim::KenwoodRadio radio(*vantorel::sim::FindModel("ts2000"));
  std::string apps;
  for (int i = 0; i < programs; ++i) {
    apps += "[Program " + std::to_string(i + 1) +
            "]\nPort=rigctld:" + std::to_string(kFirstPort + i) + "\n";
  }
  vantorel::testing::WriteFile(folder.Path() / "Apps.ini", apps);
  vantorel::testing::WriteFile(folder.Path() / "Catmux.ini",
                               vantorel::testing::StationFileText(
                                   "pty:" + (folder.Path() / "app1").string(), radioLine.Path()));
  ChildProcess nox({VANTOREL_NOX_PROGRAM, "--folder", folder.Path().string()});
  Result result;
  std::string fromStation;
  bool counting = false;
  const auto serveRadio = [&] {
    fromStation += radioLine.ReadAvailable();
    for (auto end = fromStation.find(';'); end != std::string::npos; end = fromStation.find(';')) {
      const std::string command = fromStation.substr(0, end + 1);
      fromStation.erase(0, end + 1);
      result.reads += counting ? 1 : 0;
      radioLine.Write(radio.Receive(command));
    }
  };
  // Until the station has learned the radio and the servers listen.
  const auto learnUntil = Clock::now() + 2s;
  while (Clock::now() < learnUntil) {
    serveRadio();
    std::this_thread::sleep_for(1ms);
  }
  std::vector<Program> clients(static_cast<std::size_t>(programs));
  const auto start = Clock::now();
  for (int i = 0; i < programs; ++i) {
    clients[i].fd = Connect(kFirstPort + i);
    // Spread over the polling period, as independent programs are.
    clients[i].nextPoll = start + kPollEvery * i / programs;
    if (clients[i].fd < 0) {
      result.failed = true;
      return result;
    }
  }
  counting = true;
  const auto turnAt = start + kRunFor / 2;
  bool turned = false;
  std::vector<bool> seen(clients.size(), false);
  while (Clock::now() < start + kRunFor) {
    serveRadio();
    const auto now = Clock::now();
    if (!turned && now >= turnAt) {
      radioLine.Write(radio.TuneVfo(vantorel::sim::Vfo::kA, 7'074'000));
      turned = true;
    }
    for (std::size_t i = 0; i < clients.size(); ++i) {
      Program& client = clients[i];
      if (!client.waiting && now >= client.nextPoll) {
        ::write(client.fd, "f\nm\n", 4);
        client.waiting = true;
        client.nextPoll += kPollEvery;
      }
      pollfd readable{client.fd, POLLIN, 0};
      if (::poll(&readable, 1, 0) > 0) {
        char buffer[512];
        const ssize_t got = ::read(client.fd, buffer, sizeof(buffer));
        client.got.append(buffer, got > 0 ? static_cast<std::size_t>(got) : 0);
      }
      // "f" and "m" answer three lines.
      if (client.waiting && std::ranges::count(client.got, '\n') >= 3) {
        if (turned && !seen[i] && client.got.starts_with("7074000\n")) {
          seen[i] = true;
          result.worstChangeMs =
              std::max(result.worstChangeMs,
                       std::chrono::duration<double, std::milli>(now - turnAt).count());
        }
        client.got.clear();
        client.waiting = false;
      }
    }
    std::this_thread::sleep_for(200us);
  }
  for (const Program& client : clients) {
    ::close(client.fd);
  }
  result.failed = !std::ranges::all_of(seen, [](bool s) { return s; });
  nox.Signal(SIGTERM);
  const auto endUntil = Clock::now() + 5s;
  while (Clock::now() < endUntil && !nox.Wait(10ms)) {
    serveRadio();
  }
  return result;
}

}  // namespace

int main() {
  std::cout << "programs polling f and m every 100 ms for 30 s through rigctld: servers\n";
  const Result one = Run(1);
  const Result four = Run(4);
  const double ratio = static_cast<double>(four.reads) / std::max(1L, one.reads);
  const bool met = !one.failed && !four.failed && ratio <= kTargetRatio &&
                   four.worstChangeMs <= kTargetChange.count() &&
                   one.worstChangeMs <= kTargetChange.count();
  std::cout << std::fixed << std::setprecision(2) << "radio reads, one program: " << one.reads
            << "; four programs: " << four.reads << "; ratio " << ratio
            << " (target <= " << kTargetRatio << ")\n"
            << "knob turned to seen in every program's answer: one " << one.worstChangeMs
            << " ms, four " << four.worstChangeMs << " ms (target <= " << kTargetChange.count()
            << " ms)" << (met ? "  ok" : "  MISSED") << std::endl;
  return met ? 0 : 1;
}
