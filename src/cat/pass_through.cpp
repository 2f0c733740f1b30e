#include "cat/pass_through.h"

#include <array>
#include <utility>

#include "cat/message_text.h"

namespace vantorel::cat {
namespace {

// The keying an untranslated application may send, tested in this order on
// the whole block: the last that matches wins.
constexpr auto kKeyingCommands = std::to_array<std::pair<std::string_view, bool>>({
    {"MX1;", true},
    {"MX0;", false},
    {"TX;", true},
    {"RX;", false},
});

}  // namespace

std::optional<std::string> PassThrough::NextCommand() {
  return std::exchange(block_, std::nullopt);
}

CommandResult PassThrough::Command(std::string_view command, DialectContext& ctx) {
  if (followKeying_) {
    std::optional<bool> keyed;
    for (const auto& [keying, keys] : kKeyingCommands) {
      if (Contains(command, keying)) {
        keyed = keys;
      }
    }
    if (keyed) {
      FollowApplicationKeying(ctx.keying, *keyed);
    }
  }
  CommandResult result;
  result.toRadio = command;
  return result;
}

}  // namespace vantorel::cat
