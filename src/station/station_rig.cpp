#include "station/station_rig.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>

#include "cat/text_helpers.h"

namespace vantorel::station {
namespace {

using rigctl::Mode;
using rigctl::Quantity;
using rigctl::RigError;
using rigctl::RigValue;
using rigctl::Vfo;
using K = cat::RadioKey;

// The operating modes and Hamlib's, both ways; the data variants where the
// radio's mode code carries them.
struct ModeName {
  cat::OperatingMode mode;
  bool data;
  Mode hamlib;
};
constexpr auto kModeNames = std::to_array<ModeName>({
    {cat::OperatingMode::kLsb, false, Mode::kLsb},
    {cat::OperatingMode::kUsb, false, Mode::kUsb},
    {cat::OperatingMode::kCw, false, Mode::kCw},
    {cat::OperatingMode::kCwReverse, false, Mode::kCwReverse},
    {cat::OperatingMode::kFm, false, Mode::kFm},
    {cat::OperatingMode::kAm, false, Mode::kAm},
    {cat::OperatingMode::kFsk, false, Mode::kRtty},
    {cat::OperatingMode::kFskReverse, false, Mode::kRttyReverse},
    {cat::OperatingMode::kLsb, true, Mode::kDataLsb},
    {cat::OperatingMode::kUsb, true, Mode::kDataUsb},
    {cat::OperatingMode::kFm, true, Mode::kDataFm},
    {cat::OperatingMode::kPsk, false, Mode::kDataUsb},
    {cat::OperatingMode::kPskReverse, false, Mode::kDataLsb},
});

// The S-meter's points in dB over S9 (S1, S3, S5, S7, S9, +20, +40, +60).
constexpr std::array<int, cat::kSMeterPoints> kSMeterDb{-48, -36, -24, -12, 0, 20, 40, 60};
constexpr int kS0Db = -54;

int StrengthDb(const cat::RadioDialect& radio, long reading) {
  double lowReading = 0;
  double lowDb = kS0Db;
  for (std::size_t i = 0; i < cat::kSMeterPoints; ++i) {
    const double high = radio.sMeter[i];
    if (reading <= high) {
      const double span = std::max(1.0, high - lowReading);
      return static_cast<int>(
          std::lround(lowDb + (reading - lowReading) * (kSMeterDb[i] - lowDb) / span));
    }
    lowReading = high;
    lowDb = kSMeterDb[i];
  }
  return kSMeterDb.back();
}

K LevelKey(Quantity quantity) {
  switch (quantity) {
    case Quantity::kAfGain:
      return K::kAfGain;
    case Quantity::kRfGain:
      return K::kRfGain;
    case Quantity::kSquelch:
      return K::kSquelch;
    case Quantity::kRfPower:
      return K::kRfPower;
    case Quantity::kMicGain:
      return K::kMicGain;
    case Quantity::kKeySpeed:
      return K::kKeySpeed;
    case Quantity::kStrength:
      return K::kSMeter;
    default:
      return K::kNone;
  }
}

// A number of any width: digits only, at least one.
std::optional<long> Number(std::string_view digits) {
  return cat::FixedWidthNumber(digits, digits.size());
}

char VfoDigit(Vfo vfo) { return vfo == Vfo::kB ? '1' : '0'; }
Vfo VfoOf(char digit) { return digit == '1' ? Vfo::kB : Vfo::kA; }
Vfo Other(Vfo vfo) { return vfo == Vfo::kB ? Vfo::kA : Vfo::kB; }

}  // namespace

void StationRig::ReadKey(K key, Value then) {
  const cat::RadioDialect& radio = Radio();
  if (key == K::kNone || !radio.Reads(key)) {
    then(RigError::kNotAvailable, {});
    return;
  }
  const std::string_view form = radio.AnswerOf(key).form;
  ctx_.requests.Ask(ctx_.owner, std::string(radio.AnswerOf(key).read),
                    [&radio, form, then = std::move(then)](std::optional<std::string> answer) {
                      if (!answer) {
                        then(RigError::kTimeout, {});
                      } else if (radio.IsRefusal(*answer)) {
                        then(RigError::kRejected, {});
                      } else if (!cat::FitsForm(*answer, form)) {
                        then(RigError::kProtocol, {});
                      } else {
                        const std::size_t start = cat::LiteralStart(form).size();
                        then(RigError::kOk,
                             std::string_view(*answer).substr(start, answer->size() - start - 1));
                      }
                    });
}

void StationRig::ReadStatus(ReadDone done,
                            std::function<void(std::string_view status, RigValue&)> fill) {
  ReadKey(K::kStatus, [done = std::move(done), fill = std::move(fill)](RigError error,
                                                                       std::string_view status) {
    RigValue value;
    if (error == RigError::kOk) {
      fill(status, value);
    }
    done(error, value);
  });
}

void StationRig::Read(Quantity quantity, Vfo vfo, ReadDone done) {
  const cat::RadioDialect* radio = ctx_.radio;
  switch (quantity) {
    case Quantity::kFrequency:
      if (vfo != Vfo::kCurrent) {
        ReadKey(vfo == Vfo::kB ? K::kFrequencyB : K::kFrequencyA,
                [done = std::move(done)](RigError error, std::string_view digits) {
                  RigValue value;
                  value.hertz = Number(digits).value_or(0);
                  done(error, value);
                });
        return;
      }
      ReadStatus(std::move(done), [](std::string_view status, RigValue& value) {
        value.hertz = Number(status.substr(cat::status::kFrequency, 11)).value_or(0);
      });
      return;
    case Quantity::kMode:
      ReadStatus(std::move(done), [radio](std::string_view status, RigValue& value) {
        const cat::ModeCode* code = radio->ModeOfCode(status[cat::status::kMode]);
        const auto name = std::ranges::find_if(kModeNames, [code](const ModeName& name) {
          return code != nullptr && name.mode == code->mode && name.data == code->data;
        });
        value.mode = name == kModeNames.end() ? Mode::kUsb : name->hamlib;
        const auto width = std::ranges::find_if(
            rigctl::kKenwoodTransceiver.filters, [&](const rigctl::ModeWidth& width) {
              return (width.modes & static_cast<std::uint32_t>(value.mode)) != 0;
            });
        value.passband = width == rigctl::kKenwoodTransceiver.filters.end() ? 0 : width->hertz;
      });
      return;
    case Quantity::kVfo:
      ReadStatus(std::move(done), [](std::string_view status, RigValue& value) {
        value.vfo = VfoOf(status[cat::status::kVfo]);
      });
      return;
    case Quantity::kSplit:
      ReadStatus(std::move(done), [](std::string_view status, RigValue& value) {
        const Vfo receive = VfoOf(status[cat::status::kVfo]);
        value.number = status[cat::status::kSplit] == '1' ? 1 : 0;
        value.vfo = value.number == 1 ? Other(receive) : receive;
      });
      return;
    case Quantity::kPtt:
      ReadStatus(std::move(done), [](std::string_view status, RigValue& value) {
        value.number = status[cat::status::kTransmitting] == '1' ? 1 : 0;
      });
      return;
    case Quantity::kPowerStatus:
      ReadKey(K::kPower, [done = std::move(done)](RigError error, std::string_view digits) {
        RigValue value;
        value.number = static_cast<int>(Number(digits).value_or(0));
        done(error, value);
      });
      return;
    default:
      break;
  }
  const K key = LevelKey(quantity);
  ReadKey(key,
          [radio, key, quantity, done = std::move(done)](RigError error, std::string_view digits) {
            RigValue value;
            const std::optional<long> number = Number(digits);
            if (error == RigError::kOk && !number) {
              error = RigError::kProtocol;
            }
            if (error == RigError::kOk) {
              const cat::RadioAnswerForm& form = radio->AnswerOf(key);
              if (quantity == Quantity::kStrength) {
                value.number = StrengthDb(*radio, *number);
              } else if (quantity == Quantity::kKeySpeed) {
                value.number = static_cast<int>(*number);
              } else {
                value.fraction =
                    static_cast<float>(*number) / static_cast<float>(std::max(1, form.fullScale));
              }
            }
            done(error, value);
          });
}

void StationRig::SetKey(K key, std::string_view value, WriteDone done) {
  const std::string command = Radio().Set(key, value);
  if (command.empty()) {
    done(Radio().Sets(key) ? RigError::kInvalidArgument : RigError::kNotAvailable);
    return;
  }
  ctx_.requests.Ask(ctx_.owner, command, [done = std::move(done)](std::optional<std::string> sent) {
    done(sent ? RigError::kOk : RigError::kRejected);
  });
}

void StationRig::Write(Quantity quantity, Vfo vfo, const RigValue& value, WriteDone done) {
  const cat::RadioDialect& radio = Radio();
  switch (quantity) {
    case Quantity::kFrequency: {
      const std::string digits = std::to_string(value.hertz);
      const auto set = [this, digits, done](Vfo which) {
        SetKey(which == Vfo::kB ? K::kFrequencyB : K::kFrequencyA,
               std::string(11 - std::min<std::size_t>(11, digits.size()), '0') + digits, done);
      };
      if (value.hertz < 0 || digits.size() > 11) {
        done(RigError::kInvalidArgument);
      } else if (vfo != Vfo::kCurrent) {
        set(vfo);
      } else {
        // The current VFO, from the status answer (kept fresh by the others' polls).
        Read(Quantity::kVfo, Vfo::kCurrent, [set, done](RigError error, const RigValue& current) {
          if (error != RigError::kOk) {
            done(error);
          } else {
            set(current.vfo);
          }
        });
      }
      return;
    }
    case Quantity::kMode: {
      const auto name = std::ranges::find(kModeNames, value.mode, &ModeName::hamlib);
      const cat::ModeCode* code =
          name == kModeNames.end() ? nullptr : radio.CodeOf(name->mode, name->data);
      if (code == nullptr) {
        done(RigError::kInvalidArgument);
        return;
      }
      std::string setting(1, code->code);
      if (radio.modeNamesVfo) {
        setting.insert(setting.begin(), VfoDigit(vfo));
      }
      const bool dataApart = radio.Sets(K::kData) && !radio.CodesCarryData();
      const bool data = name->data;
      SetKey(K::kMode, setting, [this, dataApart, data, done](RigError error) {
        if (error != RigError::kOk || !dataApart) {
          done(error);
        } else {
          SetKey(K::kData, data ? "1" : "0", done);
        }
      });
      return;
    }
    case Quantity::kVfo: {
      const std::string digit(1, VfoDigit(value.vfo));
      SetKey(K::kReceiveVfo, digit, [this, digit, done](RigError error) {
        if (error != RigError::kOk || !Radio().Sets(K::kTransmitVfo)) {
          done(error);
        } else {
          SetKey(K::kTransmitVfo, digit, done);
        }
      });
      return;
    }
    case Quantity::kSplit:
      if (radio.Sets(K::kTransmitVfo)) {
        // The transmitting VFO: the other one while split, else the receiving one.
        Read(Quantity::kVfo, Vfo::kCurrent,
             [this, value, done](RigError error, const RigValue& current) {
               if (error != RigError::kOk) {
                 done(error);
                 return;
               }
               const Vfo transmit = value.number == 0 ? current.vfo
                                    : value.vfo == Vfo::kCurrent || value.vfo == current.vfo
                                        ? Other(current.vfo)
                                        : value.vfo;
               SetKey(K::kTransmitVfo, std::string(1, VfoDigit(transmit)), done);
             });
      } else {
        SetKey(K::kSplit, value.number == 0 ? "0" : "1", done);
      }
      return;
    case Quantity::kPtt:
      if (!ctx_.requests.RadioOpen()) {
        done(RigError::kRejected);
        return;
      }
      ctx_.keying(value.number != 0);
      done(RigError::kOk);
      return;
    case Quantity::kPowerStatus:
    case Quantity::kStrength:
      done(RigError::kNotAvailable);
      return;
    default:
      break;
  }
  const K key = LevelKey(quantity);
  if (key == K::kNone || !radio.Sets(key)) {
    done(RigError::kNotAvailable);
    return;
  }
  const cat::RadioAnswerForm& form = radio.AnswerOf(key);
  // Not a number is no level either.
  if (quantity != Quantity::kKeySpeed && !(value.fraction >= 0 && value.fraction <= 1)) {
    done(RigError::kInvalidArgument);
    return;
  }
  // A fraction stands for the whole scale, cut to a step below as Hamlib's
  // Kenwood backends cut it; the radio's lowest setting is as near to
  // nothing as it goes.
  const long wanted =
      quantity == Quantity::kKeySpeed
          ? value.number
          : std::clamp(static_cast<long>(value.fraction * static_cast<float>(form.fullScale)),
                       static_cast<long>(form.lowest), static_cast<long>(form.highest));
  if (wanted < form.lowest || wanted > form.highest) {
    done(RigError::kInvalidArgument);
    return;
  }
  const std::string command = radio.SetNumber(key, wanted);
  ctx_.requests.Ask(ctx_.owner, command, [done](std::optional<std::string> sent) {
    done(sent ? RigError::kOk : RigError::kRejected);
  });
}

}  // namespace vantorel::station
