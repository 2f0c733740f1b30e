#include "cat/contract_translation.h"

#include "cat/answer_translation.h"
#include "cat/message_text.h"
#include "cat/text_helpers.h"

namespace vantorel::cat {
namespace {

constexpr char kTerminator = ';';
// Longest rest of App 1's block kept after a command is cut off its front.
constexpr std::size_t kSoft1BufLimit = 1208;

}  // namespace

void ContractTranslation::Take(std::string_view block) {
  Soft1Buf_ = block;
  blockStarts_ = true;
}

std::optional<std::string> ContractTranslation::NextCommand() {
  const std::size_t end = Soft1Buf_.find(kTerminator);
  if (end == std::string::npos) {
    // Only the block's first command may be one without ";": the whole block.
    if (!blockStarts_) {
      return std::nullopt;
    }
    blockStarts_ = false;
    return Soft1Buf_;
  }
  blockStarts_ = false;
  std::string command = Soft1Buf_.substr(0, end + 1);
  Soft1Buf_ = Soft1Buf_.substr(end + 1, kSoft1BufLimit);
  return command;
}

CommandResult ContractTranslation::Command(std::string_view command, DialectContext& ctx) {
  CommandResult result;
  // App 1 expects its own command back; a power-on that is kept from the
  // radio is not echoed either.
  result.toApp = command;
  if (Ticked(ctx.powerControl) && Contains(command, "PS1;")) {
    result.toApp.clear();
  }
  const bool wasOnVfoB = translation_.app1OnVfoB;
  CommandContext context{.pendingLength = Soft1Buf_.size(),
                         .translation = translation_,
                         .keying = ctx.keying,
                         .ignore2 = ctx.app2Unused,
                         .pwrOn = ctx.powerControl,
                         .monitorTX = ctx.superviseTransmit,
                         .ports = ctx.ports};
  std::string Soft1Data(command);
  result.toRadio = ChangeInput(Soft1Data, context);
  if (context.dropPending) {
    // A remote-control program that floods the port is better resynchronised
    // than answered late: the rest of its block goes.
    Soft1Buf_.clear();
  }
  if (translation_.app1OnVfoB != wasOnVfoB) {
    result.onVfoB = translation_.app1OnVfoB;
  }
  return result;
}

std::string ContractTranslation::Answer(std::string_view radioText, DialectContext& ctx) {
  std::string answer(radioText);
  return Changeoutput(answer, ctx.ports);
}

std::uint64_t ContractTranslation::MessagesIn(std::string_view block) const {
  return CountMessages(block, kTerminator);
}

}  // namespace vantorel::cat
