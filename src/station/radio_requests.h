// The radio shared by the extra applications: their commands go to it one at
// a time, each answer back to the one that asked, and the radio's messages
// are kept as the station's picture of the radio, so reads that several
// programs repeat are answered from it while fresh instead of reaching the
// radio again.
//
// The picture is kept current from everything the radio says: its
// auto-information reports (the station switches them on at every open) and
// the answers to anyone's reads, App 1's included. An application's setting
// drops what was kept of the same letters, and the status answer, until the
// radio says them again.
//
// A command is a read when it has a read's form in the radio dialect, or is
// two letters alone (except keying); a command with the form of a setting
// gets no answer; anything else may or may not be answered, and is waited
// for a moment.
//
// Threading: the program's one thread. Ask may wait the radio's pause, which
// lets other handlers run; completions are called with no request of this
// object's in hand.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cat/radio_dialect.h"
#include "station/event_loop.h"
#include "station/port_slots.h"

namespace vantorel::station {

// How long a kept answer serves reads in place of the radio.
inline constexpr std::chrono::milliseconds kFreshAnswer{150};
// How long a read waits for the radio's answer.
inline constexpr std::chrono::milliseconds kReadAnswerLimit{1000};
// How long a command that may or may not be answered holds the radio.
inline constexpr std::chrono::milliseconds kMaybeAnswerLimit{100};

using ApplicationId = std::uint32_t;

enum class CommandKind { Read, Setting, Maybe };

// What a command is, by the radio dialect in hand.
CommandKind KindOf(const cat::RadioDialect& radio, std::string_view command);

class RadioRequests {
 public:
  // The radio's answer (or its refusal, "?;"); "" for a command sent that has
  // none (a setting, or one the radio left unanswered that may have had
  // none); nothing when the radio left a read unanswered or was not there to
  // take it.
  using Done = std::function<void(std::optional<std::string> answer)>;

  struct Context {
    PortSlots& ports;
    EventLoop& loop;
    const cat::RadioDialect* const& radio;
  };
  explicit RadioRequests(Context context) : ctx_(context) {}

  // One command, with its terminator. A setting's `done` is called once it
  // was handed to the radio's port.
  void Ask(ApplicationId owner, std::string command, Done done);
  // An answer given here, not by the radio: `done` gets it in its turn,
  // behind the owner's commands asked before.
  void AskLocal(ApplicationId owner, std::string answer, Done done);
  // A radio message: kept, and true when it was the answer to the read in
  // flight (it then went to its asker and to nobody else).
  bool TakeRadioMessage(std::string_view message);
  // Reads waiting past their limit end with nothing; the next goes.
  void Tick();
  [[nodiscard]] bool RadioOpen() const { return ctx_.ports.IsOpen(PortRole::Radio); }
  // An application went away: its commands not sent yet go too, and the
  // answer to one in flight goes to nobody.
  void Forget(ApplicationId owner);
  // The radio's port closed: everything waiting ends with nothing, and
  // nothing kept is fresh any more.
  void RadioGone();

  // The kept answer to a read while it is fresh.
  [[nodiscard]] std::optional<std::string> Fresh(std::string_view read) const;
  // The radio messages sent to it by the applications, for a count.
  [[nodiscard]] std::uint64_t SentToRadio() const { return sentToRadio_; }

 private:
  struct Request {
    ApplicationId owner;
    std::string command;
    CommandKind kind;
    Done done;
    std::optional<std::string> local;  // answered here
  };
  struct InFlight {
    Request request;
    Clock::time_point since;
  };
  struct Kept {
    std::string message;
    Clock::time_point at;
  };

  void Pump();
  void Keep(std::string_view message);
  void Drop(std::string_view letters);
  // Ends the request in flight with `answer` and goes on with the next.
  void Finish(std::optional<std::string> answer);

  Context ctx_;
  std::deque<Request> waiting_;
  std::optional<InFlight> inFlight_;
  bool pumping_ = false;
  // The radio's latest messages, by their two letters, newest last.
  std::map<std::string, std::vector<Kept>, std::less<>> kept_;
  std::uint64_t sentToRadio_ = 0;
};

}  // namespace vantorel::station
