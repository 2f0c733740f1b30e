#include "ports/link_watch.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vantorel::ports {

std::string WatchForDeadPeer(int descriptor) {
  struct Option {
    int level;
    int name;
    int value;
  };
  const std::array<Option, 5> options{{
      {SOL_SOCKET, SO_KEEPALIVE, 1},
      {IPPROTO_TCP, TCP_KEEPIDLE, static_cast<int>(kKeepaliveIdle.count())},
      {IPPROTO_TCP, TCP_KEEPINTVL, static_cast<int>(kKeepaliveInterval.count())},
      {IPPROTO_TCP, TCP_KEEPCNT, kKeepaliveProbes},
      // Also ends a link whose sent bytes go unacknowledged that long, which
      // keepalive alone does not (it waits only while nothing is in flight).
      {IPPROTO_TCP, TCP_USER_TIMEOUT, static_cast<int>(kDeadLinkLimit.count())},
  }};
  for (const Option& option : options) {
    if (::setsockopt(descriptor, option.level, option.name, &option.value, sizeof option.value) !=
        0) {
      return std::strerror(errno);
    }
  }
  return {};
}

std::string FrameForLink(std::string_view bytes) {
  std::string framed;
  framed.reserve(bytes.size());
  for (const char c : bytes) {
    framed += c;
    if (c == kLinkMark) {
      framed += kLinkMark;
    }
  }
  return framed;
}

std::string LinkUnframer::Unframe(std::string_view bytes) {
  std::string data;
  data.reserve(bytes.size());
  for (const char c : bytes) {
    if (afterMark_) {
      afterMark_ = false;
      if (c == kLinkMark) {
        data += c;
      }
    } else if (c == kLinkMark) {
      afterMark_ = true;
    } else {
      data += c;
    }
  }
  return data;
}

std::string SecondsText(std::chrono::steady_clock::duration span) {
  std::array<char, 32> text{};
  std::snprintf(text.data(), text.size(), "%.1f s", std::chrono::duration<double>(span).count());
  return text.data();
}

}  // namespace vantorel::ports
