// Cuts the bytes a computer sends to the radio into ';'-ended commands. Bytes
// come in pieces of any size: half a command now and the rest later, or several
// commands at once.
//
// Memory stays bounded: a stretch that runs past kLongestCommand bytes without
// a ';' is thrown away up to and including its ';', and reported once. CR and
// LF are dropped, so a person typing commands in a terminal is understood.
//
// Threading: one owner thread.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vantorel::sim {

class CommandFramer {
 public:
  // Far above the longest command this radio knows ("FA00014074000;").
  static constexpr std::size_t kLongestCommand = 64;

  // Each whole command, ';' included, in order.
  using CommandSink = std::function<void(std::string_view command)>;
  // Once per stretch thrown away for running too long without a ';'.
  using OverlongSink = std::function<void()>;

  void Feed(std::string_view bytes, const CommandSink& onCommand, const OverlongSink& onOverlong);

  // Forgets a half-received command (the computer went away).
  void Reset();

  [[nodiscard]] std::size_t PendingBytes() const { return pending_.size(); }

 private:
  std::string pending_;
  bool discarding_ = false;
};

}  // namespace vantorel::sim
