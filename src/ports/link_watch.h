// How a network link that dies without a word (a router rebooting, a mobile
// link dropping: no FIN, no RST reaches either end) is noticed within seconds
// instead of at the transmit time-out: the radio may be keyed on it.
//
// Every connected socket of the network port kinds gets TCP keepalive and the
// user timeout tuned so that the system gives up on a far end that stopped
// answering after about kDeadLinkLimit, idle or not. The system still answers
// for a program that hangs, so the "tls:" links between two Vantorels also
// carry a heartbeat both ways: a link on which nothing at all came for
// kDeadLinkLimit is taken as dead.
//
// The heartbeat rides in the byte stream: kLinkMark followed by another
// kLinkMark is one data byte of that value, followed by anything else a beat.
// CAT text never holds the mark, so the stream carries it as it is.
//
// Plain C++ and POSIX. Threading: pure functions; a LinkUnframer belongs to
// one link.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace vantorel::ports {

// The longest a dead link goes unnoticed, counted from the last sign of life.
inline constexpr std::chrono::milliseconds kDeadLinkLimit{3000};
// The first keepalive probe after this much quiet, then one per interval:
// the user timeout ends the link after kDeadLinkLimit without an answer.
inline constexpr std::chrono::seconds kKeepaliveIdle{1};
inline constexpr std::chrono::seconds kKeepaliveInterval{1};
inline constexpr int kKeepaliveProbes = 3;
// Three beats fit into kDeadLinkLimit: one lost or late is no reason to drop.
inline constexpr std::chrono::milliseconds kHeartbeatInterval{1000};

inline constexpr char kLinkMark = '\xFF';
inline constexpr std::string_view kHeartbeat{"\xFF\x00", 2};

// Sets keepalive and the user timeout on a connected TCP socket. Returns the
// system's reason when it refuses, empty on success.
std::string WatchForDeadPeer(int descriptor);

// The bytes as they go on a link with a heartbeat (each mark doubled).
std::string FrameForLink(std::string_view bytes);

// Takes the beats out of what a link with a heartbeat delivers, however the
// stream is cut into pieces.
class LinkUnframer {
 public:
  std::string Unframe(std::string_view bytes);

 private:
  bool afterMark_ = false;
};

// "3.2 s": a span for the log.
std::string SecondsText(std::chrono::steady_clock::duration span);

}  // namespace vantorel::ports
