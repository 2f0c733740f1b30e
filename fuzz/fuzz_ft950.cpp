// libFuzzer target for the FT-950 emulation in front of every radio dialect.
// The first byte picks the dialect (its value modulo their number), the Power
// On/Off box (bits 4-5, modulo 3) and whether the radio is keyed (bit 6); the
// rest is a series of lines. A line's first byte says whose text it is (bit 0
// set: App 1's, clear: the radio's) and how far the clock moves first (the
// other bits, in units of 8 ms); the rest of the line is the text.
//
// Traps: an exception leaving the emulation; the radio hearing anything but
// its dialect's own reads and settings; a transmit or receive without the
// keying following it; App 1 hearing a text longer than the status answer or
// not ended by ";"; anything still owed once the clock has passed the read
// limit.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cat/ft950_emulation.h"
#include "cat/radio_dialect.h"
#include "fuzz_ports.h"

namespace {

using vantorel::cat::FitsForm;
using vantorel::cat::LiteralStart;
using vantorel::cat::RadioDialect;

// One of the dialect's own reads (the mode read naming either VFO where the
// radio's does), or a setting in one of its forms.
bool IsRadioCommand(const RadioDialect& dialect, std::string_view command) {
  for (const auto& row : dialect.answers) {
    const bool namesVfo = dialect.modeNamesVfo && row.key == vantorel::cat::RadioKey::kMode;
    if ((!row.read.empty() && command == row.read) ||
        (!row.form.empty() && FitsForm(command, row.form)) ||
        (namesVfo && FitsForm(command, std::string(LiteralStart(row.form)) + "#;"))) {
      return true;
    }
  }
  return command == dialect.clarifierClear || FitsForm(command, dialect.clarifierUp) ||
         FitsForm(command, dialect.clarifierDown);
}

void Check(const RadioDialect& dialect, const vantorel::cat::CommandResult& out,
           const vantorel::cat::KeyingState& before, const vantorel::cat::KeyingState& after) {
  // The radio's transmit and receive come only from App 1's keying, and the
  // last of them is what the keying says.
  bool keyed = before.radioKeyed;
  std::string_view radio = out.toRadio;
  for (auto end = radio.find(';'); !radio.empty(); end = radio.find(';')) {
    if (end == std::string_view::npos) {
      __builtin_trap();
    }
    const std::string_view command = radio.substr(0, end + 1);
    if (command == dialect.keyDown || command == dialect.unkey) {
      keyed = command == dialect.keyDown;
    } else if (!IsRadioCommand(dialect, command)) {
      __builtin_trap();
    }
    radio.remove_prefix(end + 1);
  }
  if (keyed != after.radioKeyed) {
    __builtin_trap();
  }
  std::string_view app1 = out.toApp;
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
  const auto dialects = vantorel::cat::RadioDialects();
  const RadioDialect& dialect = *dialects[data[0] % dialects.size()];
  vantorel::cat::KeyingState keying;
  keying.radioKeyed = (data[0] & 0x40) != 0;
  vantorel::fuzz::FuzzPorts ports(0);  // the emulation writes to no port itself
  vantorel::cat::DialectContext ctx{.keying = keying, .ports = ports, .now = {}};
  ctx.powerControl = static_cast<vantorel::Check>(((data[0] >> 4) & 3) % 3);
  vantorel::cat::Ft950Emulation emulation(dialect);
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

  // Any exception escaping here ends the run as a crash.
  while (!rest.empty()) {
    const auto newline = rest.find('\n');
    const std::string_view line = rest.substr(0, newline);
    rest.remove_prefix(newline == std::string_view::npos ? rest.size() : newline + 1);
    if (line.empty()) {
      continue;
    }
    const auto control = static_cast<unsigned char>(line[0]);
    ctx.now += std::chrono::milliseconds(8 * (control >> 1));
    const vantorel::cat::KeyingState before = keying;
    vantorel::cat::CommandResult out;
    if ((control & 1) != 0) {
      out = emulation.Command(line.substr(1), ctx);
    } else {
      out.toApp = emulation.Answer(line.substr(1), ctx);
    }
    Check(dialect, out, before, keying);
  }
  ctx.now += vantorel::cat::Ft950Emulation::kReadLimit;
  Check(dialect, {.toApp = emulation.Overdue(ctx.now)}, keying, keying);
  if (emulation.WaitingForRadio()) {
    __builtin_trap();
  }
  return 0;
}
