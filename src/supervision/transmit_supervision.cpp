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

TickResult Timer2_Timer(SupervisionContext& ctx) {
  TickResult result;
  if (!ctx.txOn) {
    return result;
  }
  // The limit never exceeds the largest count, so the count is at most that
  // after a tick without shutdown; the test only guards against a count that
  // something else left at the top.
  if (ctx.txTime < kLongestTransmission) {
    ++ctx.txTime;
  }
  if (ctx.txTime < ShutdownLimit(ctx.shutDwn)) {
    return result;
  }

  ctx.txOn = false;
  // Every write is tried even when an earlier one was refused: the radio must
  // still be unkeyed and powered off if App 1's port fails, and the reverse.
  for (const auto& write : kShutdown) {
    try {
      if (ctx.ports.IsOpen(write.port)) {
        ctx.ports.Write(write.port, write.text);
      }
    } catch (const std::exception& e) {
      result.failures.emplace_back(e.what());
    }
  }
  ctx.txTime = 0;
  result.shutDown = true;
  return result;
}

}  // namespace vantorel::supervision
