// vantorel-sim: a simulated Kenwood radio behind a pseudo-terminal, for trying
// Vantorel or any CAT program without a radio on the desk.
#include <sys/signalfd.h>
#include <unistd.h>

#include <csignal>
#include <exception>
#include <iostream>
#include <string_view>
#include <vector>

#include "pty/pty_endpoint.h"
#include "sim/kenwood_radio.h"
#include "sim/program/options.h"
#include "sim/program/serve.h"
#include "version.h"

int main(int argc, char** argv) {
  using vantorel::sim::program::Usage;
  const std::vector<std::string_view> arguments(argv + 1, argv + argc);
  const auto parsed = vantorel::sim::program::ParseOptions(arguments);
  if (!parsed.options) {
    std::cerr << "vantorel-sim: " << parsed.error << "\n\n" << Usage();
    return 2;
  }
  const auto& options = *parsed.options;
  if (options.help) {
    std::cout << Usage();
    return 0;
  }
  if (options.version) {
    std::cout << "vantorel-sim " << vantorel::kVersion << '\n';
    return 0;
  }

  // The stop signals arrive on a descriptor the loop watches, so the link is
  // removed on the way out. A reader of standard output that went away must
  // not end the radio.
  std::signal(SIGPIPE, SIG_IGN);
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  const int stopFd = sigprocmask(SIG_BLOCK, &stopSignals, nullptr) == 0
                         ? signalfd(-1, &stopSignals, SFD_CLOEXEC)
                         : -1;
  if (stopFd < 0) {
    std::perror("vantorel-sim: cannot watch for stop signals");
    return 1;
  }

  int status = 0;
  try {
    vantorel::pty::PtyEndpoint line(options.link);
    std::cout << (options.link.empty() ? line.TerminalPath() : options.link.string()) << std::endl;
    vantorel::sim::KenwoodRadio radio(*options.model);
    vantorel::sim::program::Serve(line, radio, stopFd, options.trace ? &std::cerr : nullptr);
  } catch (const std::exception& error) {
    std::cerr << "vantorel-sim: " << error.what() << '\n';
    status = 1;
  }
  ::close(stopFd);
  return status;
}
