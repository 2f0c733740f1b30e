#include "supervision/transmit_supervision.h"

#include <array>
#include <exception>

#include "cat/text_helpers.h"

namespace vantorel::supervision {
namespace {

struct ShutdownWrite {
  cat::CatPort port;
  std::string_view text;
};

// Unkey the radio, tell App 1 that transmit and MOX are off, then power both
// sides off. The order matters to the radio: out of transmit before power-off.
constexpr std::array<ShutdownWrite, 6> kShutdown{{
    {cat::CatPort::Radio, "RX;"},
    {cat::CatPort::App1, "TX0;"},
    {cat::CatPort::Radio, "MX0;"},
    {cat::CatPort::App1, "MX0;"},
    {cat::CatPort::App1, "PS0;"},
    {cat::CatPort::Radio, "PS0;"},
}};

}  // namespace

double ShutdownLimit(std::string_view shutDwn) {
  const double limit = cat::LeadingNumber(shutDwn);
  // Written so that a NaN also lands on the longest transmission: a limit the
  // count can never reach would leave the transmitter keyed for ever.
  if (!(limit <= kLongestTransmission)) {
    return kLongestTransmission;
  }
  return limit;
}

void WriteRadioShutdown(cat::CatPorts& ports) {
  for (const auto& write : kShutdown) {
    if (write.port == cat::CatPort::Radio && ports.IsOpen(cat::CatPort::Radio)) {
      ports.WriteFirst(cat::CatPort::Radio, write.text);
    }
  }
}

TickResult Timer2_Timer(SupervisionContext& ctx) {
  TickResult result;
  cat::KeyingState& keying = ctx.keying;
  if (!keying.TXOn) {
    return result;
  }
  // The limit never exceeds the largest count, so the count is at most that
  // after a tick without shutdown; the test only guards against a count that
  // something else left at the top.
  if (keying.TXTime < kLongestTransmission) {
    ++keying.TXTime;
  }
  if (keying.TXTime < ShutdownLimit(ctx.shutDwn)) {
    return result;
  }

  keying.TXOn = false;
  // Every write is tried even when an earlier one was refused: the radio must
  // still be unkeyed and powered off if App 1's port fails, and the reverse.
  for (const auto& write : kShutdown) {
    try {
      if (ctx.ports.IsOpen(write.port)) {
        // The radio's part goes ahead of whatever else waits for it.
        if (write.port == cat::CatPort::Radio) {
          ctx.ports.WriteFirst(write.port, write.text);
        } else {
          ctx.ports.Write(write.port, write.text);
        }
        continue;
      }
    } catch (const std::exception& e) {
      result.failures.emplace_back(e.what());
    }
    if (write.port == cat::CatPort::Radio) {
      result.radioMissed = true;
    }
  }
  keying.TXTime = 0;
  // A radio that missed its part may still be keyed.
  keying.radioKeyed = result.radioMissed && keying.radioKeyed;
  result.shutDown = true;
  return result;
}

}  // namespace vantorel::supervision
