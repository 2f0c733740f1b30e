#include "rigctl/rigctl_session.h"

#include <cmath>
#include <optional>
#include <utility>

#include "rigctl/c_numbers.h"
#include "rigctl/hamlib_names.h"

namespace vantorel::rigctl {
namespace {

// Far beyond any radio, and inside an int64 whatever a client writes.
constexpr double kHighestHertz = 1e13;

constexpr std::string_view kVfoList = "VFOA VFOB \n";

std::string_view Input(const Request& request, std::size_t index) {
  return index < request.inputs.size() ? std::string_view(request.inputs[index]) : "";
}

// rigctld reads a frequency as a double and hands the radio whole hertz
// (14074000.9 sets 14074000).
std::optional<std::int64_t> Hertz(std::string_view word) {
  const std::optional<double> hertz = ScanDouble(word);
  if (!hertz || !std::isfinite(*hertz) || std::fabs(*hertz) > kHighestHertz) {
    return std::nullopt;
  }
  return static_cast<std::int64_t>(*hertz);
}

}  // namespace

RigctlSession::RigctlSession(RigctlRadio& radio, ServerState& server, Links links)
    : radio_(radio), server_(server), links_(std::move(links)) {}

void RigctlSession::Receive(std::string_view bytes) {
  if (closed_) {
    return;
  }
  if (input_.size() + bytes.size() > kMostWaitingInput) {
    closed_ = true;
    links_.close();
    return;
  }
  input_.append(bytes);
  if (!pumping_) {
    Pump();
  }
}

void RigctlSession::Pump() {
  pumping_ = true;
  while (!pending_ && !closed_ && taken_ < input_.size()) {
    RequestFramer::Step step = framer_.Take(input_[taken_]);
    if (step.used) {
      ++taken_;
    }
    if (step.request) {
      Execute(*step.request);
    }
  }
  input_.erase(0, taken_);
  taken_ = 0;
  pumping_ = false;
}

void RigctlSession::Execute(const Request& request) {
  if (request.quit) {
    closed_ = true;
    links_.send("RPRT 0\n");
    links_.close();
    return;
  }
  current_ = request.command;
  pending_ = true;
  answer_.clear();
  // The extended form repeats the command and its inputs first; never for
  // \chk_vfo, whose answer `rigctl -m 2` reads as one line.
  if (framer_.form.extended && current_->code != code::kCheckVfo) {
    answer_ = std::string(current_->name) + ':';
    if (framer_.vfoOption) {
      const std::optional<Vfo> vfo = request.vfo ? ParseVfo(*request.vfo) : Vfo::kCurrent;
      answer_ += ' ' + std::string(vfo ? VfoName(*vfo) : "None");
    }
    for (const std::string& input : request.inputs) {
      answer_ += ' ' + input;
    }
    answer_ += framer_.form.separator;
  }
  Carry(request);
}

void RigctlSession::Carry(const Request& request) {
  if (AnswerHere(request)) {
    return;
  }
  const Vfo vfo = TargetVfo(request);
  switch (current_->code) {
    case 'F':
    case 'I': {
      const std::optional<std::int64_t> hertz = Hertz(Input(request, 0));
      if (!hertz) {
        return Finish(RigError::kInvalidArgument);
      }
      if (current_->code == 'F') {
        return Write(Quantity::kFrequency, vfo, {.hertz = *hertz});
      }
      return Transmitting([this, hertz](Vfo transmit) {
        Write(Quantity::kFrequency, transmit, {.hertz = *hertz});
      });
    }
    case 'f':
      return Read(Quantity::kFrequency, vfo, [this](const RigValue& value) {
        Value(Label(0), std::to_string(value.hertz));
        Finish(RigError::kOk);
      });
    case 'i':
    case 'k':
      return Transmitting([this](Vfo transmit) {
        Read(Quantity::kFrequency, transmit, [this, transmit](const RigValue& frequency) {
          Value(Label(0), std::to_string(frequency.hertz));
          if (current_->code == 'i') {
            return Finish(RigError::kOk);
          }
          Read(Quantity::kMode, transmit, [this](const RigValue& value) { ShowMode(1, value); });
        });
      });
    case 'M':
    case 'X':
    case 'K':
      return SetMode(request, vfo);
    case 'm':
      return Read(Quantity::kMode, vfo, [this](const RigValue& value) { ShowMode(0, value); });
    case 'x':
      return Transmitting([this](Vfo transmit) {
        Read(Quantity::kMode, transmit, [this](const RigValue& value) { ShowMode(0, value); });
      });
    case 'V': {
      if (Input(request, 0) == "?") {
        answer_ += kVfoList;
        return Finish(RigError::kOk);
      }
      const std::optional<Vfo> chosen = ParseVfo(Input(request, 0));
      if (!chosen) {
        framer_.SkipRestOfLine();
        return Finish(RigError::kInvalidArgument);
      }
      if (*chosen == Vfo::kCurrent) {
        return Finish(RigError::kOk);
      }
      return Write(Quantity::kVfo, Vfo::kCurrent, {.vfo = *chosen});
    }
    case 'v':
      return Read(Quantity::kVfo, Vfo::kCurrent, [this](const RigValue& value) {
        Value(Label(0), VfoName(value.vfo));
        Finish(RigError::kOk);
      });
    case 'S': {
      const std::optional<long> split = ScanLong(Input(request, 0));
      if (!split) {
        return Finish(RigError::kInvalidArgument);
      }
      if (Input(request, 1) == "?") {
        answer_ += kVfoList;
        return Finish(RigError::kOk);
      }
      const std::optional<Vfo> transmit = ParseVfo(Input(request, 1));
      if (!transmit) {
        return Finish(RigError::kInvalidArgument);
      }
      return Write(Quantity::kSplit, vfo, {.vfo = *transmit, .number = static_cast<int>(*split)});
    }
    case 's':
      return Read(Quantity::kSplit, vfo, [this](const RigValue& value) {
        Value(Label(0), std::to_string(value.number));
        Value(Label(1), VfoName(value.vfo));
        Finish(RigError::kOk);
      });
    case 'T': {
      // 1 keys, 2 keys with the microphone's audio, 3 with the data input's.
      const std::optional<long> ptt = ScanLong(Input(request, 0));
      if (!ptt || *ptt < 0 || *ptt > 3) {
        return Finish(RigError::kInvalidArgument);
      }
      // Keyed from the moment it is asked, in case the client goes before
      // the radio answers; unkeyed only once the radio has.
      if (*ptt != 0) {
        keyed_ = true;
        return Write(Quantity::kPtt, vfo, {.number = static_cast<int>(*ptt)});
      }
      return Write(Quantity::kPtt, vfo, {}, [this] {
        keyed_ = false;
        Finish(RigError::kOk);
      });
    }
    case 't':
      return Read(Quantity::kPtt, vfo, [this](const RigValue& value) {
        Value(Label(0), std::to_string(value.number));
        Finish(RigError::kOk);
      });
    case 'L':
      return SetLevel(request);
    case 'l':
      return GetLevel(request);
    case code::kGetVfoInfo:
      return GetVfoInfo(request);
    case code::kGetPowerStatus:
      return Read(Quantity::kPowerStatus, Vfo::kCurrent, [this](const RigValue& value) {
        Line(Label(0), std::to_string(value.number));
        Finish(RigError::kOk);
      });
    case code::kSetPowerStatus: {
      const std::optional<long> status = ScanLong(Input(request, 0));
      if (!status) {
        return Finish(RigError::kInvalidArgument);
      }
      return Write(Quantity::kPowerStatus, Vfo::kCurrent, {.number = static_cast<int>(*status)});
    }
    default:
      return Finish(RigError::kNotAvailable);
  }
}

bool RigctlSession::AnswerHere(const Request& request) {
  RigError error = RigError::kOk;
  switch (current_->code) {
    case code::kCheckVfo:
      checkedVfo_ = true;
      Line(Label(0), framer_.vfoOption ? "1" : "0");
      break;
    case code::kSetVfoOption:
    case code::kSetLockMode: {
      const std::optional<long> value = ScanLong(Input(request, 0));
      if (!value) {
        error = RigError::kInvalidArgument;
      } else if (current_->code == code::kSetLockMode) {
        server_.modeLocked = *value != 0;
      } else {
        // rigctld takes the option, then answers what Hamlib says of a
        // radio without a VFO option of its own.
        framer_.vfoOption = *value != 0;
        error = RigError::kNotAvailable;
      }
      break;
    }
    case code::kDumpState:
      answer_ += DumpState(server_.description, checkedVfo_);
      break;
    case '1':
      answer_ += DumpCaps(server_.description);
      break;
    case '_':
      Value(Label(0), server_.description.info);
      break;
    case code::kGetLockMode:
      Line(Label(0), server_.modeLocked ? "1" : "0");
      break;
    case code::kGetSeparator:
      Line(Label(0), HexNumber(static_cast<unsigned char>(server_.separator)));
      break;
    case code::kSetSeparator:
      server_.separator = Input(request, 0).front();
      break;
    case code::kGetClock:
      // What rigctld answers for a Kenwood without a clock: its unset date,
      // then "not implemented".
      answer_ += "0000-00-00T00:00:00.000+00:00\n";
      error = RigError::kNotImplemented;
      break;
    default:
      return false;
  }
  Finish(error);
  return true;
}

void RigctlSession::SetMode(const Request& request, Vfo vfo) {
  // "K" carries the frequency first; "M" and "X" start with the mode.
  const bool withFrequency = current_->code == 'K';
  const std::string_view name = Input(request, withFrequency ? 1 : 0);
  if (current_->code == 'M' && server_.modeLocked) {
    return Finish(RigError::kOk);
  }
  if (Input(request, 0) == "?") {
    answer_ += ModeList(Modes(server_.description)) + '\n';
    return Finish(RigError::kOk);
  }
  const std::optional<std::int64_t> hertz = Hertz(Input(request, 0));
  const std::optional<Mode> mode = ParseMode(name);
  const std::optional<long> passband = ScanLong(Input(request, withFrequency ? 2 : 1));
  if ((withFrequency && !hertz) || !passband) {
    return Finish(RigError::kInvalidArgument);
  }
  if (!mode) {
    // rigctld hands the radio "no mode" for a name it does not know, which
    // changes nothing; a mode it knows but the radio lacks is refused.
    return Finish(IsOtherHamlibMode(name) ? RigError::kInvalidArgument : RigError::kOk);
  }
  if ((Modes(server_.description) & static_cast<std::uint32_t>(*mode)) == 0) {
    return Finish(RigError::kInvalidArgument);
  }
  const RigValue value{.mode = *mode, .passband = *passband};
  if (current_->code == 'M') {
    return Write(Quantity::kMode, vfo, value);
  }
  Transmitting([this, value, hertz, withFrequency](Vfo transmit) {
    if (!withFrequency) {
      return Write(Quantity::kMode, transmit, value);
    }
    Write(Quantity::kFrequency, transmit, {.hertz = *hertz},
          [this, value, transmit] { Write(Quantity::kMode, transmit, value); });
  });
}

void RigctlSession::GetLevel(const Request& request) {
  // rigctld ends this list with neither separator nor newline.
  if (Input(request, 0) == "?") {
    answer_ += LevelList(false);
    return Finish(RigError::kOk);
  }
  const LevelName* level = FindLevel(Input(request, 0));
  if (level == nullptr) {
    return Finish(RigError::kInvalidArgument);
  }
  // The value goes without its label even in the extended form.
  Read(level->quantity, TargetVfo(request), [this, level](const RigValue& value) {
    answer_ += level->fraction ? FixedSix(value.fraction) : std::to_string(value.number);
    answer_ += framer_.form.separator;
    Finish(RigError::kOk);
  });
}

void RigctlSession::SetLevel(const Request& request) {
  if (Input(request, 0) == "?") {
    answer_ += LevelList(true) + '\n';
    return Finish(RigError::kOk);
  }
  const LevelName* level = FindLevel(Input(request, 0));
  if (level == nullptr || !level->settable) {
    return Finish(RigError::kNotAvailable);
  }
  // rigctld takes a decimal comma, as some programs write in their users' locales.
  std::string text(Input(request, 1));
  if (const std::size_t comma = text.find(','); comma != std::string::npos) {
    text[comma] = '.';
  }
  RigValue value;
  if (level->fraction) {
    const std::optional<float> fraction = ScanFloat(text);
    if (!fraction) {
      return Finish(RigError::kInvalidArgument);
    }
    value.fraction = *fraction;
  } else {
    const std::optional<long> number = ScanLong(text);
    if (!number) {
      return Finish(RigError::kInvalidArgument);
    }
    value.number = static_cast<int>(*number);
  }
  Write(level->quantity, TargetVfo(request), value);
}

void RigctlSession::GetVfoInfo(const Request& request) {
  if (Input(request, 0) == "?") {
    answer_ += kVfoList;
    return Finish(RigError::kOk);
  }
  const Vfo vfo = ParseVfo(Input(request, 0)).value_or(Vfo::kCurrent);
  Read(Quantity::kFrequency, vfo, [this, vfo](const RigValue& frequency) {
    Read(Quantity::kMode, vfo, [this, hertz = frequency.hertz](const RigValue& mode) {
      Read(Quantity::kSplit, Vfo::kCurrent, [this, hertz, mode](const RigValue& split) {
        Value(Label(1), std::to_string(hertz));
        Value(Label(2), ModeName(mode.mode));
        Value(Label(3), std::to_string(mode.passband));
        Value(Label(4), std::to_string(split.number));
        Value(Label(5), "0");  // not a satellite radio
        Finish(RigError::kOk);
      });
    });
  });
}

Vfo RigctlSession::TargetVfo(const Request& request) const {
  return request.vfo ? ParseVfo(*request.vfo).value_or(Vfo::kCurrent) : Vfo::kCurrent;
}

void RigctlSession::ShowMode(std::size_t label, const RigValue& value) {
  Value(Label(label), ModeName(value.mode));
  Value(Label(label + 1), std::to_string(value.passband));
  Finish(RigError::kOk);
}

void RigctlSession::Transmitting(std::function<void(Vfo transmit)> then) {
  // The transmitting VFO; with split off the receiving one, as rigctld has it
  // with a Kenwood.
  Read(Quantity::kSplit, Vfo::kCurrent,
       [then = std::move(then)](const RigValue& split) { then(split.vfo); });
}

void RigctlSession::Value(std::string_view label, std::string_view text) {
  if (framer_.form.extended) {
    answer_ += std::string(label) + ": ";
  }
  answer_ += std::string(text) + framer_.form.separator;
}

void RigctlSession::Line(std::string_view label, std::string_view text) {
  if (framer_.form.extended) {
    answer_ += std::string(label) + ": ";
  }
  answer_ += std::string(text) + '\n';
}

void RigctlSession::Finish(RigError error) {
  if (!pending_) {
    return;  // a radio that completed twice
  }
  // "RPRT n" ends every failed command, and a successful one where it gave no
  // values (a set) or was asked in the extended form; never \chk_vfo. After
  // an RPRT the client is back to the plain form.
  AnswerForm& form = framer_.form;
  const bool checkVfo = current_->code == code::kCheckVfo;
  if (error != RigError::kOk) {
    answer_ += "RPRT -" + std::to_string(static_cast<int>(error)) + '\n';
    form = {};
  } else if (!checkVfo && (form.extended || !current_->answersValues)) {
    answer_ += "RPRT 0\n";
    form = {};
  }
  // An answer in the extended form that had no "RPRT" (\chk_vfo) still ends
  // with a newline.
  if (form.separator != '\n') {
    answer_ += '\n';
  }
  pending_ = false;
  links_.send(answer_);
  if (!pumping_) {
    Pump();
  }
}

void RigctlSession::Read(Quantity quantity, Vfo vfo, Then then) {
  radio_.Read(quantity, vfo,
              [this, alive = std::weak_ptr<int>(alive_), then = std::move(then)](
                  RigError error, const RigValue& value) {
                if (alive.expired()) {
                  return;
                }
                if (error != RigError::kOk) {
                  return Finish(error);
                }
                then(value);
              });
}

void RigctlSession::Write(Quantity quantity, Vfo vfo, const RigValue& value,
                          std::function<void()> next) {
  radio_.Write(quantity, vfo, value,
               [this, alive = std::weak_ptr<int>(alive_), next = std::move(next)](RigError error) {
                 if (alive.expired()) {
                   return;
                 }
                 if (error != RigError::kOk || !next) {
                   return Finish(error);
                 }
                 next();
               });
}

}  // namespace vantorel::rigctl
