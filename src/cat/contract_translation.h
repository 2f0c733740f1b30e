// The contract translation as App 1's dialect: App 1 is a remote-control
// program set up for a Yaesu FT-950, the radio a Kenwood. Each of App 1's
// commands goes through ChangeInput to the radio and comes back to App 1 as
// App 1 sent it (the echo the program expects); the radio's text goes through
// Changeoutput to App 1.
//
// App 1's block is cut at ";": Soft1Buf holds what is not cut yet, replaced
// (not extended) by each new block, so a command split across two blocks is
// handled as two pieces. A block without ";" is one command.
//
// Threading: the program's one thread.
#pragma once

#include <string>

#include "cat/application_dialect.h"
#include "cat/command_translation.h"

namespace vantorel::cat {

class ContractTranslation final : public ApplicationDialect {
 public:
  void Take(std::string_view block) override;
  std::optional<std::string> NextCommand() override;
  CommandResult Command(std::string_view command, DialectContext& ctx) override;
  std::string Answer(std::string_view radioText, DialectContext& ctx) override;
  [[nodiscard]] std::uint64_t MessagesIn(std::string_view block) const override;

  // App 1's text not yet cut into commands.
  [[nodiscard]] const std::string& Soft1Buf() const { return Soft1Buf_; }
  [[nodiscard]] const TranslationState& State() const { return translation_; }

 private:
  std::string Soft1Buf_;
  bool blockStarts_ = false;  // the block taken last has not given a command yet
  TranslationState translation_;
};

}  // namespace vantorel::cat
