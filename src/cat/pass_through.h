// The pass-through dialect: the application speaks the radio's own commands
// (App 1 and App 2 sharing the radio, or App 1 joined to it untranslated).
// Each block goes to the radio as it came, and the radio's text back as it
// came.
//
// With keying followed, the transmit supervision follows the application's
// keying: the last keying command it sent wins, also when a read cut it in
// two. The application owns its keying, so the time-out counts whatever its
// switch says, and an unkey keeps the count.
//
// Threading: the program's one thread.
#pragma once

#include <string>

#include "cat/application_dialect.h"

namespace vantorel::cat {

// What an application's command does to the radio's keying. Every transmit
// form keys a Kenwood radio, "TX0;" too, whatever comes before it in the
// command; only a whole "RX;" unkeys it. An FT-950's "MX1;" counts as keying
// too, and a whole "MX0;" takes back only that.
enum class KeyingCommand { kNone, kTransmit, kReceive, kMoxOn, kMoxOff };
// `tail`: the command's last characters before its terminator (at least the
// last three), without the blanks and control characters before it; `whole`:
// nothing else came before them.
KeyingCommand KeyingOf(std::string_view tail, bool whole);

class PassThrough final : public ApplicationDialect {
 public:
  PassThrough(const RadioDialect& radio, bool followKeying)
      : radio_(&radio), followKeying_(followKeying) {}

  void Take(std::string_view block) override { block_ = block; }
  std::optional<std::string> NextCommand() override;
  CommandResult Command(std::string_view command, DialectContext& ctx) override;
  std::string Answer(std::string_view radioText, DialectContext& /*ctx*/) override {
    return std::string(radioText);
  }
  [[nodiscard]] std::uint64_t MessagesIn(std::string_view block) const override {
    return radio_->MessagesIn(block);
  }
  void FollowRadio(const RadioDialect& radio) override { radio_ = &radio; }
  void Reset() override {
    command_.clear();
    longCommand_ = false;
  }

 private:
  // Follows the keying commands of `text`, in the order sent; true when
  // there was one.
  bool Follow(std::string_view text);

  const RadioDialect* radio_;
  bool followKeying_;
  std::optional<std::string> block_;
  // The application's command in hand up to its terminator: its last
  // characters (without the blanks and control characters before it), and
  // whether it had more.
  std::string command_;
  bool longCommand_ = false;
  // What keeps the radio keyed: a transmit command (until "RX;"), "MX1;"
  // (until "MX0;" or "RX;").
  struct KeyedBy {
    bool transmit = false;
    bool mox = false;
  };
  KeyedBy keyedBy_;
};

}  // namespace vantorel::cat
