// An application's dialect: how the text one application sends is cut into
// commands, what each command becomes for the radio and for the application,
// and what the radio's messages become for the application. The station picks
// one per application port, once, when the options change, and routes through
// it without asking which it is.
//
// Three dialects exist: the contract translation (App 1 set up for an FT-950
// while the radio is a Kenwood, with echoes), the FT-950 emulation (App 1 a
// standard FT-950 client) and the pass-through (the application speaks the
// radio's own commands).
//
// A dialect never yields and does no I/O of its own, except writes the
// contract translation makes straight to the ports through
// DialectContext::ports, which reach them before the caller's writes.
//
// Threading: the program's one thread; one instance per application port.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cat/cat_ports.h"
#include "cat/keying.h"
#include "cat/radio_dialect.h"
#include "common/check.h"

namespace vantorel::cat {

using Clock = std::chrono::steady_clock;

// What a dialect's call reads and changes outside itself. Built afresh for
// every call from the options as they stand then.
struct DialectContext {
  Check powerControl = Check::Ticked;  // Power On/Off: App 1 may not switch the radio on
  bool superviseTransmit = true;       // a key-down arms the transmit time-out
  bool app2Unused = true;              // App 2 out of use (Ignore2)
  // The radio's transmit state: a dialect keys and unkeys through it
  // (cat::KeyDown and cat::KeyUp), so the time-out comes however it was keyed.
  KeyingState& keying;
  CatPorts& ports;
  Clock::time_point now;
};

struct CommandResult {
  std::string toRadio;  // written to the radio first ("" for none)
  std::string toApp;    // then to the application, while the station still routes this way
  // The application changed the VFO it works on: B (true) or A.
  std::optional<bool> onVfoB;
  // A line for the log ("" for none).
  std::string note;
};

class ApplicationDialect {
 public:
  virtual ~ApplicationDialect() = default;

  // A block the application sent; NextCommand then gives its commands.
  virtual void Take(std::string_view block) = 0;
  // The next command of the block taken last; nothing when it is done.
  virtual std::optional<std::string> NextCommand() = 0;
  virtual CommandResult Command(std::string_view command, DialectContext& ctx) = 0;
  // A text from the radio (one message when the radio's text is framed, else
  // whatever waited): what the application gets. May throw; the receive pass
  // reports it.
  virtual std::string Answer(std::string_view radioText, DialectContext& ctx) = 0;

  // How many commands a block holds, for the traffic count.
  [[nodiscard]] virtual std::uint64_t MessagesIn(std::string_view block) const = 0;
  // Whether the radio's pause comes before the commands of a block reach the
  // radio (the radio drops a command that follows another too closely).
  [[nodiscard]] virtual bool PausesBeforeRadio() const { return true; }

  // Whether reads wait for the radio; Overdue answers those waiting too long.
  [[nodiscard]] virtual bool WaitingForRadio() const { return false; }
  virtual std::string Overdue(Clock::time_point /*now*/) { return {}; }
  // The ports were closed or opened again: reads in flight and half commands
  // are forgotten; what the application set stays.
  virtual void Reset() {}
  // Another radio is on the line (learned, or chosen by the user): its forms
  // from now on; what the application set stays.
  virtual void FollowRadio(const RadioDialect& /*radio*/) {}
};

enum class DialectKind {
  ContractTranslation,  // App 1 set up for an FT-950, the radio a Kenwood, with echoes
  Emulation,            // App 1 a standard FT-950 client
  PassThrough,          // the radio's own commands, keying left to the application
  PassThroughKeying,    // the same, and the transmit supervision follows its keying
};

[[nodiscard]] std::unique_ptr<ApplicationDialect> MakeDialect(DialectKind kind,
                                                              const RadioDialect& radio);

}  // namespace vantorel::cat
