// Receive framing and routing: what happens when characters arrive on one of
// the three ports. GetData1 handles App 1's port, GetData2 App 2's, GetData3
// the radio's. Each reads what is waiting, decides from the option boxes and
// the two pending-answer flags where the text goes, translates it or not, and
// writes it to the other ports.
//
// Threading: the program's one thread. The passes yield to the event loop while
// they read, while an output queue drains, during the 10 ms pause and between
// translated commands, so other handlers run in their middle. Each pass has a
// re-entry guard (InGetData1..3): a nested receive event of the same port
// returns at once and its characters stay queued for the running pass or the
// next event. The pending-answer flags Soft1Waiting and Soft2Waiting are the
// only arbitration between the two applications' writes to the radio.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "bridge/capture.h"
#include "bridge/ports.h"
#include "cat/cat_ports.h"
#include "cat/command_translation.h"
#include "model/catmux_model.h"
#include "model/platform.h"

namespace vantorel::bridge {

// The pause before a write to the radio: the Kenwood radio drops a command that
// follows the previous one too closely.
inline constexpr std::chrono::milliseconds kRadioPause{10};

// How long a pass waits for an output queue to empty before it writes behind
// it. A port whose far end reads nothing (a virtual port with no program on
// it) never empties; the pass then carries on and queues its text after the
// rest instead of hanging the bridge.
inline constexpr std::chrono::milliseconds kDrainLimit{2000};

// How long GetData3 waits, without yielding, for the next character of a radio
// answer whose ";" has not come yet, before it gives the partial answer up: a
// few milliseconds, plus what a USB serial adapter may hold back (it passes on
// a partly filled buffer only every 16 ms), plus three character times at the
// radio's line speed (at 1200 baud one character alone takes 9 ms).
inline constexpr std::chrono::milliseconds kPartialAnswerWait{5};
inline constexpr std::chrono::milliseconds kUsbHoldBack{16};
inline constexpr int kPartialAnswerCharacters = 3;
// However the characters trickle in, one pass gives up a partial answer after
// this long: a line that carries noise without any ";" (a wrong speed) must
// not keep the radio's pass, and the pending flags, busy for ever.
inline constexpr std::chrono::milliseconds kPartialAnswerPassLimit{1000};
// The same waits counted in polls of the receive queue, for a clock that does
// not move while nothing yields (never reached on a real clock).
inline constexpr long kPartialAnswerPolls = 1'000'000;

// The longest gap between two characters of one radio answer at the speed the
// Baud box names (an unreadable speed counts as 9600 baud).
std::chrono::microseconds PartialAnswerGap(std::string_view baudText);

// How long a pass waits for an output queue that stops emptying.
inline constexpr std::chrono::milliseconds kDrainStall{500};

class Receiver {
 public:
  Receiver(model::CatmuxModel& model, const Ports& ports, model::EventLoop& loop,
           model::MessageBoxes& boxes, Capture& capture, cat::CatPorts& catPorts);

  // The receive events: code 2 (characters received) runs the port's receive
  // procedure, every other code is ignored. No failure leaves them.
  void MSComm1_OnComm();
  void MSComm2_OnComm();
  void MSComm3_OnComm();

  // The receive procedures. A failure ends the pass with "error " and its
  // description in a message box; the next receive event starts afresh.
  void GetData1();
  void GetData2();
  void GetData3();

 private:
  void App1Pass();
  void App2Pass();
  void RadioPass();
  void App1NoTranslation(const std::string& block);
  void TranslateApp1Commands();
  std::string ChangeInput();

  // Reads what is waiting until the queue is found empty (see ReadWaiting).
  std::string ReadBlock(SerialPort& port);
  // Break off, the radio's output queue emptied (bounded), then the pause.
  void PrepareRadioWrite();
  // Processes events while the open port still has characters to send, for at
  // most kDrainLimit, and less when the queue stops emptying (kDrainStall).
  void DrainOutput(SerialPort& port);
  // Waits without yielding for a further radio character; false when none
  // came within the gap the line speed allows, or the pass ran out of time.
  bool AwaitRestOfRadioAnswer(model::Clock::time_point passDeadline);
  template <class Step>
  void Reporting(Step&& step);

  model::CatmuxModel& model_;
  Ports ports_;
  model::EventLoop& loop_;
  model::MessageBoxes& boxes_;
  Capture& capture_;
  cat::CatPorts& catPorts_;
  cat::CommandTranslator translator_;
};

}  // namespace vantorel::bridge
