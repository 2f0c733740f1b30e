#include "station/receive.h"

#include <algorithm>
#include <exception>
#include <string>
#include <string_view>

#include "cat/answer_translation.h"
#include "cat/command_translation.h"
#include "cat/text_helpers.h"
#include "station/monitor.h"

namespace vantorel::station {
namespace {

// Longest rest of App 1's block kept after a command is cut off its front.
constexpr std::size_t kSoft1BufLimit = 1208;
// App 1's latest text is shown only while it is short enough to read.
constexpr std::size_t kLatestTextLimit = 10;

std::size_t Index(PortRole role) { return static_cast<std::size_t>(role); }

// The messages in a block for the traffic count: its ";"-ended commands, and
// a text without any ";" as one.
std::uint64_t MessagesIn(std::string_view block) {
  const auto ends = static_cast<std::uint64_t>(std::count(block.begin(), block.end(), ';'));
  return ends > 0 || block.empty() ? ends : 1;
}

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

// A receive pass's re-entry guard: only the pass that set the flag clears it,
// on every way out.
class PassGuard {
 public:
  explicit PassGuard(bool& flag) : flag_(flag), entered_(!flag) {
    if (entered_) {
      flag_ = true;
    }
  }
  ~PassGuard() {
    if (entered_) {
      flag_ = false;
    }
  }
  PassGuard(const PassGuard&) = delete;
  PassGuard& operator=(const PassGuard&) = delete;
  [[nodiscard]] bool Entered() const { return entered_; }

