// The FT-950 emulation: App 1 talks to what looks like a real Yaesu FT-950
// while the radio behind it is a Kenwood, in the radio's dialect (any of the
// models cat/radio_dialect.h knows, followed when it changes).
//
// App 1's commands come in one at a time, framed at ";" as they arrive (no
// pause before the radio). A setting goes to the radio in the model's form,
// or is kept here when the radio has no such setting, and App 1 hears
// nothing back, as from an FT-950. A read is answered exactly once, in FT-950
// form, and in the order App 1 sent its reads: from here when the answer is
// known here or the radio has no read for it (from the value last set or
// read, else the FT-950's neutral one, with a note the first time in a
// session), otherwise after the radio answers the Kenwood read it became. No
// FT-950 text ever reaches the radio as it is, and no read ever reaches it as
// a setting. The radio's auto-information reports are taken for the answer of
// a read only when their letters match, and otherwise reach App 1 (in FT-950
// form) only while App 1 has asked for auto-information.
//
// Nothing leaves Command, Answer or Overdue as an exception; malformed
// input gets "?;" where an FT-950 would answer so.
//
// Threading: not shared; one instance lives on the station's thread.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "cat/application_dialect.h"
#include "cat/ft950_local_settings.h"
#include "cat/ft950_radio_answers.h"
#include "cat/ft950_read_queue.h"
#include "cat/ft950_replies.h"
#include "cat/ft950_widths.h"

namespace vantorel::cat {

class Ft950Emulation final : public ApplicationDialect {
 public:
  // How long a read waits for the radio before App 1 is answered "?;".
  static constexpr auto kReadLimit = ft950::ReadQueue::kReadLimit;

  explicit Ft950Emulation(const RadioDialect& radio) : radio_(radio) {}

  // App 1's block is framed at ";"; a command cut by the block's end is
  // completed by the next block.
  void Take(std::string_view block) override;
  std::optional<std::string> NextCommand() override;

  // One App 1 command ending in ";" (a text with several is taken command by
  // command). App 1 hears nothing back for a setting; a read is answered now
  // or once the radio has answered. A key-down or key-up goes through the
  // context's keying.
  CommandResult Command(std::string_view command, DialectContext& ctx) override;

  // A text from the radio, taken message by message. Returns the text for
  // App 1: answers now complete, then any reports.
  std::string Answer(std::string_view radioText, DialectContext& ctx) override;

  [[nodiscard]] std::uint64_t MessagesIn(std::string_view block) const override;
  // App 1's commands go on as they come: an FT-950 client waits for each
  // answer, so nothing follows a command too closely.
  [[nodiscard]] bool PausesBeforeRadio() const override { return false; }

  // Whether App 1 still waits for an answer.
  [[nodiscard]] bool WaitingForRadio() const override { return !reads_.Empty(); }
  // Answers reads the radio has left unanswered past kReadLimit ("?;") and
  // returns the text App 1 can have now. For the station's short tick while
  // WaitingForRadio(); Command and Answer do the same on their own.
  std::string Overdue(Clock::time_point now) override;

  // The ports were closed or reopened: reads in flight, the radio's answers
  // and half a command are forgotten; App 1's settings kept here stay.
  void Reset() override;
  // Another radio: its forms from now on; App 1's settings kept here stay.
  void FollowRadio(const RadioDialect& radio) override;

  [[nodiscard]] const RadioDialect& Radio() const { return radio_.Dialect(); }

 private:
  struct Pass;  // one call of Command

  void HandleCommand(std::string_view command, Pass& pass);
  std::string HandleAnswer(std::string_view message);  // returns a report for App 1
  void Refuse() { reads_.AddAnswered(ft950::kRefused); }
  void AskRadio(ft950::Reply reply, ft950::Needs needs, std::string_view command, Pass& pass);
  void SendSettings(std::string_view radio, Pass& pass);
  // The read of a kind, naming the receive VFO where the radio's form does.
  [[nodiscard]] std::string ReadOf(RadioKey key) const;
  [[nodiscard]] char ReceiveVfo() const;

  void Fixed(const ft950::FixedCommand& row, std::string_view command, Pass& pass);
  void SelectVfo(char receive, Pass& pass);
  void TransmitOn(char transmit, Pass& pass);
  void MeterRead(std::size_t row, std::string_view command, Pass& pass);
  bool Frequency(std::string_view command, Pass& pass);
  bool Mode(std::string_view command, Pass& pass);
  bool Agc(std::string_view command, Pass& pass);
  bool Level(std::string_view command, Pass& pass);
  bool Local(std::string_view command, Pass& pass);
  // App 1's width in the mode reaches the radio in the radio's form.
  void SendWidth(std::size_t mode, Pass& pass);
  bool ClarifierStep(std::string_view command, Pass& pass);
  bool BandSelect(std::string_view command);

  [[nodiscard]] bool App1WantsReports() const;

  ft950::RadioAnswers radio_;
  std::string block_;     // App 1's block, from the last command taken on
  std::size_t next_ = 0;  // where the next command starts in it
  ft950::App1Choices choices_;
  ft950::LocalSettings settings_;
  ft950::ReadQueue reads_;
  // App 1's reads this radio cannot serve, noted once each since the ports opened.
  std::vector<std::string> noted_;
};

}  // namespace vantorel::cat
