// Receive framing and routing: what happens when characters arrive on one of
// the three ports. GetData1 handles App 1's port, GetData2 App 2's, GetData3
// the radio's. Each pass reads what is waiting, decides from the mode, the
// options and the two pending-answer flags where the text goes, and writes it
// to the other ports. App 1's text goes through the application dialect of the
// mode (chosen once, when the options change), which frames it, translates it
// or not and answers; the radio's text is framed by the radio's dialect.
//
// Threading: the program's one thread. The passes yield to the event loop
// before they read, while an output queue drains, during the 10 ms pause and
// between translated commands, so other handlers run in their middle. Each
// pass has a re-entry guard (InGetData1..3): a nested receive event of the
// same port returns at once and its characters stay waiting for the running
// pass or the next event. The pending-answer flags Soft1Waiting and
// Soft2Waiting are the only arbitration between the two applications' writes
// to the radio.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cat/application_dialect.h"
#include "cat/radio_dialect.h"
#include "cat/radio_learning.h"
#include "cat/standard_client_sign.h"
#include "station/applications.h"
#include "station/capture.h"
#include "station/event_loop.h"
#include "station/line_settings.h"
#include "station/options.h"
#include "station/port_slots.h"
#include "station/station_events.h"
#include "station/station_state.h"

namespace vantorel::station {

// The pause before a write to the radio: the Kenwood radio drops a command that
// follows the previous one too closely.
inline constexpr std::chrono::milliseconds kRadioPause{10};

// How long a pass waits for an output queue to empty before it writes behind
// it. A port whose far end reads nothing never empties: the pass then carries
// on, and later passes do not wait on it again until it moves.
inline constexpr std::chrono::milliseconds kPassDrainLimit{2000};
inline constexpr std::chrono::milliseconds kPassDrainStall{500};

// How long the radio's pass waits, without yielding, for the next character of
// an answer whose terminator has not come yet: a few milliseconds, plus what a USB
// serial adapter may hold back (it passes on a partly filled buffer only every
// 16 ms), plus three character times at the radio's line speed (at 1200 baud
// one character alone takes 9 ms).
inline constexpr std::chrono::milliseconds kPartialAnswerWait{5};
inline constexpr std::chrono::milliseconds kUsbHoldBack{16};
inline constexpr int kPartialAnswerCharacters = 3;
// Half an answer is kept for the next pass (its end may come late over a slow
// link) for this long; older, or longer than any answer, it is noise and goes.
inline constexpr std::chrono::milliseconds kPartialAnswerLimit{1000};
inline constexpr std::size_t kLongestRadioAnswer = 1024;

// App 2's text held while App 1 awaits the radio keeps at most this much (the
// newest whole messages): a radio that never answers must not make it grow
// without end.
inline constexpr std::size_t kHeldApp2Limit = 64 * 1024;

// The longest gap between two characters of one radio answer at the radio's
// line speed.
std::chrono::microseconds PartialAnswerGap(const LineSettings& radioLine);

// What the passes work on; the station owns all of it.
struct RouteContext {
  const Options& options;
  const Mode& mode;
  StationState& state;
  PortSlots& ports;
  EventLoop& loop;
  StationEvents& events;
  Capture& capture;
  const LineSettings& radioLine;
  // The radio dialect in hand: the receiver changes it when it learns the radio.
  const cat::RadioDialect*& radio;
  // The extra applications: the radio's messages reach them first.
  Applications& applications;
};

class Receiver {
 public:
  explicit Receiver(RouteContext context);

  // A failure ends the pass with "error " and its description; the next
  // receive event starts afresh.
  void GetData1();
  void GetData2();
  void GetData3();

  // A port was closed or replaced: half an answer from the radio is gone, and
  // so are App 1's reads in flight and the rest of its last block.
  void Forget(PortRole role);

  // App 1's reads the radio has not answered in time get their answer (a
  // short timer calls this while any wait).
  void AnswerOverdueReads();
  // Whether that short timer has anything to do: App 1's reads waiting for
  // the radio, or the radio's model being learnt (which ends on time).
  [[nodiscard]] bool OverdueReadsPossible() const {
    return learning_.Learning() || App1Dialect().WaitingForRadio();
  }

  // App 1's dialect in the mode as it stands.
  [[nodiscard]] cat::ApplicationDialect& App1Dialect() const;

  // The radio's port is open, or the mode or the pinned model changed: with
  // App 1 emulating, the radio dialect in hand becomes the pinned model, or is
  // learned from the radio, its reads written now; App 1's commands wait in
  // its dialect until the radio has answered or kept silent too long. Every
  // application dialect follows the radio dialect in hand.
  void ChooseRadio();

 private:
  void App1Pass();
  void App2Pass();
  void RadioPass();
  void App1NoTranslation(const std::string& block);
  // App 1's block through its dialect, command by command, while the mode
  // stays as it was.
  void ForwardApp1(const std::string& block);
  // App 1's commands waiting in its dialect, one by one, while the mode stays
  // `mode` and the radio is not being learned.
  void SendApp1Commands(Mode mode);
  // The same for the commands that waited while the radio was learned, under
  // App 1's pass guard.
  void SendWaitingApp1Commands();
  void SendHeldApp1Commands();
  [[nodiscard]] cat::DialectContext DialectContext();
  void RouteRadioText(const std::string& message);
  // The radio's message while it is learned: true when it was an answer to
  // the learning's reads.
  bool TakeLearning(const std::string& message);
  // Learning that has waited too long ends with what it has.
  void ExpireLearning();
  // The radio dialect in hand is `radio` now; `why` goes to the log.
  void RadioKnown(const cat::RadioDialect& radio, const std::string& why);

  // Reads what is waiting until the port is found empty, letting other
  // handlers run before each batch.
  std::string ReadBlock(PortRole role);
  // The radio's answer up to its terminator, or nothing while that has not come.
  std::optional<std::string> ReadRadioAnswer(SerialPort& radio);
  // Break off, the radio's output queue emptied (bounded), then the pause.
  void PrepareRadioWrite();
  // Lets events run while the open port still has characters to send, for at
  // most kPassDrainLimit, and not at all while it has been stuck since last time.
  void DrainOutput(PortRole role);
  void Monitor(std::string_view block);
  template <class Pass>
  void Reporting(bool& guard, Pass pass);

  RouteContext ctx_;
  // Half a radio answer left waiting: since when, and how long it was.
  struct Partial {
    Clock::time_point since;
    std::size_t length;
  };
  std::optional<Partial> partial_;
  // App 1's dialect for each mode, made once; App1Dialect() picks by mode.
  std::array<std::unique_ptr<cat::ApplicationDialect>, 4> app1Dialects_;
  cat::RadioLearning learning_;
  // A standard FT-950 program on App 1 while translating for the
  // remote-control program: told once.
  cat::StandardClientSign standardClient_;
  // Per port: what was still unsent when its queue last stopped moving.
  std::array<std::optional<std::size_t>, 3> stalledAt_{};
};

}  // namespace vantorel::station
