// How the station tells its surroundings what happens: the traffic it routes,
// the state of its ports, and the messages a user must read. The window shows
// these in its boxes and message boxes; a program without a window writes them
// to its log.
//
// Threading: called on the program's one thread, from inside the station's
// handlers; an implementation must not call back into the station.
#pragma once

#include <string_view>

namespace vantorel::station {

enum class PortRole { App1, App2, Radio };

struct TrafficLine;

// "App 1's port", "App 2's port", "the radio's port": how messages and logs
// name a port.
[[nodiscard]] constexpr std::string_view PortTitle(PortRole role) {
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

enum class PortState {
  Closed,
  Open,
  Reconnecting,  // lost; the port keeps trying to come back
  Failed,        // lost for good, until the next Start
  Refused,       // Start could not open it, until the next Start
};

// Which part of the program speaks, for a log.
enum class Topic { Ports, Routing, Supervision, Settings };

class StationEvents {
 public:
  virtual ~StationEvents() = default;

  // The latest text of a port: App 1's block as it went on (empty when longer
  // than ten characters), App 2's text waiting to go on, the radio's text.
  virtual void LatestText(PortRole from, std::string_view text) = 0;
  // While monitoring: App 1's commands as they went to the radio.
  virtual void TranslatedText(std::string_view text) = 0;
  // While monitoring: App 1's traffic, as text or hexadecimal byte values.
  virtual void Monitor(std::string_view piece) = 0;
  // Something the user must read: a failure, or the answer to an action.
  virtual void Message(Topic topic, std::string_view text) = 0;
  // Something worth a line in a log, not a message box.
  virtual void Note(Topic topic, std::string_view text) = 0;
  // A port opened, closed, was lost or came back. `reason` says why a port
  // was lost.
  virtual void PortStateChanged(PortRole role, PortState state, std::string_view reason) = 0;
  // App 1 now works on VFO B (or back on VFO A).
  virtual void App1VfoChanged(bool vfoB) = 0;
  // The capture stopped by itself (a file could not be written).
  virtual void CaptureStopped() = 0;
  // App 1 behaves like a standard FT-950 program while the mode is built for
  // the remote-control program: `advice` says which mode fits. Told once; the
  // mode is never switched by the station. A log gets it as a note.
  virtual void SuggestEmulation(std::string_view advice) { Note(Topic::Routing, advice); }
  // While the traffic is watched (the monitor on, the Traffic window open):
  // one message read from a port or written to it (station/traffic.h).
  virtual void Traffic(const TrafficLine& /*line*/) {}
  // An extra application's port (or server) opened, closed, was lost or
  // came back, or a client came or went.
  virtual void ApplicationStateChanged(std::string_view /*name*/, PortState /*state*/,
                                       std::string_view /*reason*/) {}
  // Something arrived on App 1's, App 2's or the radio's port and its pass
  // runs now: what the station counts and shows may change.
  virtual void TrafficArrived() {}
};

// Ignores everything: for users that want only some of the events.
class QuietEvents : public StationEvents {
 public:
  void LatestText(PortRole /*from*/, std::string_view /*text*/) override {}
  void TranslatedText(std::string_view /*text*/) override {}
  void Monitor(std::string_view /*piece*/) override {}
  void Message(Topic /*topic*/, std::string_view /*text*/) override {}
  void Note(Topic /*topic*/, std::string_view /*text*/) override {}
  void PortStateChanged(PortRole /*role*/, PortState /*state*/,
                        std::string_view /*reason*/) override {}
  void App1VfoChanged(bool /*vfoB*/) override {}
  void CaptureStopped() override {}
};

}  // namespace vantorel::station
