#include "station/radio_requests.h"

#include <algorithm>
#include <array>
#include <utility>

#include "station/receive.h"

namespace vantorel::station {
namespace {

// Commands of two letters alone that act instead of reading.
constexpr auto kActions = std::to_array<std::string_view>({"TX", "RX"});
// Kept answers per two letters: enough for the selectors one read takes
// (the S-meter of either receiver, the levels of either).
constexpr std::size_t kKeptPerLetters = 8;

std::string_view Letters(std::string_view message) { return message.substr(0, 2); }

bool AllLetters(std::string_view text) {
  return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= 'A' && c <= 'Z'; });
}

}  // namespace

CommandKind KindOf(const cat::RadioDialect& radio, std::string_view command) {
  for (const cat::RadioAnswerForm& form : radio.answers) {
    if (!form.read.empty() && command == form.read) {
      return CommandKind::Read;
    }
  }
  for (const cat::RadioAnswerForm& form : radio.answers) {
    if (!form.form.empty() && cat::FitsForm(command, form.form)) {
      return CommandKind::Setting;
    }
  }
  std::string_view body = command;
  if (body.ends_with(radio.terminator)) {
    body.remove_suffix(1);
  }
  if (body.size() == 2 && AllLetters(body)) {
    return std::ranges::find(kActions, body) == kActions.end() ? CommandKind::Read
                                                               : CommandKind::Setting;
  }
  return CommandKind::Maybe;
}

void RadioRequests::Ask(ApplicationId owner, std::string command, Done done) {
  const CommandKind kind = KindOf(*ctx_.radio, command);
  waiting_.push_back({owner, std::move(command), kind, std::move(done), std::nullopt});
  Pump();
}

void RadioRequests::AskLocal(ApplicationId owner, std::string answer, Done done) {
  waiting_.push_back({owner, {}, CommandKind::Read, std::move(done), std::move(answer)});
  Pump();
}

void RadioRequests::Pump() {
  if (pumping_) {
    return;
  }
  pumping_ = true;
  while (!inFlight_ && !waiting_.empty()) {
    Request request = std::move(waiting_.front());
    waiting_.pop_front();
    if (request.local) {
      request.done(std::move(request.local));
      continue;
    }
    if (request.kind == CommandKind::Read) {
      if (std::optional<std::string> kept = Fresh(request.command)) {
        request.done(std::move(kept));
        continue;
      }
    }
    if (!ctx_.ports.IsOpen(PortRole::Radio)) {
      request.done(std::nullopt);
      continue;
    }
    // The radio drops a command that follows the previous one too closely.
    ctx_.loop.Wait(kRadioPause);
    if (request.kind != CommandKind::Read) {
      Drop(Letters(request.command));
    }
    ctx_.ports.Write(PortRole::Radio, request.command);
    ++sentToRadio_;
    if (request.kind == CommandKind::Setting) {
      request.done(std::string());
    } else {
      inFlight_ = InFlight{std::move(request), ctx_.loop.Now()};
    }
  }
  pumping_ = false;
}

bool RadioRequests::TakeRadioMessage(std::string_view message) {
  Keep(message);
  if (!inFlight_) {
    return false;
  }
  const cat::RadioDialect& radio = *ctx_.radio;
  std::string_view asked = inFlight_->request.command;
  if (asked.ends_with(radio.terminator)) {
    asked.remove_suffix(1);
  }
  if (radio.IsRefusal(message)) {
    Finish(std::string(message));  // the asker hears the refusal as the radio said it
    return true;
  }
  if (!message.starts_with(asked)) {
    return false;
  }
  Finish(std::string(message));
  return true;
}

void RadioRequests::Tick() {
  if (!inFlight_) {
    Pump();
    return;
  }
  const auto limit =
      inFlight_->request.kind == CommandKind::Read ? kReadAnswerLimit : kMaybeAnswerLimit;
  if (ctx_.loop.Now() - inFlight_->since >= limit) {
    const bool read = inFlight_->request.kind == CommandKind::Read;
    Finish(read ? std::nullopt : std::optional<std::string>(std::string()));
  }
}

void RadioRequests::Finish(std::optional<std::string> answer) {
  Done done = std::move(inFlight_->request.done);
  inFlight_.reset();
  done(std::move(answer));
  Pump();
}

void RadioRequests::Forget(ApplicationId owner) {
  std::erase_if(waiting_, [owner](const Request& request) { return request.owner == owner; });
  if (inFlight_ && inFlight_->request.owner == owner) {
    inFlight_->request.done = [](std::optional<std::string> /*answer*/) {};
  }
}

void RadioRequests::RadioGone() {
  kept_.clear();
  std::deque<Request> waiting = std::exchange(waiting_, {});
  if (inFlight_) {
    waiting.push_front(std::move(inFlight_->request));
    inFlight_.reset();
  }
  for (Request& request : waiting) {
    request.done(std::nullopt);
  }
}

std::optional<std::string> RadioRequests::Fresh(std::string_view read) const {
  if (read.ends_with(ctx_.radio->terminator)) {
    read.remove_suffix(1);
  }
  const auto letters = kept_.find(Letters(read));
  if (letters == kept_.end()) {
    return std::nullopt;
  }
  const Clock::time_point now = ctx_.loop.Now();
  for (auto kept = letters->second.rbegin(); kept != letters->second.rend(); ++kept) {
    if (kept->message.starts_with(read)) {
      if (now - kept->at < kFreshAnswer) {
        return kept->message;
      }
      return std::nullopt;
    }
  }
  return std::nullopt;
}

void RadioRequests::Keep(std::string_view message) {
  if (message.size() < 3 || !AllLetters(Letters(message)) || ctx_.radio->IsRefusal(message)) {
    return;
  }
  std::vector<Kept>& kept = kept_[std::string(Letters(message))];
  // The same value again, or the same selector's newer one, replaces it. A
  // changed value means the status answer kept is old too.
  bool changed = false;
  std::erase_if(kept, [&](const Kept& old) {
    const bool same = old.message.size() == message.size() &&
                      old.message.compare(0, 3, message.substr(0, 3)) == 0;
    changed = changed || (same && old.message != message);
    return same;
  });
  if (changed && Letters(message) != "IF") {
    kept_.erase(std::string("IF"));
  }
  if (kept.size() >= kKeptPerLetters) {
    kept.erase(kept.begin());
  }
  kept.push_back({std::string(message), ctx_.loop.Now()});
}

void RadioRequests::Drop(std::string_view letters) {
  if (const auto found = kept_.find(letters); found != kept_.end()) {
    kept_.erase(found);
  }
  if (const auto status = kept_.find(std::string_view("IF")); status != kept_.end()) {
    kept_.erase(status);
  }
}

}  // namespace vantorel::station
