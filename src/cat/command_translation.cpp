#include "cat/command_translation.h"

#include <algorithm>
#include <exception>
#include <string_view>

#include "cat/band_table.h"
#include "cat/command_tables.h"
#include "cat/message_text.h"
#include "cat/text_helpers.h"

namespace vantorel::cat {
namespace {

using commands::Effect;
using commands::ParameterFamily;
using commands::Scaling;

// App 1's pending text longer than this is dropped: a remote-control program
// that floods the port is better resynchronised than answered late.
constexpr std::size_t kPendingTextLimit = 10;

// A command is cut to this length before its parameter is read.
constexpr std::size_t kMaxCommandLength = 255;

// One call of ChangeInput: the message being rewritten, the outside state and
// the parameter number, which lives for the call only.
class CommandPass {
 public:
  CommandPass(std::string& message, CommandContext& ctx)
      : message_(message), ctx_(ctx), cwKeyMode_(ctx.translation.CWKeyMode) {}

  void Run() {
    // Rewrites in a fixed order, each on what the earlier ones left.
    LimitPendingText();
    SwapToVfoB();
    Split("FT3", "FT1;QS;");  // split on: transmit on VFO B
    BreakIn();
    Split("FT2", "FR0;FT0;");  // split off: both on VFO A
    ReplaceWholeMessage();
    Tuner();
    Clarifier();
    ReceiveOnlyRead();
    ParameterFamilies();
    // Power: the read ends the translation.
    PowerOnSuppression();
    if (PowerStatusRead()) {
      return;
    }
    IfShift();
    Width();
    Frequency("FA");
    Frequency("FB");
    FinalTable();
  }

 private:
  // A closed port is skipped; a refused write is skipped too, so one bad write
  // never costs App 1 the rest of its command.
  // `first`: ahead of anything waiting, as a command of its own (an unkey).
  void Send(CatPort port, std::string_view text, bool first = false) {
    try {
      if (ctx_.ports.IsOpen(port)) {
        first ? ctx_.ports.WriteFirst(port, text) : ctx_.ports.Write(port, text);
      }
    } catch (const std::exception&) {
    }
  }
  void Echo(std::string_view text) { Send(CatPort::App1, text); }

  [[nodiscard]] bool StartsWith(std::string_view letters) const {
    return cat::StartsWith(message_, letters);
  }

  // Drops what stands before position `first` (from 1) and keeps at most
  // kMaxCommandLength characters.
  void CutFrom(std::size_t first) {
    message_.erase(0, first - 1);
    if (message_.size() > kMaxCommandLength) {
      message_.resize(kMaxCommandLength);
    }
  }

  // The parameter number from characters `first` to `last`. A number that does
  // not fit 16 bits (only possible with an exponent, such as 1E9) is not taken:
  // the parameter keeps what it held.
  void ReadParameter(std::size_t first, std::size_t last) {
    if (const auto value = ToInt16(LeadingNumber(Mid(message_, first, last - first + 1)))) {
      parameter_ = *value;
    }
  }

  [[nodiscard]] std::string ParameterText(std::size_t minWidth) const {
    return ZeroFill(DecimalText(parameter_), minWidth);
  }

  // The quotient of a 16-bit number by a divisor of at least 1 always fits.
  void DivideParameter(double divisor) {
    parameter_ = static_cast<std::int16_t>(NearestEven(parameter_ / divisor));
  }

  void LimitPendingText() {
    if (ctx_.pendingLength > kPendingTextLimit) {
      ctx_.dropPending = true;
    }
  }

  // While App 1 works on VFO B its frequency commands name VFO A; the
  // echo must name VFO B so App 1's display follows.
  void SwapToVfoB() {
    if (!ctx_.translation.app1OnVfoB) {
      return;
    }
    for (auto p = Find(message_, "FA"); p != kToEnd; p = Find(message_, "FA", p + 2)) {
      message_[p + 1] = 'B';
    }
  }

  // Split on and off replace the whole message.
  void Split(std::string_view command, std::string_view radio) {
    if (Contains(message_, command)) {
      message_ = radio;
    }
  }

  // Break-in: in CW the radio's break-in is its VOX setting.
  void BreakIn() {
    if (!StartsWith("BI")) {
      return;
    }
    CutFrom(1);
    if (Mid(message_, 3, 1) == ";") {
      return;  // a read
    }
    ReadParameter(3, 6);
    if (cwKeyMode_) {
      message_ = "VX" + ParameterText(1) + ";";
    }
  }

