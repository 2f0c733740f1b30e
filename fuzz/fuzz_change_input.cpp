// libFuzzer target for ChangeInput. The first byte sets the ports and option
// boxes, the second the length of App 1's pending text; the rest is a series
// of App 1 messages separated by newlines, translated one after another by
// one translator so that the CW key mode carries over between them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cat/command_translation.h"
#include "fuzz_ports.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  const unsigned flags = data[0];
  const std::size_t pending = data[1] % 16;
  std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);

  vantorel::fuzz::FuzzPorts ports(flags);
  vantorel::cat::TranslationState translation{(flags & 16) != 0, false};
  vantorel::cat::KeyingState keying{false, 5};
  vantorel::cat::CommandContext ctx{.translation = translation,
                                    .keying = keying,
                                    .ignore2 = (flags & 32) != 0,
                                    .pwrOn = vantorel::CheckOf((flags & 64) != 0),
                                    .monitorTX = (flags & 128) != 0,
                                    .ports = ports};

  while (true) {
    const auto newline = rest.find('\n');
    std::string message(rest.substr(0, newline));
    ctx.pendingLength = pending;
    ctx.dropPending = false;

    // Any exception escaping here ends the run as a crash: the command
    // translation skips its own faults.
    const std::string result = vantorel::cat::ChangeInput(message, ctx);
    if (result != message) {
      __builtin_trap();
    }
    if (ctx.dropPending != (pending > 10)) {
      __builtin_trap();
    }
    if (keying.TXOn && (flags & 128) == 0) {
      __builtin_trap();  // only a monitored key-down arms the supervision
    }
    if (newline == std::string_view::npos) {
      break;
    }
    rest.remove_prefix(newline + 1);
  }
  return 0;
}