 private:
  bool& flag_;
  bool entered_;
};

}  // namespace

std::chrono::microseconds PartialAnswerGap(std::string_view radioSettings) {
  double baud = cat::LeadingNumber(radioSettings.substr(0, radioSettings.find(',')));
  if (!(baud > 0)) {
    baud = 9600;
  }
  // Start bit, eight data bits, parity and a stop bit: eleven bits at most.
  constexpr double kBitsPerCharacter = 11;
  const auto character = std::chrono::microseconds(
      static_cast<long long>(std::min(1e9, kBitsPerCharacter * 1e6 / baud)));
  return kPartialAnswerWait + kUsbHoldBack + kPartialAnswerCharacters * character;
}

// --- the passes and their failures -------------------------------------------

// Runs a pass under its guard and turns any failure into the receive path's
// message, so nothing escapes into the event loop; the state keeps what it
// held.
template <class Pass>
void Receiver::Reporting(bool& guard, Pass pass) {
  const PassGuard entered(guard);
  if (!entered.Entered()) {
    return;
  }
  try {
    (this->*pass)();
  } catch (const std::exception& e) {
    ctx_.events.Message(Topic::Routing, std::string("error ") + e.what());
  } catch (...) {
    ctx_.events.Message(Topic::Routing, "error Unexpected failure");
  }
}

void Receiver::GetData1() { Reporting(ctx_.state.InGetData1, &Receiver::App1Pass); }
void Receiver::GetData2() { Reporting(ctx_.state.InGetData2, &Receiver::App2Pass); }
void Receiver::GetData3() { Reporting(ctx_.state.InGetData3, &Receiver::RadioPass); }

// --- common pieces ------------------------------------------------------------

std::string Receiver::ReadBlock(PortRole role) {
  const std::shared_ptr<SerialPort> port = ctx_.ports.Get(role);
  std::string block;
  while (port && port->Waiting() > 0) {
    ctx_.loop.DoEvents();
    // Characters that came during DoEvents are read in this batch.
    block += port->ReadWaiting();
  }
  return block;
}

void Receiver::DrainOutput(PortRole role) {
  std::optional<std::size_t>& stalled = stalledAt_[Index(role)];
  const std::size_t unsent = ctx_.ports.Unsent(role);
  if (stalled && unsent >= *stalled) {
    return;  // still stuck since the last wait: the text queues behind the rest
  }
  stalled.reset();
  const bool drained = WaitForDrain(
      ctx_.loop, [this, role] { return ctx_.ports.Unsent(role); }, kDrainLimit, kDrainStall);
  if (!drained && ctx_.ports.IsOpen(role)) {
    stalled = ctx_.ports.Unsent(role);
  }
}

void Receiver::PrepareRadioWrite() {
  if (const auto radio = ctx_.ports.Get(PortRole::Radio)) {
    radio->Break(false);
  }
  DrainOutput(PortRole::Radio);
  ctx_.loop.Wait(kRadioPause);
}

void Receiver::Monitor(std::string_view block) {
  // One piece per block: the cost follows the piece, not the monitor's size.
  if (ctx_.options.monitorHex) {
    ctx_.events.Monitor(HexForm(block));
  } else {
    ctx_.events.Monitor(block);
  }
}

// --- GetData1: App 1's port ---------------------------------------------------

void Receiver::App1Pass() {
  StationState& state = ctx_.state;
  const std::string block = ReadBlock(PortRole::App1);
  state.app1Messages += MessagesIn(block);
  state.Soft1Data = block;
  // Captured before any routing test: dropped blocks are in the file too.
  ctx_.capture.App1Block(block);

  if (ctx_.mode == Mode::NoTranslation) {
    App1NoTranslation(block);
    return;
  }

  // App 2 is talking to the radio (its text waits, or its answer is pending):
  // App 1's text is dropped rather than interleaved with App 2's.
  if (Ticked(ctx_.options.ignoreFromApp1) || ctx_.ports.Waiting(PortRole::App2) > 0 ||
      state.Soft2Waiting) {
    return;
  }

  ctx_.loop.DoEvents();
  ctx_.events.LatestText(PortRole::App1,
                         state.Soft1Data.size() > kLatestTextLimit ? "" : state.Soft1Data);

  if (ctx_.ports.IsOpen(PortRole::Radio)) {
    PrepareRadioWrite();
    if (ctx_.mode == Mode::Translating && ctx_.options.profile == Profile::Ft950Emulation) {
      EmulateFt950(state.Soft1Data);
    } else if (ctx_.mode == Mode::Translating) {
      TranslateApp1Commands();
    } else {
      // Sharing: App 1's text goes to the radio as it came, without echo.
      ctx_.ports.Write(PortRole::Radio, state.Soft1Data);
      ctx_.loop.DoEvents();
    }
  }

  // Set even when the radio port was closed: App 2 then waits for a radio text.
  state.Soft1Data.clear();
  state.Soft1Waiting = true;
}

void Receiver::App1NoTranslation(const std::string& block) {
  ctx_.events.LatestText(PortRole::App1, block);
  ctx_.ports.Write(PortRole::Radio, block);
  // App 1 speaks the radio's own dialect here, and the transmit supervision
  // follows its keying whatever the time-out switch says. The tests run on the
  // whole block in this order, so the last matching one wins; a disarm keeps
  // the count.
  std::optional<bool> keyed;
  for (const auto& [command, keys] : {std::pair{"MX1;", true}, std::pair{"MX0;", false},
                                      std::pair{"TX;", true}, std::pair{"RX;", false}}) {
    if (Contains(block, command)) {
      keyed = keys;
    }
  }
  if (keyed) {
    ctx_.state.keying.TXOn = *keyed;
    ctx_.state.keying.radioKeyed = *keyed;
  }
  if (ctx_.options.monitor) {
    Monitor(block);
  }
}

void Receiver::TranslateApp1Commands() {
  StationState& state = ctx_.state;
  state.Soft1Buf = state.Soft1Data;
  if (ctx_.options.monitor) {
    Monitor(state.Soft1Data);
  }
  for (;;) {
    ctx_.loop.DoEvents();
    // One ";"-ended command off the front; a block without ";" is handled whole.
    if (const auto end = state.Soft1Buf.find(';'); end != std::string::npos) {
      state.Soft1Data = state.Soft1Buf.substr(0, end + 1);
      state.Soft1Buf = state.Soft1Buf.substr(end + 1, kSoft1BufLimit);
    }
    // App 1 expects its own command back; a power-on that is kept from the
    // radio is not echoed either.
    std::string echo = state.Soft1Data;
    if (Contains(echo, "PS1;") && Ticked(ctx_.options.powerControl)) {
      echo.clear();
    }
    state.Soft1Data = ChangeInput();
    if (ctx_.options.monitor) {
      ctx_.events.TranslatedText(state.Soft1Data);
    }
    ctx_.ports.Write(PortRole::Radio, state.Soft1Data);
    ctx_.loop.DoEvents();
    if (!Ticked(ctx_.options.app2Unused)) {
      break;  // App 2 came into use meanwhile: no more translating
    }
    ctx_.ports.Write(PortRole::App1, echo);
    if (!Contains(state.Soft1Buf, ";")) {
      break;
    }
  }
}

// App 1 is a standard FT-950 client: each command goes through the emulation,
// which answers App 1 itself (no echo) and gives the radio Kenwood commands.
// A command cut by the block's end is completed by the next block.
void Receiver::EmulateFt950(std::string block) {
  constexpr std::size_t kLongestRest = 64;
  StationState& state = ctx_.state;
  if (ctx_.options.monitor) {
    Monitor(block);
  }
  block.insert(0, app1Rest_);
  app1Rest_.clear();
  std::size_t start = 0;
  for (std::size_t end = block.find(';'); end != std::string::npos;
       start = end + 1, end = block.find(';', start)) {
    ctx_.loop.DoEvents();
    const cat::EmulationContext context{.powerControl = ctx_.options.powerControl,
                                        .radioKeyed = state.keying.radioKeyed};
    const cat::EmulatedCommand result = emulation_.Command(
        std::string_view(block).substr(start, end + 1 - start), context, ctx_.loop.Now());
    ctx_.ports.Write(PortRole::App1, result.toApp1);
    if (ctx_.options.monitor) {
      ctx_.events.TranslatedText(result.toRadio);
    }
    ctx_.ports.Write(PortRole::Radio, result.toRadio);
    ApplyKeying(result.keying);
    if (!Ticked(ctx_.options.app2Unused)) {
      return;  // App 2 came into use meanwhile: no more translating
    }
  }
  if (block.size() - start <= kLongestRest) {
    app1Rest_ = block.substr(start);
  }
}

void Receiver::ApplyKeying(cat::Keying keying) {
  switch (keying) {
    case cat::Keying::KeyDown:
      cat::KeyDown(ctx_.state.keying, Ticked(ctx_.options.superviseTransmit));
      break;
    case cat::Keying::KeyUp:
      cat::KeyUp(ctx_.state.keying);
      break;
    case cat::Keying::Unchanged:
      break;
  }
}

void Receiver::AnswerOverdueReads() {
  if (emulation_.WaitingForRadio()) {
    ctx_.ports.Write(PortRole::App1, emulation_.ExpireReads(ctx_.loop.Now()));
  }
}

std::string Receiver::ChangeInput() {
  StationState& state = ctx_.state;
  const bool wasOnVfoB = state.translation.app1OnVfoB;
  cat::CommandContext context{.pendingLength = state.Soft1Buf.size(),
                              .translation = state.translation,
                              .keying = state.keying,
                              .ignore2 = Ticked(ctx_.options.app2Unused),
                              .pwrOn = ctx_.options.powerControl,
                              .monitorTX = Ticked(ctx_.options.superviseTransmit),
                              .ports = ctx_.ports};
  std::string translated = cat::ChangeInput(state.Soft1Data, context);
  if (context.dropPending) {
    // A remote-control program that floods the port is better resynchronised
    // than answered late: the rest of its block goes.
    state.Soft1Buf.clear();
  }
  if (state.translation.app1OnVfoB != wasOnVfoB) {
    ctx_.events.App1VfoChanged(state.translation.app1OnVfoB);
  }
  return translated;
}

// --- GetData2: App 2's port ---------------------------------------------------

void Receiver::App2Pass() {
  StationState& state = ctx_.state;
  const std::string block = ReadBlock(PortRole::App2);
  ctx_.loop.Wait(kRadioPause);
  state.Soft2Data += block;

  // Held while App 2 is not in use, or while App 1 is talking to the radio; it
  // goes on with later text at App 2's next receive event.
  if (Ticked(ctx_.options.app2Unused) || ctx_.ports.Waiting(PortRole::App1) > 0 ||
      state.Soft1Waiting) {
    return;
  }
  ctx_.events.LatestText(PortRole::App2, state.Soft2Data);
  if (!ctx_.ports.IsOpen(PortRole::Radio)) {
    return;
  }
  PrepareRadioWrite();
  ctx_.ports.Write(PortRole::Radio, state.Soft2Data);
  state.Soft2Data.clear();
  state.Soft2Waiting = true;
}

// --- GetData3: the radio's port -----------------------------------------------

std::optional<std::string> Receiver::ReadRadioAnswer(SerialPort& radio) {
  const Clock::time_point now = ctx_.loop.Now();
  // Half an answer kept too long, or longer than any answer, is noise.
  if (partial_ &&
      (partial_->length > kLongestRadioAnswer || now - partial_->since >= kPartialAnswerLimit)) {
    radio.Discard(std::min(partial_->length, radio.Waiting()));
    partial_.reset();
  }
  if (radio.Waiting() == 0) {
    return std::string();  // nothing waits: an empty text is routed
  }
  ctx_.loop.DoEvents();
  // No yielding while half an answer is in hand: another handler must not run
  // between its characters.
  std::optional<std::string> answer =
      radio.ReadThrough(';', PartialAnswerGap(ctx_.radioSettings), now + kPartialAnswerLimit);
  if (answer) {
    partial_.reset();
  } else if (radio.Waiting() > 0) {
    // Its ";" may still come (a slow network link): kept for the next pass.
    const Clock::time_point since = partial_ ? partial_->since : now;
    partial_ = Partial{since, radio.Waiting()};
  }
  return answer;
}

void Receiver::RadioPass() {
  const std::shared_ptr<SerialPort> radio = ctx_.ports.Get(PortRole::Radio);
  if (!radio) {
    return;
  }
  // Framed: one answer per pass, the characters after its ";" stay waiting
  // for the next pass. Unframed: whatever waits is one text.
  std::string message;
  if (Ticked(ctx_.options.frameRadioText)) {
    std::optional<std::string> answer = ReadRadioAnswer(*radio);
    if (!answer) {
      return;  // half an answer: nothing routed, no flag cleared
    }
    message = std::move(*answer);
  } else {
    message = ReadBlock(PortRole::Radio);
  }
  ctx_.state.radioMessages += MessagesIn(message);
  ctx_.capture.RadioBlock(message);
  RouteRadioText(message);
}

void Receiver::RouteRadioText(const std::string& message) {
  PortSlots& ports = ctx_.ports;
  ctx_.events.LatestText(PortRole::Radio, message);
  if (ctx_.mode == Mode::NoTranslation) {
    ports.Write(PortRole::App1, message);
    return;
  }

  if (!Ticked(ctx_.options.app2Unused) && ports.IsOpen(PortRole::App2)) {
    DrainOutput(PortRole::App2);
    if (!Ticked(ctx_.options.ignoreToApp2)) {
      ports.Write(PortRole::App2, message);
    }
  }

  if (!Ticked(ctx_.options.ignoreToApp1) && ports.IsOpen(PortRole::App1)) {
    DrainOutput(PortRole::App1);
    if (Ticked(ctx_.options.app2Unused) && ctx_.options.profile == Profile::Ft950Emulation) {
      ports.Write(PortRole::App1, emulation_.Answer(message, ctx_.loop.Now()));
    } else if (Ticked(ctx_.options.app2Unused)) {
      std::string answer = message;
      ports.Write(PortRole::App1, cat::Changeoutput(answer, ports));
    } else {
      ports.Write(PortRole::App1, message);
    }
  }

  // Whoever the text answered, both applications may talk to the radio again.
  ctx_.state.Soft1Waiting = false;
  ctx_.state.Soft2Waiting = false;
}

}  // namespace vantorel::station
