#include "bridge/receive.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <string>
#include <string_view>

#include "bridge/monitor.h"
#include "cat/answer_translation.h"
#include "cat/text_helpers.h"

namespace vantorel::bridge {
namespace {

// Longest rest of App 1's block kept after a command is cut off its front.
constexpr std::size_t kSoft1BufLimit = 1208;

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

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

void WriteIfOpen(SerialPort& port, std::string_view text) {
  if (port.PortOpen()) {
    port.Output(text);
  }
}

// Appends the characters waiting at the port to `text`, one read at a time
// (InputLen), until none waits or a read completes the text (ends(piece));
// what follows then stays queued. Pending events are processed before each
// batch of waiting characters, so other handlers run in the middle of a long
// burst. True when a read completed the text.
template <class Ends>
bool ReadWaiting(model::EventLoop& loop, SerialPort& port, std::string& text, Ends ends) {
  for (int waiting = port.InBufferCount(); waiting > 0; waiting = port.InBufferCount()) {
    loop.DoEvents();
    // Characters that came during DoEvents are read in the next batch.
    bool tookAny = false;
    for (; waiting > 0; --waiting) {
      const std::string piece = port.Input();
      if (piece.empty()) {
        break;
      }
      tookAny = true;
      text += piece;
      if (ends(piece)) {
        return true;
      }
    }
    if (!tookAny) {
      break;  // the port closed meanwhile: nothing more to read
    }
  }
  return false;
}

}  // namespace

Receiver::Receiver(model::CatmuxModel& model, const Ports& ports, model::EventLoop& loop,
                   model::MessageBoxes& boxes, Capture& capture, cat::CatPorts& catPorts)
    : model_(model),
      ports_(ports),
      loop_(loop),
      boxes_(boxes),
      capture_(capture),
      catPorts_(catPorts) {}

// --- receive events ---------------------------------------------------------

// Runs one handler step and turns any failure into the receive path's message,
// so nothing escapes into the event loop; the variables keep what they held.
template <class Step>
void Receiver::Reporting(Step&& step) {
  try {
    step();
  } catch (const std::exception& e) {
    boxes_.MsgBox(std::string("error ") + e.what());
  } catch (...) {
    boxes_.MsgBox("error Unexpected failure");
  }
}

void Receiver::MSComm1_OnComm() {
  Reporting([this] {
    if (ports_.MSComm1.CommEvent() == kCommEventReceive) {
      GetData1();
    }
  });
}

void Receiver::MSComm2_OnComm() {
  Reporting([this] {
    if (ports_.MSComm2.CommEvent() == kCommEventReceive) {
      GetData2();
    }
  });
}

void Receiver::MSComm3_OnComm() {
  Reporting([this] {
    if (ports_.MSComm3.CommEvent() == kCommEventReceive) {
      GetData3();
    }
  });
}

void Receiver::GetData1() {
  const PassGuard guard(model_.vars.InGetData1);
  if (guard.Entered()) {
    Reporting([this] { App1Pass(); });
  }
}

void Receiver::GetData2() {
  const PassGuard guard(model_.vars.InGetData2);
  if (guard.Entered()) {
    Reporting([this] { App2Pass(); });
  }
}

void Receiver::GetData3() {
  const PassGuard guard(model_.vars.InGetData3);
  if (guard.Entered()) {
    Reporting([this] { RadioPass(); });
  }
}

// --- common pieces ----------------------------------------------------------

std::string Receiver::ReadBlock(SerialPort& port) {
  std::string block;
  ReadWaiting(loop_, port, block, [](const std::string&) { return false; });
  return block;
}

void Receiver::DrainOutput(SerialPort& port) {
  // Carry on after the limit: the text then queues behind what is stuck.
  model::WaitForDrain(
      loop_, [&port] { return port.PortOpen() ? port.OutBufferCount() : 0; }, kDrainLimit,
      kDrainStall);
}

void Receiver::PrepareRadioWrite() {
  ports_.MSComm3.Break(false);
  DrainOutput(ports_.MSComm3);
  loop_.Wait(kRadioPause);
}

std::chrono::microseconds PartialAnswerGap(std::string_view baudText) {
  double baud = cat::LeadingNumber(baudText);
  if (!(baud > 0)) {
    baud = 9600;
  }
  // Start bit, eight data bits, parity and a stop bit: eleven bits at most.
  constexpr double kBitsPerCharacter = 11;
  const auto character = std::chrono::microseconds(
      static_cast<long long>(std::min(1e9, kBitsPerCharacter * 1e6 / baud)));
  return kPartialAnswerWait + kUsbHoldBack + kPartialAnswerCharacters * character;
}

bool Receiver::AwaitRestOfRadioAnswer(model::Clock::time_point passDeadline) {
  // No yielding here: another handler must not run while half an answer is in
  // hand.
  const auto deadline = loop_.Now() + PartialAnswerGap(model_.Baud.Text());
  for (long polls = 0; polls < kPartialAnswerPolls; ++polls) {
    const auto now = loop_.Now();
    if (now >= passDeadline) {
      return false;  // characters keep coming, but never a ";"
    }
    if (ports_.MSComm3.InBufferCount() > 0) {
      return true;
    }
    if (now >= deadline) {
      return false;
    }
  }
  return false;
}

// --- GetData1: App 1's port -------------------------------------------------

void Receiver::App1Pass() {
  auto& vars = model_.vars;
  const std::string block = ReadBlock(ports_.MSComm1);
  vars.Soft1Data = block;
  // Captured before any routing test: dropped blocks are in the file too.
  capture_.App1Block(block);

  if (model_.Check2.Ticked()) {
    App1NoTranslation(block);
    return;
  }

  // App 2 is talking to the radio (its text waits, or its answer is pending):
  // App 1's text is dropped rather than interleaved with App 2's.
  if (model_.Ignore1.Ticked() || ports_.MSComm2.InBufferCount() > 0 || vars.Soft2Waiting) {
    return;
  }

  loop_.DoEvents();
  model_.Text1.SetText(vars.Soft1Data.size() > 10 ? std::string() : vars.Soft1Data);

  if (ports_.MSComm3.PortOpen()) {
    PrepareRadioWrite();
    if (model_.Ignore2.Ticked()) {
      TranslateApp1Commands();
    } else {
      // Sharing: App 1's text goes to the radio as it came, without echo.
      WriteIfOpen(ports_.MSComm3, vars.Soft1Data);
      loop_.DoEvents();
    }
  }

  // Set even when the radio port was closed: App 2 then waits for a radio text.
  vars.Soft1Data.clear();
  vars.Soft1Waiting = true;
}

void Receiver::App1NoTranslation(const std::string& block) {
  auto& vars = model_.vars;
  model_.Text1.SetText(block);
  WriteIfOpen(ports_.MSComm3, block);
  // The transmit supervision follows App 1's keying. The tests run on the whole
  // block in this order, so the last matching one wins.
  if (Contains(block, "MX1;")) {
    vars.TXOn = true;
  }
  if (Contains(block, "MX0;")) {
    vars.TXOn = false;
  }
  if (Contains(block, "TX;")) {
    vars.TXOn = true;
  }
  if (Contains(block, "RX;")) {
    vars.TXOn = false;
  }
  if (model_.Check1.Ticked()) {
    // Shown like the translating path's monitor: App 1's traffic in either mode.
    MonitorApp1Block(model_, block);
  }
}

void Receiver::TranslateApp1Commands() {
  auto& vars = model_.vars;
  vars.Soft1Buf = vars.Soft1Data;
  if (model_.Check1.Ticked()) {
    MonitorApp1Block(model_, vars.Soft1Data);
  }
  for (;;) {
    loop_.DoEvents();
    // One ";"-ended command off the front; a block without ";" is handled whole.
    if (const auto end = vars.Soft1Buf.find(';'); end != std::string::npos) {
      vars.Soft1Data = vars.Soft1Buf.substr(0, end + 1);
      vars.Soft1Buf = vars.Soft1Buf.substr(end + 1, kSoft1BufLimit);
    }
    // App 1 expects its own command back; a power-on that is kept from the
    // radio is not echoed either.
    std::string echo = vars.Soft1Data;
    if (Contains(echo, "PS1;") && model_.PWROn.Ticked()) {
      echo.clear();
    }
    vars.Soft1Data = ChangeInput();
    if (model_.Check1.Ticked()) {
      model_.Text1.Append(vars.Soft1Data);
    }
    WriteIfOpen(ports_.MSComm3, vars.Soft1Data);
    loop_.DoEvents();
    if (!model_.Ignore2.Ticked()) {
      break;  // App 2 came into use meanwhile: no more translating
    }
    WriteIfOpen(ports_.MSComm1, echo);
    if (!Contains(vars.Soft1Buf, ";")) {
      break;
    }
  }
}

std::string Receiver::ChangeInput() {
  auto& vars = model_.vars;
  // The translation keeps the VFO-B indicator as a plain flag; the window's
  // Shape1 shows it.
  bool shape1Visible = model_.Shape1.Visible();
  cat::CommandContext ctx{.soft1Buf = vars.Soft1Buf,
                          .shape1Visible = shape1Visible,
                          .txOn = vars.TXOn,
                          .txTime = vars.TXTime,
                          .ignore2 = model_.Ignore2.Ticked(),
                          .pwrOn = model_.PWROn.Value(),
                          .monitorTX = model_.MonitorTX.Ticked(),
                          .ports = catPorts_};
  std::string translated;
  try {
    translated = translator_.ChangeInput(vars.Soft1Data, ctx);
  } catch (...) {
    model_.Shape1.SetVisible(shape1Visible);
    throw;
  }
  model_.Shape1.SetVisible(shape1Visible);
  return translated;
}

// --- GetData2: App 2's port -------------------------------------------------

void Receiver::App2Pass() {
  auto& vars = model_.vars;
  const std::string block = ReadBlock(ports_.MSComm2);
  loop_.Wait(kRadioPause);
  vars.Soft2Data += block;

  // Held while App 2 is not in use, or while App 1 is talking to the radio; it
  // goes on with later text at App 2's next receive event.
  if (model_.Ignore2.Ticked() || ports_.MSComm1.InBufferCount() > 0 || vars.Soft1Waiting) {
    return;
  }
  model_.Text2.SetText(vars.Soft2Data);
  if (!ports_.MSComm3.PortOpen()) {
    return;
  }
  PrepareRadioWrite();
  WriteIfOpen(ports_.MSComm3, vars.Soft2Data);
  vars.Soft2Data.clear();
  vars.Soft2Waiting = true;
}

// --- GetData3: the radio's port ---------------------------------------------

void Receiver::RadioPass() {
  auto& vars = model_.vars;
  SerialPort& radio = ports_.MSComm3;
  SerialPort& app1 = ports_.MSComm1;
  SerialPort& app2 = ports_.MSComm2;

  // With KenwoodCB ticked the radio's text is framed at ";": one answer per
  // pass, the characters after it stay queued for the next pass.
  std::string message;
  const auto passDeadline = loop_.Now() + kPartialAnswerPassLimit;
  bool overran = false;
  const auto endsAnswer = [&](const std::string& piece) {
    if (!model_.KenwoodCB.Ticked()) {
      return false;
    }
    if (Contains(piece, ";")) {
      return true;
    }
    // Characters that never bring a ";" end the pass too.
    overran = loop_.Now() >= passDeadline;
    return overran;
  };
  bool framed = false;
  for (;;) {
    framed = ReadWaiting(loop_, radio, message, endsAnswer);
    if (overran) {
      return;  // no answer in all that text: given up, nothing routed
    }
    if (framed || !model_.KenwoodCB.Ticked() || message.empty()) {
      break;  // an answer, or unframed: whatever was waiting, possibly nothing
    }
    if (!AwaitRestOfRadioAnswer(passDeadline)) {
      return;  // half an answer that never completed: given up, nothing routed
    }
  }
  if (framed) {
    message.erase(message.rfind(';') + 1);
  }

  capture_.RadioBlock(message);

  if (model_.Check2.Ticked()) {
    model_.Text3.SetText(message);
    WriteIfOpen(app1, message);
    return;
  }

  model_.Text3.SetText(message);

  if (!model_.Ignore2.Ticked() && app2.PortOpen()) {
    DrainOutput(app2);
    if (!model_.Ignore2Out.Ticked() && app2.PortOpen()) {
      app2.Output(model_.Text3.Text());
    }
  }

  if (!model_.Ignore1Out.Ticked() && app1.PortOpen()) {
    DrainOutput(app1);
    if (app1.PortOpen()) {
      if (model_.Ignore2.Ticked()) {
        std::string answer = model_.Text3.Text();
        WriteIfOpen(app1, cat::Changeoutput(answer, catPorts_));
        // The radio's monitor box Text6 gets nothing here: Text3 already shows
        // the radio's latest text.
      } else {
        WriteIfOpen(app1, model_.Text3.Text());
      }
    }
  }

  // Whoever the text answered, both applications may talk to the radio again.
  vars.Soft1Waiting = false;
  vars.Soft2Waiting = false;
}

}  // namespace vantorel::bridge
