#include "cat/pass_through.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vantorel::cat {
namespace {

constexpr auto kTransmits = std::to_array<std::string_view>({"TX", "TX0", "TX1", "TX2"});
constexpr std::string_view kReceive = "RX";
constexpr std::string_view kMoxOn = "MX1";
constexpr std::string_view kMoxOff = "MX0";
constexpr std::size_t kLongestKeying = 3;

}  // namespace

KeyingCommand KeyingOf(std::string_view tail, bool whole) {
  if (std::any_of(kTransmits.begin(), kTransmits.end(),
                  [&](std::string_view form) { return tail.ends_with(form); })) {
    return KeyingCommand::kTransmit;
  }
  if (whole && tail == kReceive) {
    return KeyingCommand::kReceive;
  }
  if (tail.ends_with(kMoxOn)) {
    return KeyingCommand::kMoxOn;
  }
  if (whole && tail == kMoxOff) {
    return KeyingCommand::kMoxOff;
  }
  return KeyingCommand::kNone;
}

std::optional<std::string> PassThrough::NextCommand() {
  return std::exchange(block_, std::nullopt);
}

CommandResult PassThrough::Command(std::string_view command, DialectContext& ctx) {
  if (followKeying_) {
    if (!ctx.keying.radioKeyed) {
      keyedBy_ = {};  // unkeyed meanwhile by the station
    }
    if (Follow(command)) {
      FollowApplicationKeying(ctx.keying, keyedBy_.transmit || keyedBy_.mox);
    }
  }
  CommandResult result;
  result.toRadio = command;
  return result;
}

bool PassThrough::Follow(std::string_view text) {
  bool keying = false;
  for (const char c : text) {
    if (c != radio_->terminator) {
      // Blanks and control characters before a command are no part of it.
      if (static_cast<unsigned char>(c) > ' ' || !command_.empty() || longCommand_) {
        command_ += c;
      }
      if (command_.size() > kLongestKeying) {
        command_.erase(0, 1);
        longCommand_ = true;
      }
      continue;
    }
    switch (KeyingOf(command_, !longCommand_)) {
      case KeyingCommand::kTransmit:
        keyedBy_.transmit = keying = true;
        break;
      case KeyingCommand::kReceive:
        keyedBy_ = {};
        keying = true;
        break;
      case KeyingCommand::kMoxOn:
        keyedBy_.mox = keying = true;
        break;
      case KeyingCommand::kMoxOff:
        keyedBy_.mox = false;
        keying = true;
        break;
      case KeyingCommand::kNone:
        break;
    }
    command_.clear();
    longCommand_ = false;
  }
  return keying;
}

}  // namespace vantorel::cat
