#include "nox/log_events.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include "ports/log.h"
#include "station/traffic.h"

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

std::string PortSentence(PortRole role, std::string_view rest) {
  std::string text(station::PortTitle(role));
  text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text.append(rest);
}

void LogEvents::ApplicationStateChanged(std::string_view name, PortState state,
                                        std::string_view reason) {
  const auto line = std::ranges::find(kStateLines, state, &StateLine::state);
  // An application that cannot be reached is no reason to end the service.
  const bool failed = state == PortState::Failed || state == PortState::Refused;
  std::string text =
      std::string(name) + "'s port" + (failed ? " could not be opened" : std::string(line->text));
  if (!reason.empty()) {
    text.append(": ").append(reason);
  }
  Log(Topic::Ports, failed ? Severity::Warning : line->severity, text);
}

void LogEvents::Traffic(const station::TrafficLine& line) {
  Log(Topic::Routing, Severity::Info, station::TrafficLineText(line, hex_));
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
