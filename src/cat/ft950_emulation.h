// The FT-950 emulation: App 1 talks to what looks like a real Yaesu FT-950
// while the radio behind it is a Kenwood (TS-590S/SG commands and answers).
//
// App 1's commands come in one at a time. A setting goes to the radio in
// Kenwood form, or is kept here when the radio has no such setting, and App 1
// hears nothing back, as from an FT-950. A read is answered exactly once, in
// FT-950 form, and in the order App 1 sent its reads: from here when the
// answer is known here, otherwise after the radio answers the Kenwood read it
// became. No FT-950 text ever reaches the radio as it is, and no read ever
// reaches it as a setting. The radio's auto-information reports are taken for
// the answer of a read only when their letters match, and otherwise reach App
// 1 (in FT-950 form) only while App 1 has asked for auto-information.
//
// Nothing leaves Command, Answer or ExpireReads as an exception; malformed
// input gets "?;" where an FT-950 would answer so.
//
// Threading: not shared; one instance lives on the bridge's thread.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "cat/ft950_local_settings.h"
#include "cat/ft950_radio_answers.h"
#include "cat/ft950_read_queue.h"
#include "cat/ft950_replies.h"

namespace vantorel::cat {

// What a command did to the radio's transmitter: the bridge arms or disarms its
// transmit time-out accordingly.
enum class Keying { Unchanged, KeyDown, KeyUp };

// The window state a command depends on.
struct EmulationContext {
  // The Power On/Off box: 1 ticked keeps App 1's "PS1;" from the radio (the
  // operator switches the radio on at the station); 0 clear and 2 greyed pass it.
  int powerControl = 1;
  // Whether the bridge has keyed the radio: App 1's transmit reads answer from it.
  bool radioKeyed = false;
};

struct EmulatedCommand {
  std::string toRadio;  // Kenwood commands for the radio now ("" for none)
  std::string toApp1;   // FT-950 text App 1 gets now ("" for none)
  Keying keying = Keying::Unchanged;
};

class Ft950Emulation {
 public:
  using Clock = std::chrono::steady_clock;

  // How long a read waits for the radio before App 1 is answered "?;".
  static constexpr auto kReadLimit = ft950::ReadQueue::kReadLimit;

  // One App 1 command ending in ";" (a text with several is taken command by
  // command; characters after the last ";" are left for the caller to complete).
  EmulatedCommand Command(std::string_view command, const EmulationContext& ctx,
                          Clock::time_point now);

  // One message from the radio, framed at ";" (a text with several is taken
  // message by message). Returns the text for App 1: answers now complete,
  // then any reports.
  std::string Answer(std::string_view radioMessage, Clock::time_point now);

  // Answers reads the radio has left unanswered past kReadLimit ("?;") and
  // returns the text App 1 can have now. For the bridge's timer while
  // WaitingForRadio(); Command and Answer do the same on their own.
  std::string ExpireReads(Clock::time_point now);

  // Whether App 1 still waits for an answer.
  [[nodiscard]] bool WaitingForRadio() const { return !reads_.Empty(); }

  // The ports were closed or reopened: reads in flight and the radio's
  // answers are forgotten; App 1's settings kept here stay.
  void Reset();

 private:
  struct Pass;  // one call of Command

  void HandleCommand(std::string_view command, Pass& pass);
  std::string HandleAnswer(std::string_view message);  // returns a report for App 1
  void Refuse() { reads_.AddAnswered(ft950::kRefused); }
  void AskRadio(ft950::Reply reply, ft950::Needs needs, Pass& pass);
  void SendSettings(std::string_view radio, Pass& pass);

  void Fixed(const ft950::FixedCommand& row, Pass& pass);
  void MeterRead(std::size_t row, Pass& pass);
  bool Frequency(std::string_view command, Pass& pass);
  bool Mode(std::string_view command, Pass& pass);
  bool Agc(std::string_view command, Pass& pass);
  bool Level(std::string_view command, Pass& pass);
  bool Local(std::string_view command);
  bool ClarifierStep(std::string_view command, Pass& pass);
  bool BandSelect(std::string_view command);

  [[nodiscard]] bool App1WantsReports() const;

  ft950::RadioAnswers radio_;
  ft950::App1Choices choices_;
  ft950::LocalSettings settings_;
  ft950::ReadQueue reads_;
};

}  // namespace vantorel::cat
