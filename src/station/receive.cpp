#include "station/receive.h"

#include <algorithm>
#include <exception>
#include <string>
#include <string_view>

#include "station/monitor.h"

namespace vantorel::station {
namespace {

constexpr std::string_view kStandardClientAdvice =
    "App 1 looks like a standard FT-950 program: choose \"Translating, FT-950 emulation\"";

// App 1's latest text is shown only while it is short enough to read.
constexpr std::size_t kLatestTextLimit = 10;

std::size_t Index(PortRole role) { return static_cast<std::size_t>(role); }

cat::DialectKind DialectOf(Mode mode) {
  switch (mode) {
    case Mode::Translating:
      return cat::DialectKind::ContractTranslation;
    case Mode::Emulating:
      return cat::DialectKind::Emulation;
    case Mode::Sharing:
      return cat::DialectKind::PassThrough;
    case Mode::NoTranslation:
      break;
  }
  return cat::DialectKind::PassThroughKeying;
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

std::chrono::microseconds PartialAnswerGap(const LineSettings& radioLine) {
  // Start bit, eight data bits, parity and a stop bit: eleven bits at most.
  constexpr long long kBitsPerCharacter = 11;
  const auto character =
      std::chrono::microseconds(kBitsPerCharacter * 1'000'000 / std::max(1, radioLine.baud));
  return kPartialAnswerWait + kUsbHoldBack + kPartialAnswerCharacters * character;
}

Receiver::Receiver(RouteContext context) : ctx_(context) {
  for (const Mode mode : {Mode::Translating, Mode::Emulating, Mode::Sharing, Mode::NoTranslation}) {
    app1Dialects_[static_cast<std::size_t>(mode)] = cat::MakeDialect(DialectOf(mode), *ctx_.radio);
  }
}

cat::ApplicationDialect& Receiver::App1Dialect() const {
  return *app1Dialects_[static_cast<std::size_t>(ctx_.mode)];
}

void Receiver::Forget(PortRole role) {
  if (role == PortRole::Radio) {
    partial_.reset();
  }
  if (role != PortRole::App2) {
    for (const auto& dialect : app1Dialects_) {
      dialect->Reset();
    }
  }
  if (role == PortRole::App1) {
    standardClient_.Reset();
  }
}

cat::DialectContext Receiver::DialectContext() {
  const Options& options = ctx_.options;
  return {.powerControl = options.powerControl,
          .superviseTransmit = Ticked(options.superviseTransmit),
          .app2Unused = Ticked(options.app2Unused),
          .keying = ctx_.state.keying,
          .ports = ctx_.ports,
          .now = ctx_.loop.Now()};
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
void Receiver::SendWaitingApp1Commands() {
  Reporting(ctx_.state.InGetData1, &Receiver::SendHeldApp1Commands);
}
void Receiver::SendHeldApp1Commands() { SendApp1Commands(ctx_.mode); }

// --- common pieces ------------------------------------------------------------

std::string Receiver::ReadBlock(PortRole role) {
  const std::shared_ptr<SerialPort> port = ctx_.ports.Get(role);
  std::string block;
  // Untranslated text goes on in whatever pieces it comes: what waits now is
  // taken without a turn of the event loop first.
  if (port && ctx_.mode == Mode::NoTranslation) {
    block = port->ReadWaiting();
  }
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
      ctx_.loop, [this, role] { return ctx_.ports.Unsent(role); }, kPassDrainLimit,
      kPassDrainStall);
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
  state.app1Messages += App1Dialect().MessagesIn(block);
  state.Soft1Data = block;
  // Captured before any routing test: dropped blocks are in the file too.
  ctx_.capture.App1Block(block);

  switch (ctx_.mode) {
    case Mode::NoTranslation:
      App1NoTranslation(block);
      return;
    case Mode::Translating:
    case Mode::Emulating:
    case Mode::Sharing:
      break;
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
    if (App1Dialect().PausesBeforeRadio()) {
      PrepareRadioWrite();
    }
    ForwardApp1(state.Soft1Data);
  }

  // Set even when the radio port was closed: App 2 then waits for a radio text.
  state.Soft1Data.clear();
  state.Soft1Waiting = true;
}

void Receiver::App1NoTranslation(const std::string& block) {
  cat::ApplicationDialect& dialect = App1Dialect();
  dialect.Take(block);
  while (const auto command = dialect.NextCommand()) {
    if (!ctx_.ports.IsOpen(PortRole::Radio)) {
      continue;  // what never reaches the radio neither keys nor unkeys it
    }
    cat::DialectContext context = DialectContext();
    ctx_.ports.Write(PortRole::Radio, dialect.Command(*command, context).toRadio);
  }
  // Shown once the text is on its way: the relay does not wait for the window.
  ctx_.events.LatestText(PortRole::App1, block);
  if (ctx_.options.monitor) {
    Monitor(block);
  }
}

void Receiver::ForwardApp1(const std::string& block) {
  const Mode mode = ctx_.mode;
  cat::ApplicationDialect& dialect = App1Dialect();
  // Shared with App 2, App 1's text is neither monitored nor answered here.
  const bool translating = Translates(mode);
  if (translating && ctx_.options.monitor) {
    Monitor(block);
  }
  dialect.Take(block);
  SendApp1Commands(mode);
}

void Receiver::SendApp1Commands(Mode mode) {
  cat::ApplicationDialect& dialect = App1Dialect();
  const bool translating = Translates(mode);
  // The emulation's commands wait while the radio is learned.
  while (mode != Mode::Emulating || !learning_.Learning()) {
    const auto command = dialect.NextCommand();
    if (!command) {
      break;
    }
    ctx_.loop.DoEvents();
    cat::DialectContext context = DialectContext();
    const bool keyed = ctx_.state.keying.radioKeyed;
    const cat::CommandResult result = dialect.Command(*command, context);
    if (mode == Mode::Translating && standardClient_.Take(*command)) {
      ctx_.events.SuggestEmulation(kStandardClientAdvice);
    }
    if (result.onVfoB) {
      ctx_.events.App1VfoChanged(*result.onVfoB);
    }
    if (!result.note.empty()) {
      ctx_.events.Note(Topic::Routing, result.note);
    }
    if (translating && ctx_.options.monitor) {
      ctx_.events.TranslatedText(result.toRadio);
    }
    if (translating && keyed && !ctx_.state.keying.radioKeyed) {
      // The translation's unkey goes ahead of anything waiting, as a command
      // of its own.
      ctx_.ports.WriteFirst(PortRole::Radio, result.toRadio);
    } else {
      ctx_.ports.Write(PortRole::Radio, result.toRadio);
    }
    ctx_.loop.DoEvents();
    if (ctx_.mode != mode) {
      break;  // App 2 came into use meanwhile, or the mode changed: nothing more in this one
    }
    ctx_.ports.Write(PortRole::App1, result.toApp);
  }
}

void Receiver::AnswerOverdueReads() {
  ExpireLearning();
  cat::ApplicationDialect& dialect = App1Dialect();
  if (dialect.WaitingForRadio()) {
    ctx_.ports.Write(PortRole::App1, dialect.Overdue(ctx_.loop.Now()));
  }
}

// --- GetData2: App 2's port ---------------------------------------------------

void Receiver::App2Pass() {
  StationState& state = ctx_.state;
  const std::string block = ReadBlock(PortRole::App2);
  ctx_.loop.Wait(kRadioPause);
  state.Soft2Data += block;
  if (state.Soft2Data.size() > kHeldApp2Limit) {
    const std::size_t cut = state.Soft2Data.find(';', state.Soft2Data.size() - kHeldApp2Limit);
    state.Soft2Data.erase(0, cut == std::string::npos ? state.Soft2Data.size() : cut + 1);
    ctx_.events.Note(Topic::Routing, "App 2's text held for the radio passed " +
                                         std::to_string(kHeldApp2Limit / 1024) +
                                         " KiB: its oldest messages were dropped");
  }

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
  std::optional<std::string> answer = radio.ReadThrough(
      ctx_.radio->terminator, PartialAnswerGap(ctx_.radioLine), now + kPartialAnswerLimit);
  if (answer) {
    partial_.reset();
  } else if (radio.Waiting() > 0) {
    // Its end may still come (a slow network link): kept for the next pass.
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
  // Framed: one answer per pass, the characters after its end stay waiting
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
  ctx_.state.radioMessages += ctx_.radio->MessagesIn(message);
  ctx_.capture.RadioBlock(message);
  if (TakeLearning(message) || ctx_.applications.RadioMessage(message)) {
    return;
  }
  RouteRadioText(message);
}

void Receiver::RouteRadioText(const std::string& message) {
  PortSlots& ports = ctx_.ports;
  if (ctx_.mode == Mode::NoTranslation) {
    // Shown once the text is on its way: the relay does not wait for the window.
    ports.Write(PortRole::App1, message);
    ctx_.events.LatestText(PortRole::Radio, message);
    return;
  }
  ctx_.events.LatestText(PortRole::Radio, message);
  switch (ctx_.mode) {
    case Mode::NoTranslation:
      break;
    case Mode::Sharing:
      if (ports.IsOpen(PortRole::App2)) {
        DrainOutput(PortRole::App2);
        if (!Ticked(ctx_.options.ignoreToApp2)) {
          ports.Write(PortRole::App2, message);
        }
      }
      break;
    case Mode::Translating:
    case Mode::Emulating:
      break;
  }

  if (!Ticked(ctx_.options.ignoreToApp1) && ports.IsOpen(PortRole::App1)) {
    DrainOutput(PortRole::App1);
    cat::DialectContext context = DialectContext();
    ports.Write(PortRole::App1, App1Dialect().Answer(message, context));
  }

  // Whoever the text answered, both applications may talk to the radio again.
  ctx_.state.Soft1Waiting = false;
  ctx_.state.Soft2Waiting = false;
}

}  // namespace vantorel::station
