#include "cat/ft950_emulation.h"

#include <algorithm>
#include <exception>
#include <optional>

#include "cat/message_text.h"
#include "cat/text_helpers.h"

namespace vantorel::cat {

using ft950::ReplyKind;

namespace {

// Longer than any FT-950 command (a frequency set has up to 14 characters).
constexpr std::size_t kLongestCommand = 16;
// Half a command kept for the next block; anything longer is noise.
constexpr std::size_t kLongestRest = 64;
constexpr char kTerminator = ';';

// A byte at or below a blank before a command: line noise, or the dummy bytes
// a program sends to wake a switched-off FT-950.
bool IsNoise(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view WithoutLeadingNoise(std::string_view text) {
  while (!text.empty() && IsNoise(text.front())) {
    text.remove_prefix(1);
  }
  return text;
}

// What stands between a command's letters and selector and its closing ";"
// (empty for a read); nullopt when the selector is not there. The command
// starts with the letters and ends in ";".
std::optional<std::string_view> ParameterOf(std::string_view command, std::string_view selector) {
  const std::string_view rest = command.substr(2, command.size() - 3);
  if (!StartsWith(rest, selector)) {
    return std::nullopt;
  }
  return rest.substr(selector.size());
}

// The radio's VFO digits: 0 VFO A, 1 VFO B (2 is a memory channel).
bool IsVfo(char digit) { return digit == ft950::kVfoA || digit == ft950::kVfoB; }

char OtherVfo(char vfo) { return vfo == ft950::kVfoA ? ft950::kVfoB : ft950::kVfoA; }

// A need the radio has no read for: what its status answer shows is asked
// for there, anything else is not asked for at all.
RadioKey Served(const RadioDialect& dialect, RadioKey key) {
  if (key == RadioKey::kNone || dialect.Reads(key)) {
    return key;
  }
  switch (key) {
    case RadioKey::kMode:
    case RadioKey::kReceiveVfo:
    case RadioKey::kTransmitVfo:
      return RadioKey::kStatus;
    default:
      return RadioKey::kNone;
  }
}

}  // namespace

struct Ft950Emulation::Pass {
  DialectContext& ctx;
  Clock::time_point now;
  bool keyed;  // the transmitter as this command leaves it
  CommandResult& out;
};

void Ft950Emulation::Take(std::string_view block) {
  block_.erase(0, next_);
  next_ = 0;
  block_.append(block);
}

std::optional<std::string> Ft950Emulation::NextCommand() {
  const std::size_t end = block_.find(kTerminator, next_);
  if (end == std::string::npos) {
    // Half a command waits for the next block, unless it is noise.
    block_ = block_.size() - next_ <= kLongestRest ? block_.substr(next_) : std::string();
    next_ = 0;
    return std::nullopt;
  }
  std::string command = block_.substr(next_, end + 1 - next_);
  next_ = end + 1;
  return command;
}

std::uint64_t Ft950Emulation::MessagesIn(std::string_view block) const {
  return CountMessages(block, kTerminator);
}

CommandResult Ft950Emulation::Command(std::string_view command, DialectContext& ctx) {
  CommandResult out;
  try {
    reads_.Expire(ctx.now);
    Pass pass{ctx, ctx.now, ctx.keying.radioKeyed, out};
    for (auto end = command.find(kTerminator); end != std::string_view::npos;
         end = command.find(kTerminator)) {
      HandleCommand(command.substr(0, end + 1), pass);
      command.remove_prefix(end + 1);
    }
    out.toApp = reads_.TakeReady();
  } catch (const std::exception&) {
    // Only a failed allocation lands here. Every radio command went out whole
    // or not at all; answers not yet taken stay owed.
  }
  return out;
}

std::string Ft950Emulation::Answer(std::string_view radioText, DialectContext& ctx) {
  try {
    reads_.Expire(ctx.now);
    std::string reports;
    const char terminator = radio_.Dialect().terminator;
    for (auto end = radioText.find(terminator); end != std::string_view::npos;
         end = radioText.find(terminator)) {
      reports += HandleAnswer(WithoutLeadingNoise(radioText.substr(0, end + 1)));
      radioText.remove_prefix(end + 1);
    }
    return reads_.TakeReady() + reports;
  } catch (const std::exception&) {
    return {};  // out of memory: the answers stay owed
  }
}

std::string Ft950Emulation::HandleAnswer(std::string_view message) {
  if (radio_.Dialect().IsRefusal(message)) {
    reads_.Refused();
    return {};
  }
  const auto heard = radio_.Classify(message);
  if (!heard) {
    return {};  // letters the emulation does not use
  }
  if (heard->wellFormed) {
    radio_.Keep(heard->key, message);
  }
  const auto taken = reads_.Answered(heard->key, heard->wellFormed);
  if (taken.complete != nullptr) {
    reads_.Finish(*taken.complete, ft950::ReplyFromRadio(taken.complete->reply, radio_, choices_));
    return {};
  }
  const ReplyKind report = ft950::ReportOf(heard->key);
  if (taken.taken || !heard->wellFormed || !App1WantsReports() || report == ReplyKind::kNone) {
    return {};
  }
  // The radio's own report, in FT-950 form: App 1 asked for reports.
  std::string text = ft950::ReplyFromRadio({report}, radio_, choices_);
  return text == ft950::kRefused ? std::string() : text;
}

std::string Ft950Emulation::Overdue(Clock::time_point now) {
  try {
    reads_.Expire(now);
    return reads_.TakeReady();
  } catch (const std::exception&) {
    return {};
  }
}

void Ft950Emulation::Reset() {
  reads_.Clear();
  radio_.Forget();
  block_.clear();
  next_ = 0;
  noted_.clear();
}

void Ft950Emulation::FollowRadio(const RadioDialect& radio) {
  radio_.Follow(radio);
  noted_.clear();
}

void Ft950Emulation::HandleCommand(std::string_view command, Pass& pass) {
  command = WithoutLeadingNoise(command);
  if (command.size() <= 1 || reads_.Full()) {
    return;  // a bare ";", or more owed than any program waits for
  }
  if (command.size() > kLongestCommand) {
    Refuse();
    return;
  }
  const UpperCopy<kLongestCommand> upper(command);
  const std::string_view view = upper.View();
  if (const ft950::FixedCommand* row = ft950::kFixedIndex.Find(view)) {
    Fixed(*row, view, pass);
  } else if (const ft950::Meter* meter = ft950::kMeterIndex.Find(view)) {
    MeterRead(static_cast<std::size_t>(meter - ft950::kMeters.data()), view, pass);
  } else if (!(Frequency(view, pass) || Mode(view, pass) || Agc(view, pass) || Level(view, pass) ||
               Local(view, pass) || ClarifierStep(view, pass) || BandSelect(view))) {
    Refuse();
  }
}

std::string Ft950Emulation::ReadOf(RadioKey key) const {
  const RadioDialect& dialect = radio_.Dialect();
  std::string read(dialect.AnswerOf(key).read);
  if (key == RadioKey::kMode && dialect.modeNamesVfo) {
    const std::size_t at = dialect.AnswerOf(key).form.find('#');
    if (at < read.size()) {
      read[at] = ReceiveVfo();
    }
  }
  return read;
}

char Ft950Emulation::ReceiveVfo() const {
  const char vfo = radio_.Field(RadioKey::kReceiveVfo, 0);
  return IsVfo(vfo) ? vfo : ft950::kVfoA;
}

void Ft950Emulation::AskRadio(ft950::Reply reply, ft950::Needs needs, std::string_view command,
                              Pass& pass) {
  const RadioDialect& dialect = radio_.Dialect();
  RadioKey first = Served(dialect, needs.first);
  RadioKey second = Served(dialect, needs.second);
  if (first == RadioKey::kNone || first == second) {
    std::swap(first, second);
    second = first == second ? RadioKey::kNone : second;
  }
  if (first == RadioKey::kNone) {
    // The radio has no read for it: answered now from what is known.
    reads_.AddAnswered(ft950::ReplyFromRadio(reply, radio_, choices_));
    if (std::find(noted_.begin(), noted_.end(), command) == noted_.end()) {
      noted_.emplace_back(command);
      pass.out.note = "The Kenwood " + std::string(dialect.name) + " has no read for App 1's " +
                      std::string(command) + " answered from what is known";
    }
    return;
  }
  if (reads_.RadioBusy()) {
    Refuse();  // the radio is far behind: App 1 hears "busy" and asks again later
    return;
  }
  reads_.AddWaiting(reply, {first, second}, pass.now);
  pass.out.toRadio += ReadOf(first);
  if (second != RadioKey::kNone) {
    pass.out.toRadio += ReadOf(second);
  }
}

void Ft950Emulation::SendSettings(std::string_view radio, Pass& pass) {
  pass.out.toRadio += radio;
  reads_.AddSettings(radio_.Dialect().MessagesIn(radio), pass.now);
}

void Ft950Emulation::Fixed(const ft950::FixedCommand& row, std::string_view command, Pass& pass) {
  if (!row.answer.empty()) {
    reads_.AddAnswered(row.answer);
    return;
  }
  if (row.reply != ReplyKind::kNone) {
    AskRadio({row.reply}, row.needs, command, pass);
    return;
  }
  const RadioDialect& dialect = radio_.Dialect();
  switch (row.effect) {
    case ft950::Effect::kReportTransmit:
      reads_.AddAnswered(pass.keyed ? ft950::kTransmitting : ft950::kReceiving);
      return;
    case ft950::Effect::kReportMox:
      reads_.AddAnswered(pass.keyed ? ft950::kMoxOn : ft950::kMoxOff);
      return;
    case ft950::Effect::kPowerOn:
      if (Ticked(pass.ctx.powerControl)) {
        return;  // the operator switches the radio on at the station
      }
      break;
    case ft950::Effect::kKeyDown:
      SendSettings(dialect.keyDown, pass);
      KeyDown(pass.ctx.keying, pass.ctx.superviseTransmit);
      pass.keyed = true;
      return;
    case ft950::Effect::kKeyUp:
      SendSettings(dialect.unkey, pass);
      KeyUp(pass.ctx.keying);
      pass.keyed = false;
      return;
    case ft950::Effect::kTransmitVfo:
      TransmitOn(row.value, pass);
      return;
    case ft950::Effect::kReceiveVfo:
      SelectVfo(row.value, pass);
      return;
    case ft950::Effect::kClarifierClear:
      SendSettings(dialect.clarifierClear, pass);
      return;
    case ft950::Effect::kNone:
      break;
  }
  SendSettings(dialect.Set(row.key, std::string_view(&row.value, 1)), pass);
}

// App 1's VFO select keeps its split: where the radio's receive VFO set ends a
// split, the other VFO is made the transmit VFO again.
void Ft950Emulation::SelectVfo(char receive, Pass& pass) {
  const RadioDialect& dialect = radio_.Dialect();
  const char wasReceiving = radio_.Field(RadioKey::kReceiveVfo, 0);
  const char wasTransmitting = radio_.Field(RadioKey::kTransmitVfo, 0);
  const bool split =
      IsVfo(wasReceiving) && IsVfo(wasTransmitting) && wasReceiving != wasTransmitting;
  const char transmit = split ? OtherVfo(receive) : receive;
  SendSettings(dialect.Set(RadioKey::kReceiveVfo, std::string_view(&receive, 1)), pass);
  if (split && !dialect.selectKeepsSplit) {
    SendSettings(dialect.Set(RadioKey::kTransmitVfo, std::string_view(&transmit, 1)), pass);
  }
  radio_.KeepValue(RadioKey::kReceiveVfo, std::string_view(&receive, 1));
  radio_.KeepValue(RadioKey::kTransmitVfo, std::string_view(&transmit, 1));
}

// A radio that names its transmit VFO gets it; one that only splits or not
// splits when the VFO is not the one receiving.
void Ft950Emulation::TransmitOn(char transmit, Pass& pass) {
  const RadioDialect& dialect = radio_.Dialect();
  if (dialect.Sets(RadioKey::kTransmitVfo)) {
    SendSettings(dialect.Set(RadioKey::kTransmitVfo, std::string_view(&transmit, 1)), pass);
  } else {
    const char split = transmit != ReceiveVfo() ? '1' : '0';
    SendSettings(dialect.Set(RadioKey::kSplit, std::string_view(&split, 1)), pass);
  }
  radio_.KeepValue(RadioKey::kTransmitVfo, std::string_view(&transmit, 1));
}

void Ft950Emulation::MeterRead(std::size_t row, std::string_view command, Pass& pass) {
  const ft950::Meter& meter = ft950::kMeters[row];
  const bool silent = (meter.reads == ft950::MeterReads::kInReceive && pass.keyed) ||
                      (meter.reads == ft950::MeterReads::kInTransmit && !pass.keyed);
  if (silent) {
    reads_.AddAnswered(std::string(meter.prefix) + "000;");
    return;
  }
  AskRadio({ReplyKind::kMeter, static_cast<std::uint8_t>(row)}, {meter.key}, command, pass);
}

bool Ft950Emulation::Frequency(std::string_view command, Pass& pass) {
  for (const ft950::Frequency& row : ft950::kFrequencies) {
    if (!StartsWith(command, row.letters)) {
      continue;
    }
    // Programs send from one digit to eleven (Hamlib drops the leading zeros
    // when it has no status answer to go by).
    const std::string_view digits = *ParameterOf(command, "");
    const auto hertz = digits.size() <= ft950::kMostFrequencyDigits
                           ? FixedWidthNumber(digits, digits.size())
                           : std::nullopt;
    if (digits.empty()) {
      AskRadio({row.reply}, {row.key}, command, pass);
    } else if (hertz && *hertz >= ft950::kLowestFrequency && *hertz <= ft950::kHighestFrequency) {
      SendSettings(radio_.Dialect().SetNumber(row.key, *hertz), pass);
    } else {
      Refuse();
    }
    return true;
  }
  return false;
}

bool Ft950Emulation::Mode(std::string_view command, Pass& pass) {
  if (!StartsWith(command, ft950::kModeHead.letters)) {
    return false;
  }
  const auto parameter = ParameterOf(command, ft950::kModeHead.selector);
  if (parameter && parameter->empty()) {
    AskRadio({ReplyKind::kMode}, {RadioKey::kMode, RadioKey::kData}, command, pass);
    return true;
  }
  for (std::size_t row = 0; parameter && parameter->size() == 1 && row < ft950::kModeCount; ++row) {
    if ((*parameter)[0] != ft950::kModes[row].app1) {
      continue;
    }
    const ft950::ModeSetting setting = ft950::ModeSettingFor(radio_.Dialect(), row, ReceiveVfo());
    SendSettings(setting.text, pass);
    radio_.KeepValue(RadioKey::kMode, setting.modeValue);
    if (setting.data != 0) {
      radio_.KeepValue(RadioKey::kData, std::string_view(&setting.data, 1));
    }
    choices_.mode = ft950::kModes[row].app1;
    return true;
  }
  Refuse();
  return true;
}

bool Ft950Emulation::Agc(std::string_view command, Pass& pass) {
  if (!StartsWith(command, ft950::kAgcHead.letters)) {
    return false;
  }
  const auto parameter = ParameterOf(command, ft950::kAgcHead.selector);
  if (parameter && parameter->empty()) {
    AskRadio({ReplyKind::kAgc}, {RadioKey::kAgc}, command, pass);
    return true;
  }
  for (const ft950::AgcChoice& choice : ft950::kAgcChoices) {
    if (parameter && *parameter == std::string_view(&choice.app1, 1)) {
      const RadioDialect& dialect = radio_.Dialect();
      SendSettings(dialect.SetNumber(RadioKey::kAgc, ft950::AgcToRadio(dialect, choice)), pass);
      choices_.agc = choice.app1;
      return true;
    }
  }
  Refuse();
  return true;
}

bool Ft950Emulation::Level(std::string_view command, Pass& pass) {
  for (std::size_t row = 0; row < ft950::kLevels.size(); ++row) {
    const ft950::Level& level = ft950::kLevels[row];
    if (!StartsWith(command, level.letters)) {
      continue;
    }
    const auto parameter = ParameterOf(command, level.selector);
    if (parameter && parameter->empty()) {
      AskRadio({ReplyKind::kLevel, static_cast<std::uint8_t>(row)}, {level.key}, command, pass);
      return true;
    }
    const long value = parameter ? FixedWidthNumber(*parameter, 3).value_or(-1) : -1;
    if (value < level.app1Min || value > level.app1Max) {
      Refuse();
      return true;
    }
    const int app1 = static_cast<int>(value);
    const RadioDialect& dialect = radio_.Dialect();
    SendSettings(dialect.SetNumber(level.key, ft950::LevelToRadio(dialect, level, app1)), pass);
    choices_.levels[row] = app1;
    return true;
  }
  return false;
}

bool Ft950Emulation::Local(std::string_view command, Pass& pass) {
  for (std::size_t row = 0; row < ft950::kLocalSettings.size(); ++row) {
    const ft950::LocalSetting& setting = ft950::kLocalSettings[row];
    if (!StartsWith(command, setting.letters)) {
      continue;
    }
    const auto parameter = ParameterOf(command, setting.selector);
    const std::size_t mode = setting.perMode ? ft950::CurrentModeRow(radio_, choices_) : 0;
    const ft950::WidthAsked width{settings_.Value(ft950::kWidthRow, mode),
                                  settings_.Value(ft950::kNarrowRow, mode) == 1};
    const ft950::Needs filter =
        ft950::WidthNeeds(radio_.Dialect(), ft950::FilterClassOf(ft950::kModes[mode].mode));
    if (parameter && parameter->empty()) {
      // App 1's width reads what the radio's filter is, where it can tell.
      const bool fromRadio = row == ft950::kWidthRow && ft950::App1Hertz(mode, width) > 0 &&
                             filter.first != RadioKey::kNone;
      if (fromRadio) {
        AskRadio({ReplyKind::kWidth, width.Row()}, filter, command, pass);
      } else {
        reads_.AddAnswered(settings_.Read(row, mode));
      }
      return true;
    }
    const auto value = parameter ? FixedWidthNumber(*parameter, setting.digits) : std::nullopt;
    if (!value || !settings_.Set(row, mode, static_cast<int>(*value))) {
      Refuse();
    } else if (row == ft950::kWidthRow || (row == ft950::kNarrowRow && width.index == 0)) {
      SendWidth(mode, pass);  // the narrow switch decides only the standard width
    }
    return true;
  }
  return false;
}

void Ft950Emulation::SendWidth(std::size_t mode, Pass& pass) {
  const ft950::WidthAsked width{settings_.Value(ft950::kWidthRow, mode),
                                settings_.Value(ft950::kNarrowRow, mode) == 1};
  SendSettings(
      ft950::FilterSetting(radio_.Dialect(), ft950::FilterClassOf(ft950::kModes[mode].mode),
                           ft950::App1Hertz(mode, width)),
      pass);
}

bool Ft950Emulation::ClarifierStep(std::string_view command, Pass& pass) {
  for (const ft950::ClarifierStep& step : ft950::kClarifierSteps) {
    if (!StartsWith(command, step.letters)) {
      continue;
    }
    const std::string_view digits = *ParameterOf(command, "");
    if (FixedWidthNumber(digits, ft950::kClarifierDigits)) {
      // The radio takes the same step in its own number of digits.
      SendSettings(FillForm(radio_.Dialect().*step.radio, "0" + std::string(digits)), pass);
    } else {
      Refuse();
    }
    return true;
  }
  return false;
}

bool Ft950Emulation::BandSelect(std::string_view command) {
  if (!StartsWith(command, ft950::kBandHead.letters)) {
    return false;
  }
  // Accepted and not passed on: the radio numbers its bands differently, and
  // programs set the frequency they want right after.
  const std::string_view digits = *ParameterOf(command, ft950::kBandHead.selector);
  const auto band = FixedWidthNumber(digits, ft950::kBandDigits);
  if (!band || *band > ft950::kHighestBand) {
    Refuse();
  }
  return true;
}

bool Ft950Emulation::App1WantsReports() const {
  return settings_.Value(ft950::kAutoInformationRow, 0) == 1;
}

}  // namespace vantorel::cat