  // Whole messages that stand for other radio commands.
  void ReplaceWholeMessage() {
    for (const auto& row : commands::kWholeMessageReplacements) {
      if (SameText(message_, row.message)) {
        message_ = row.radio;
      }
    }
  }

  // Tuner. The radio's tuner command carries the state twice; App 1's "2"
  // (start tuning) is the radio's tune-and-on.
  void Tuner() {
    if (!StartsWith("AC")) {
      return;
    }
    CutFrom(1);
    if (Mid(message_, 3, 1) == ";") {
      return;
    }
    ReadParameter(3, 6);
    if (parameter_ == 2) {
      message_ = "AC111;";
    } else {
      const std::string digits = ParameterText(1);
      message_ = "AC" + digits + digits + "0;";
    }
  }

  // Clarifier. The radio takes no offset with RU/RD; the following IF; lets App 1
  // see the new clarifier offset.
  void Clarifier() {
    if (StartsWith("RU")) {
      message_ = "RU;IF;";
    }
    if (StartsWith("RD")) {
      message_ = "RD;IF;";
    }
  }

  // Receive-only read. The radio has none; App 1 is answered here and the
  // radio is asked for its S-meter instead.
  void ReceiveOnlyRead() {
    if (Contains(message_, "RO;")) {
      Echo("RO;");
      message_ = "SM;";
    }
  }

  // Parameter families (levels, gains, AGC, ...). Most messages hold none of the families' letters;
  // a test of the capitals present turns those away without a search.
  void ParameterFamilies() {
    std::uint32_t present = CapitalLetters(message_);
    for (std::size_t i = 0; i < commands::kParameterFamilies.size(); ++i) {
      const std::uint32_t needed = commands::kParameterFamilyLetters[i];
      if ((present & needed) == needed && Parameter(commands::kParameterFamilies[i])) {
        present = CapitalLetters(message_);
      }
    }
  }

  // One parameter family; true when it rewrote the message.
  bool Parameter(const ParameterFamily& family) {
    const auto p = Find(message_, family.letters);
    if (p == kToEnd) {
      return false;
    }
    if (SameText(std::string_view(message_).substr(p + 2), ";")) {
      return false;  // a read: the letters directly followed by ";"
    }
    CutFrom(p + 1);
    ReadParameter(family.first, family.last);
    switch (family.scaling) {
      case Scaling::kNone:
        break;
      case Scaling::kDivideAbove25:
        if (parameter_ > 25) {
          DivideParameter(family.divisor);
        }
        break;
      case Scaling::kDivide:
        DivideParameter(family.divisor);
        break;
      case Scaling::kDivideIfPositive:
        if (parameter_ > 0) {
          DivideParameter(family.divisor);
        } else {
          parameter_ = 0;
        }
        break;
      case Scaling::kAgc:
      case Scaling::kAttenuator:
        break;
    }
    std::string digits = ParameterText(family.minWidth);
    if (family.scaling == Scaling::kAgc) {
      // App 1 counts fast, mid, slow, auto as 1 to 4; the radio knows two speeds:
      // fast and mid become its 2, slow and auto its 1.
      if (digits == "1") {
        digits = "2";
      }
      if (digits == "3") {
        digits = "1";
      }
      if (digits == "4") {
        digits = "1";
      }
    } else if (family.scaling == Scaling::kAttenuator) {
      digits = SameText(digits, "0") ? "00" : "01";
    }
    message_.assign(family.radioLetters).append(digits).append(family.tail);
    return true;
  }

  // Power-on. With remote power control on, App 1 may not switch the radio on;
  // the operator does that at the station.
  void PowerOnSuppression() {
    if (Ticked(ctx_.pwrOn) && Contains(message_, "PS1;")) {
      message_.clear();
    }
  }

  // Power read. It is answered here; the radio is asked for its
  // S-meter, which keeps the answer traffic flowing. Ends the call.
  bool PowerStatusRead() {
    if (!Contains(message_, "PS;")) {
      return false;
    }
    if (Clear(ctx_.pwrOn)) {
      Echo("PS1;");
    }
    message_ = "SM;";
    return true;
  }

  // IF shift. The sign in the 4th character is not read: the radio's slope
  // setting has no direction.
  void IfShift() {
    if (!StartsWith("IS")) {
      return;
    }
    ReadParameter(5, 8);
    if (parameter_ > 0) {
      parameter_ = static_cast<std::int16_t>(parameter_ / 50);
    }
    message_ = "SL0" + DecimalText(parameter_) + ";";
  }

