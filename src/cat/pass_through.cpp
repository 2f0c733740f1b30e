#include "cat/pass_through.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vantorel::cat {
namespace {

// The keying an untranslated application may send. Every transmit form keys
// a Kenwood radio, "TX0;" too, whatever comes before it in the command; only
// a whole "RX;" unkeys it. An FT-950's "MX1;" counts as keying too, and its
// "MX0;" takes back only that.
constexpr auto kTransmits = std::to_array<std::string_view>({"TX", "TX0", "TX1", "TX2"});
constexpr std::string_view kReceive = "RX";
constexpr std::string_view kMoxOn = "MX1";
constexpr std::string_view kMoxOff = "MX0";
constexpr std::size_t kLongestKeying = 3;

}  // namespace

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
    const std::string_view command = command_;
    const bool whole = !longCommand_;
    if (std::any_of(kTransmits.begin(), kTransmits.end(),
                    [&](std::string_view form) { return command.ends_with(form); })) {
      keyedBy_.transmit = keying = true;
    } else if (whole && command == kReceive) {
      keyedBy_ = {};
      keying = true;
    } else if (command.ends_with(kMoxOn)) {
      keyedBy_.mox = keying = true;
    } else if (whole && command == kMoxOff) {
      keyedBy_.mox = false;
      keying = true;
    }
    command_.clear();
    longCommand_ = false;
  }
  return keying;
}

}  // namespace vantorel::cat
