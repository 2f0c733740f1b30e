#include "nox/log_events.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "ports/log.h"

namespace vantorel::nox {

using ports::Log;
using ports::Severity;
using station::PortRole;
using station::PortState;
using station::Topic;

namespace {

struct StateLine {
  PortState state;
  Severity severity;
  const char* text;
};

constexpr std::array<StateLine, 4> kStateLines{{
    {PortState::Open, Severity::Info, " is open"},
    {PortState::Closed, Severity::Info, " is closed"},
    {PortState::Reconnecting, Severity::Warning, " was lost and is being tried again"},
    {PortState::Failed, Severity::Critical, " was lost for good"},
}};

}  // namespace

std::string_view PortTitle(PortRole role) {
  switch (role) {
    case PortRole::App1:
      return "App 1's port";
    case PortRole::App2:
      return "App 2's port";
    case PortRole::Radio:
      break;
  }
  return "the radio's port";
}

std::string PortSentence(PortRole role, std::string_view rest) {
  std::string text(PortTitle(role));
  text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text.append(rest);
}

void LogEvents::ApplicationStateChanged(std::string_view name, PortState state,
                                        std::string_view reason) {
  const auto line = std::ranges::find(kStateLines, state, &StateLine::state);
  // An application that cannot be reached is no reason to end the service.
  std::string text =
      std::string(name) + "'s port" +
      (state == PortState::Failed ? " could not be opened" : std::string(line->text));
  if (!reason.empty()) {
    text.append(": ").append(reason);
  }
  Log(Topic::Ports, state == PortState::Failed ? Severity::Warning : line->severity, text);
}

void LogEvents::TranslatedText(std::string_view text) {
  Log(Topic::Routing, Severity::Info, "to the radio: " + std::string(text));
}

void LogEvents::Monitor(std::string_view piece) {
  Log(Topic::Routing, Severity::Info, "from App 1: " + std::string(piece));
}

void LogEvents::Message(Topic topic, std::string_view text) { Log(topic, Severity::Warning, text); }

void LogEvents::Note(Topic topic, std::string_view text) { Log(topic, Severity::Info, text); }

void LogEvents::PortStateChanged(PortRole role, PortState state, std::string_view reason) {
  for (const StateLine& line : kStateLines) {
    if (line.state != state) {
      continue;
    }
    std::string text = PortSentence(role, line.text);
    if (!reason.empty()) {
      text.append(": ").append(reason);
    }
    Log(Topic::Ports, line.severity, text);
  }
  if (state == PortState::Failed && role != PortRole::App2 && portFailed_) {
    portFailed_(role);
  }
}

void LogEvents::App1VfoChanged(bool vfoB) {
  Log(Topic::Routing, Severity::Info, vfoB ? "App 1 works on VFO B" : "App 1 works on VFO A");
}

void LogEvents::CaptureStopped() {
  Log(Topic::Routing, Severity::Warning, "The capture files could not be written; capture is off");
}

}  // namespace vantorel::nox