  // Width: App 1's selector digit after SH is dropped.
  void Width() {
    if (StartsWith("SH")) {
      message_ = "SH" + std::string(Right(message_, 3));
    }
  }

  // VFO A and B frequency. The radio always receives an 11-digit VFO A frequency;
  // App 1 first gets its own command back, in its own form.
  // Only a message that ends in ";" can have a tail from the letters on that
  // ends in ";", so that is tested first.
  void Frequency(std::string_view letters) {
    if (message_.empty() || message_.back() != ';') {
      return;
    }
    const auto last = FindLast(message_, letters);
    if (last == kToEnd) {
      return;
    }
    message_.erase(0, last);
    if (ctx_.ignore2) {
      Echo(message_);
    }
    message_ = "FA000" + std::string(Mid(message_, 3, 9));
  }

  // Blanks and control characters before a "TX" form (a line end after the
  // command before), or before its "T" alone, are no part of it: the radio
  // would take it all the same.
  void DropBlanksBeforeTransmit() {
    const auto first = std::find_if_not(message_.begin(), message_.end(), [](char c) {
      return static_cast<unsigned char>(c) <= ' ';
    });
    const auto rest = message_.end() - first;
    if ((rest == 1 || (rest >= 2 && UpperAscii(first[1]) == 'X')) && UpperAscii(first[0]) == 'T') {
      message_.erase(message_.begin(), first);
    }
  }

  // App 1's transmit read, and any other "TX" form that is not App 1's PTT: a
  // Kenwood radio takes every "TX" command as "transmit", so none of them may
  // reach it. The read is answered from the transmit state. True when the
  // message was one of them.
  bool TransmitReadOrOther(std::string_view upper) {
    if (upper == "T") {
      // A read cut off the rest: with the next block the radio would hear
      // "TX", so it never hears the "T".
      message_.clear();
      return true;
    }
    if (message_.size() < 2 || UpperAscii(message_[0]) != 'T' || UpperAscii(message_[1]) != 'X') {
      return false;
    }
    if (upper == "TX;") {
      Echo(ctx_.keying.radioKeyed ? "TX1;" : "TX0;");
      message_.clear();
      return true;
    }
    if (upper != "TX0;" && upper != "TX1;") {
      message_.clear();
      return true;
    }
    return false;
  }

  // Band, mode, filter, VFO, meter, transmit and keyer rows: one table on
  // the upper-cased message.
  void FinalTable() {
    DropBlanksBeforeTransmit();
    const UpperCopy<commands::kLongestFinalRow> upper(message_);
    if (TransmitReadOrOther(upper.View())) {
      return;
    }
    if (const BandBottom* band = kBandIndex.Find(upper.View())) {
      message_ = band->frequency;
      return;
    }
    const commands::FinalRow* row = commands::kFinalRowIndex.Find(upper.View());
    if (row == nullptr) {
      return;
    }
    if (!row->effectLast) {
      Apply(row->effect);
    }
    if (!row->radio.empty()) {
      message_ = row->radio;
    }
    if (!row->toRadio.empty()) {
      Send(CatPort::Radio, row->toRadio, row->effect == Effect::kKeyUp);
    }
    if (!row->echo.empty()) {
      Echo(row->echo);
    }
    if (row->effectLast) {
      Apply(row->effect);
    }
  }

  void Apply(Effect effect) {
    switch (effect) {
      case Effect::kNone:
        break;
      case Effect::kCwKeyOn:
        cwKeyMode_ = true;
        break;
      case Effect::kCwKeyOff:
        cwKeyMode_ = false;
        break;
      case Effect::kShowVfoB:
        ctx_.translation.app1OnVfoB = true;
        break;
      case Effect::kHideVfoB:
        ctx_.translation.app1OnVfoB = false;
        break;
      case Effect::kKeyDown:
        KeyDown(ctx_.keying, ctx_.monitorTX);
        break;
      case Effect::kKeyUp:
        KeyUp(ctx_.keying);
        break;
    }
  }

  std::string& message_;
  CommandContext& ctx_;
  bool& cwKeyMode_;
  std::int16_t parameter_ = 0;
};

}  // namespace

std::string ChangeInput(std::string& oneData, CommandContext& ctx) {
  CommandPass(oneData, ctx).Run();
  return oneData;
}

}  // namespace vantorel::cat
