// The station programs beyond App 1 and App 2, each on a port of its own and
// in its own dialect, all sharing the one radio with App 1:
//
//   kenwood  the radio's own commands: one command of theirs at the radio at
//            a time, each answer back to the one that asked, the radio's
//            reports to every one that switched its auto-information on
//            (their "AIn;" is answered here and never reaches the radio,
//            whose reports the station keeps on for all);
//   ft950    the FT-950 emulation, as App 1's;
//   rigctld  Hamlib's NET rigctl protocol, several clients on one server.
//
// Their reads go through RadioRequests, so what several programs poll reaches
// the radio once while its answer is fresh. Keying from any of them goes
// through the station's keying, so every key-down arms the transmit
// time-out; an application whose link goes away while the radio is keyed by
// it unkeys it, and the log names who keyed and who unkeyed.
//
// Threading: the program's one thread. Handlers may wait the radio's pause,
// which lets other handlers run.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cat/application_dialect.h"
#include "cat/radio_dialect.h"
#include "station/application_setup.h"
#include "station/event_loop.h"
#include "station/options.h"
#include "station/port_slots.h"
#include "station/radio_requests.h"
#include "station/serial_port.h"
#include "station/station_events.h"
#include "station/station_state.h"

namespace vantorel::station {

// How one extra application stands, for the window's list.
struct ApplicationStatus {
  ApplicationSetup setup;
  PortState state = PortState::Closed;
  std::string reason;          // why it is not open
  std::uint64_t messages = 0;  // commands or requests from it since Start
  std::size_t clients = 0;     // a rigctld server's clients
};

class Applications {
 public:
  struct Context {
    PortFactory& factory;
    PortSlots& ports;
    EventLoop& loop;
    StationEvents& events;
    StationState& state;
    const Options& options;
    const cat::RadioDialect* const& radio;
    // Unkeys the radio the station keyed; `when` is for the log.
    std::function<void(std::string_view when)> unkey;
    // The port of the application named, as the station watches its traffic.
    std::function<std::shared_ptr<SerialPort>(const std::string& name,
                                              std::shared_ptr<SerialPort> port)>
        tap;
  };
  explicit Applications(Context context);
  ~Applications();
  Applications(const Applications&) = delete;
  Applications& operator=(const Applications&) = delete;

  // The applications from now on. While open, those that changed are closed
  // and opened anew, the others stay connected.
  void Set(const std::vector<ApplicationSetup>& setups);
  [[nodiscard]] bool Any() const { return !apps_.empty(); }
  // At Start: each opens; one that cannot is reported and the others run.
  void Open();
  void Close();
  [[nodiscard]] std::vector<ApplicationStatus> Status() const;

  // A message from the radio: true when it answered an application's read
  // and went to it alone.
  bool RadioMessage(std::string_view message);
  // The radio's port closed or was lost.
  void RadioGone();
  // Another Kenwood is on the line.
  void FollowRadio(const cat::RadioDialect& radio);
  // The short tick: reads waiting too long end.
  void Tick();
  // The radio was unkeyed by the station (time-out, Stop): nobody keys it now.
  void Unkeyed();
  // The radio messages the applications sent it, for a count.
  [[nodiscard]] std::uint64_t SentToRadio() const { return requests_.SentToRadio(); }

 private:
  struct App;
  void OpenOne(App& app);
  // Lets go of the applications set aside once none of their handlers runs.
  void Retire();
  void CloseOne(App& app);
  void Receive(App& app);
  void KenwoodCommand(App& app, const std::string& command);
  // Writes an answer to the Kenwood program `id`, while it is there.
  RadioRequests::Done Answering(ApplicationId id);
  void Ft950Commands(App& app);
  void Deliver(App& app, std::string_view radioMessage);
  // Keying by `app` (true) or its release, whose unkey goes to the radio
  // ahead of everything waiting; the log says who.
  void Keying(App& app, bool keyed);
  // Sees whether a command of `app`'s keyed or unkeyed the radio.
  void WatchKeying(App& app, bool keyedBefore);
  void LinkGone(App& app, std::string_view why);
  void Report(App& app, PortState state, std::string_view reason);
  [[nodiscard]] cat::DialectContext MakeDialectContext();

  Context ctx_;
  RadioRequests requests_;
  std::vector<std::unique_ptr<App>> apps_;
  std::vector<std::unique_ptr<App>> retired_;
  ApplicationId nextId_ = 1;
  bool open_ = false;
  // The application that keyed the radio last; 0 for none.
  ApplicationId keyer_ = 0;
};

}  // namespace vantorel::station
