// What every simulated Kenwood shares: the operating modes, the settings a
// radio keeps, the classes of mode its filters belong to, the transmit meters
// and the RIT. What differs from model to model is in radio_model.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantorel::sim {

// The operating modes, by their MD digit (A and B are PSK, which only the
// TS-890 class knows). A data mode is one of these with a data number
// (VfoState::dataMode): "DA1;" on a TS-590, its own code on a TS-890 or TS-990.
enum class Mode : char {
  kLsb = '1',
  kUsb = '2',
  kCw = '3',
  kFm = '4',
  kAm = '5',
  kFsk = '6',
  kCwReverse = '7',
  kFskReverse = '9',
  kPsk = 'A',
  kPskReverse = 'B',
};

// A radio keeps its filters per class of mode: the data modes share their
// base mode's filters.
enum class ModeClass : std::uint8_t { kSsb, kCw, kFsk, kPsk, kFm, kAm, kCount };

constexpr ModeClass ClassOf(Mode mode) {
  switch (mode) {
    case Mode::kCw:
    case Mode::kCwReverse:
      return ModeClass::kCw;
    case Mode::kFsk:
    case Mode::kFskReverse:
      return ModeClass::kFsk;
    case Mode::kPsk:
    case Mode::kPskReverse:
      return ModeClass::kPsk;
    case Mode::kFm:
      return ModeClass::kFm;
    case Mode::kAm:
      return ModeClass::kAm;
    case Mode::kLsb:
    case Mode::kUsb:
      break;
  }
  return ModeClass::kSsb;
}

// A filter's edges in hertz: the low and high cut where the radio has them
// (SSB, AM, FM), and the passband width of its CW and FSK filters, or the IF
// filter it chose in the other modes (FW on the TS-2000 and TS-480).
struct Passband {
  int lowCut = 0;
  int highCut = 0;
  int width = 0;
  bool operator==(const Passband&) const = default;
};

// What a radio starts with, by ModeClass.
inline constexpr std::array<Passband, static_cast<std::size_t>(ModeClass::kCount)>
    kStartingPassbands{{
        {300, 2700, 2400},   // SSB
        {0, 0, 500},         // CW
        {0, 0, 500},         // FSK
        {0, 0, 500},         // PSK
        {300, 2700, 12000},  // FM
        {100, 4000, 6000},   // AM
    }};

// The settings a radio keeps as one number each. A model's radio_model.h
// table says which it has, under which letters, with which range.
enum class Setting : std::uint8_t {
  kAfGain,
  kAfGainSub,  // the sub receiver's (TS-990S, TS-2000)
  kSquelch,
  kSquelchSub,
  kRfGain,
  kRfGainSub,
  kPower,
  kMicGain,
  kKeySpeed,
  kAgc,  // in the model's own form: GT time constant or GC speed
  kAgcSub,
  kAgcSpeed,  // the TS-890 class's GC where the model's own AGC is GT
  kNoiseBlanker,
  kNoiseReduction,
  kAttenuator,
  kPreamp,
  kRit,
  kXit,
  kAutoInformation,
  kNotchFrequency,
  kMonitorLevel,
  kNoiseBlankerLevel,
  kBreakInDelay,
  kVoxGain,
  kNoiseReductionLevel,
  kCount,
};

inline constexpr std::size_t kSettingCount = static_cast<std::size_t>(Setting::kCount);

// How the transmitter is keyed: with microphone audio ("TX;", "TX0;" on most
// models, the microphone's switch) or with the data input ("TX1;").
enum class Keying : std::uint8_t { kReceive, kMicrophone, kDataAudio };

// The transmit meters by their RM digit: "RMp;" puts meter p on the display,
// "RM;" reads all three at once ("RM1nnnn;RM2nnnn;RM3nnnn;").
enum class TransmitMeter : char { kSwr = '1', kCompression = '2', kAlc = '3' };

inline constexpr auto kTransmitMeters = std::to_array<TransmitMeter>({
    TransmitMeter::kSwr,
    TransmitMeter::kCompression,
    TransmitMeter::kAlc,
});

constexpr std::size_t MeterIndex(TransmitMeter meter) {
  return static_cast<std::size_t>(meter) - static_cast<std::size_t>(TransmitMeter::kSwr);
}

// FA/FB carry eleven digits of hertz on every model.
inline constexpr std::size_t kFrequencyDigits = 11;

// RIT/XIT: RU/RD carry five digits of hertz, a bare RU/RD moves one step, and
// the offset stops at ±9.99 kHz like the knob does.
inline constexpr std::size_t kRitDigits = 5;
inline constexpr int kRitStepHertz = 10;
inline constexpr int kRitLimitHertz = 9'990;

// Meter readings are four digits wide.
inline constexpr std::size_t kMeterDigits = 4;

}  // namespace vantorel::sim
