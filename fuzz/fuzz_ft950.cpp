// libFuzzer target for the FT-950 emulation. The first byte sets the Power
// On/Off box (its value modulo 3) and whether the radio is keyed (bit 2); the
// rest is a series of lines. A line's first byte says whose text it is (bit 0
// set: App 1's, clear: the radio's) and how far the clock moves first (the
// other bits, in units of 8 ms); the rest of the line is the text.
//
// Traps: an exception leaving the emulation; the radio hearing anything but
// digits after known Kenwood letters, or a transmit or receive the bridge is
// not told of as App 1's keying; App 1 hearing a text longer than the status
// answer or not ended by ";"; anything still owed once the clock has passed
// the read limit.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cat/ft950_emulation.h"

namespace {

using vantorel::cat::EmulatedCommand;
using vantorel::cat::Ft950Emulation;
using vantorel::cat::Keying;

constexpr std::string_view kRadioLetters[] = {"FA", "FB", "MD", "DA", "IF", "FR", "FT", "PS",
                                              "PC", "AG", "RG", "SQ", "GT", "KS", "MG", "SM",
                                              "RM", "RT", "XT", "RC", "RU", "RD"};

bool IsRadioCommand(std::string_view command) {
  bool known = false;
  for (const std::string_view letters : kRadioLetters) {
    known = known || command.substr(0, 2) == letters;
  }
  if (!known || command.size() < 3 || command.back() != ';') {
    return false;
  }
  for (const char c : command.substr(2, command.size() - 3)) {
    if (c < '0' || c > '9') {
      return false;
    }
  }
  return true;
}

void Check(const EmulatedCommand& out) {
  // The radio's transmit and receive come only from App 1's keying, and the
  // last of them is what the bridge is told.
  Keying last = Keying::Unchanged;
  std::string_view radio = out.toRadio;
  for (auto end = radio.find(';'); !radio.empty(); end = radio.find(';')) {
    if (end == std::string_view::npos) {
      __builtin_trap();
    }
    const std::string_view command = radio.substr(0, end + 1);
    if (command == "TX1;" || command == "RX;") {
      last = command == "RX;" ? Keying::KeyUp : Keying::KeyDown;
    } else if (!IsRadioCommand(command)) {
      __builtin_trap();
    }
    radio.remove_prefix(end + 1);
  }
  if (last != out.keying) {
    __builtin_trap();
  }
  std::string_view app1 = out.toApp1;
  for (auto end = app1.find(';'); !app1.empty(); end = app1.find(';')) {
    if (end == std::string_view::npos || end + 1 > 27) {
      __builtin_trap();
    }
    app1.remove_prefix(end + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) {
    return 0;
  }
  vantorel::cat::EmulationContext ctx;
  ctx.powerControl = data[0] % 3;
  ctx.radioKeyed = (data[0] & 4) != 0;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  Ft950Emulation emulation;
  Ft950Emulation::Clock::time_point now{};

  // Any exception escaping here ends the run as a crash.
  while (!rest.empty()) {
    const auto newline = rest.find('\n');
    const std::string_view line = rest.substr(0, newline);
    rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
    if (line.empty()) {
      continue;
    }
    const auto control = static_cast<unsigned char>(line[0]);
    now += std::chrono::milliseconds(8 * (control >> 1));
    EmulatedCommand out;
    if ((control & 1) != 0) {
      out = emulation.Command(line.substr(1), ctx, now);
      if (out.keying != Keying::Unchanged) {
        ctx.radioKeyed = out.keying == Keying::KeyDown;
      }
    } else {
      out.toApp1 = emulation.Answer(line.substr(1), now);
    }
    Check(out);
  }
  now += Ft950Emulation::kReadLimit;
  Check({.toApp1 = emulation.ExpireReads(now)});
  if (emulation.WaitingForRadio()) {
    __builtin_trap();
  }
  return 0;
}
