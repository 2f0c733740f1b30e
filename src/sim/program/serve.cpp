#include "sim/program/serve.h"

#include <poll.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

namespace vantorel::sim::program {
namespace {

// Answers an application does not read are kept up to this much, then dropped.
constexpr std::size_t kOutgoingLimit = 64 * 1024;

// Bytes as a line of text: control and non-ASCII bytes as \xNN.
std::string Printable(std::string_view bytes) {
  std::string text;
  for (const char byte : bytes) {
    const auto code = static_cast<unsigned char>(byte);
    if (code >= 0x20 && code < 0x7f && byte != '\\') {
      text.push_back(byte);
    } else {
      std::array<char, 5> escaped{};
      std::snprintf(escaped.data(), escaped.size(), "\\x%02x", code);
      text += escaped.data();
    }
  }
  return text;
}

}  // namespace

void Serve(pty::PtyEndpoint& line, KenwoodRadio& radio, int stopFd, std::ostream* trace) {
  std::string outgoing;
  bool connected = false;
  for (;;) {
    const bool present = line.RefreshClient();
    if (connected && !present) {
      outgoing.clear();
      radio.DiscardPartialCommand();
    }
    connected = present;

    const auto lineEvents = static_cast<short>(POLLIN | (outgoing.empty() ? 0 : POLLOUT));
    std::array<pollfd, 2> watched{{{stopFd, POLLIN, 0}, {line.Fd(), lineEvents, 0}}};
    const nfds_t count = connected ? 2 : 1;
    const int timeout = connected ? -1 : static_cast<int>(pty::kClientCheckInterval.count());
    if (::poll(watched.data(), count, timeout) < 0) {
      if (errno == EINTR) {
        continue;
      }
      throw std::system_error(errno, std::generic_category(), "poll");
    }
    if (watched[0].revents != 0) {
      return;
    }
    if (!connected || watched[1].revents == 0) {
      continue;
    }

    std::string input;
    line.Read(input);
    if (!input.empty()) {
      const std::string answer = radio.Receive(input);
      if (trace != nullptr) {
        *trace << "computer: " << Printable(input) << '\n';
        if (!answer.empty()) {
          *trace << "radio:    " << Printable(answer) << '\n';
        }
        trace->flush();
      }
      if (outgoing.size() + answer.size() <= kOutgoingLimit) {
        outgoing += answer;
      }
    }
    std::string_view pending = outgoing;
    if (line.Write(pending) != pty::IoStatus::kNoClient) {
      outgoing.erase(0, outgoing.size() - pending.size());
    }
  }
}

}  // namespace vantorel::sim::program
