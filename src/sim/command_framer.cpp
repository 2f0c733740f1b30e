#include "sim/command_framer.h"

namespace vantorel::sim {

void CommandFramer::Feed(std::string_view bytes, const CommandSink& onCommand,
                         const OverlongSink& onOverlong) {
  for (const char byte : bytes) {
    if (byte == '\r' || byte == '\n') {
      continue;
    }
    if (discarding_) {
      discarding_ = byte != ';';
      continue;
    }
    if (byte == ';') {
      pending_.push_back(byte);
      const std::string command = std::move(pending_);
      pending_.clear();
      onCommand(command);
      continue;
    }
    if (pending_.size() + 1 >= kLongestCommand) {
      // No room left for this byte and the ';' that must end the command.
      pending_.clear();
      discarding_ = true;
      onOverlong();
      continue;
    }
    pending_.push_back(byte);
  }
}

void CommandFramer::Reset() {
  pending_.clear();
  discarding_ = false;
}

}  // namespace vantorel::sim
