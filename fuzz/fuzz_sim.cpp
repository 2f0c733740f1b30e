// libFuzzer target for the simulated Kenwood radio of each model. The first
// byte picks the model (its value modulo their number); then events
// (fuzz_check.h), by their kind:
//   0-3  the bytes come from the computer
//   4    a VFO's knob turned (A or B by the first byte, to the hertz of the
//        next four)          5  a mode key (first byte), with a data mode
//   6    the microphone pressed or let go, or the power switched (first byte)
//   7    the meters set (first and second byte)
//
// Two radios run side by side, one taking the computer's bytes at once and
// the other one byte at a time. Traps: the two saying different things or
// ending in different states; anything sent that is not whole ';'-ended
// messages; more than the longest command held waiting; a VFO outside the
// model's bands, the clarifier past its limit or a meter past full scale; a
// radio switched off that says anything but its power answer or "?;".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "sim/kenwood_radio.h"
#include "sim/radio_model.h"

namespace {

using namespace vantorel::sim;

constexpr Mode kModes[] = {Mode::kLsb, Mode::kUsb,       Mode::kCw,        Mode::kFm,
                           Mode::kAm,  Mode::kFsk,       Mode::kCwReverse, Mode::kFskReverse,
                           Mode::kPsk, Mode::kPskReverse};

void RequireMessages(std::string_view text) { FUZZ_REQUIRE(text.empty() || text.back() == ';'); }

void RequireSound(const KenwoodRadio& radio) {
  const RadioState& state = radio.State();
  const RadioModel& model = *state.model;
  FUZZ_REQUIRE(radio.PendingBytes() <= CommandFramer::kLongestCommand);
  for (const VfoState& vfo : state.vfos) {
    bool inBand = false;
    for (const HertzRange& band : model.bands) {
      inBand = inBand || (vfo.hertz >= band.lowest && vfo.hertz <= band.highest);
    }
    FUZZ_REQUIRE(inBand);
  }
  FUZZ_REQUIRE(state.ritHertz >= -kRitLimitHertz && state.ritHertz <= kRitLimitHertz);
  FUZZ_REQUIRE(state.sMeter >= 0 && state.sMeter <= model.meterTop);
  for (const int meter : state.transmitMeters) {
    FUZZ_REQUIRE(meter >= 0 && meter <= model.meterTop);
  }
}

// Only power answers (or the refusal of a power command it cannot read) while
// the radio stays off. Checked byte by byte, where a reply belongs to the one
// command that byte completed: a block of bytes may switch the radio on, have
// it answer and switch it off again.
void RequireQuietWhileOff(bool wasOn, const KenwoodRadio& radio, std::string_view said) {
  if (wasOn || radio.State().poweredOn) {
    return;
  }
  for (auto end = said.find(';'); !said.empty(); end = said.find(';')) {
    FUZZ_REQUIRE(said.starts_with("PS") || said.starts_with("?;"));
    said.remove_prefix(end + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  const std::vector<std::string_view> names = ModelNames();
  const RadioModel& model = *FindModel(names[data[0] % names.size()]);
  KenwoodRadio atOnce(model);
  KenwoodRadio byByte(model);
  std::string saidAtOnce;
  std::string saidByByte;

  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  while (!rest.empty()) {
    const vantorel::fuzz::Event event = vantorel::fuzz::NextEvent(rest);
    const std::string_view bytes = event.bytes;
    const auto byte = [&](std::size_t at) { return event.Byte(at); };
    // The same front-panel operation on both radios.
    const auto panel = [&](auto operate) {
      const std::string a = operate(atOnce);
      const std::string b = operate(byByte);
      FUZZ_REQUIRE(a == b);
      RequireMessages(a);
      saidAtOnce += a;
      saidByByte += b;
    };
    switch (event.kind) {
      case 4: {
        const std::uint64_t hertz =
            static_cast<std::uint64_t>(byte(1)) << 24 | byte(2) << 16 | byte(3) << 8 | byte(4);
        panel([&](KenwoodRadio& r) {
          return r.TuneVfo(byte(0) % 2 ? Vfo::kB : Vfo::kA, hertz * 16);
        });
        break;
      }
      case 5:
        panel([&](KenwoodRadio& r) {
          return r.SelectMode(kModes[byte(0) % std::size(kModes)], byte(1) % 4);
        });
        break;
      case 6:
        panel([&](KenwoodRadio& r) {
          return byte(0) % 2 ? r.PressMicrophone(byte(0) & 2) : r.SwitchPower(byte(0) & 2);
        });
        break;
      case 7:
        atOnce.SetSMeter(byte(0) - 64);
        byByte.SetSMeter(byte(0) - 64);
        atOnce.SetTransmitMeter(TransmitMeter::kSwr, byte(1) - 64);
        byByte.SetTransmitMeter(TransmitMeter::kSwr, byte(1) - 64);
        break;
      default: {
        const std::string said = atOnce.Receive(bytes);
        RequireMessages(said);
        saidAtOnce += said;
        for (const char c : bytes) {
          const bool on = byByte.State().poweredOn;
          const std::string piece = byByte.Receive(std::string_view(&c, 1));
          RequireMessages(piece);
          RequireQuietWhileOff(on, byByte, piece);
          saidByByte += piece;
        }
        break;
      }
    }
    FUZZ_REQUIRE(saidAtOnce == saidByByte);
    RequireSound(atOnce);
    RequireSound(byByte);
  }
  FUZZ_REQUIRE(atOnce.PendingBytes() == byByte.PendingBytes());
  return 0;
}
