// The station core: the three ports, the options, the running state, the
// receive passes, the transmit supervision's tick and the manual commands. No
// window in it: the window and the program without a window both drive it
// through these calls and learn what happens through StationEvents.
//
// Threading: the program's one thread. The receive passes and the drain wait
// yield to the event loop, so other handlers (a Stop, a second Start) may run
// in their middle.
#pragma once

#include <array>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "station/application_setup.h"
#include "station/applications.h"
#include "station/capture.h"
#include "station/event_loop.h"
#include "station/line_settings.h"
#include "station/options.h"
#include "station/port_slots.h"
#include "station/receive.h"
#include "station/serial_port.h"
#include "station/station_events.h"
#include "station/station_state.h"
#include "station/traffic.h"

namespace vantorel::station {

// The radio's settings text from the four line boxes as they stand: speed,
// first letter of the parity, data bits, stop bits ("4800,E,8,1"). Nothing is
// checked here; Start reads it once into the radio's line.
std::string RadioSettingsText(std::string_view baud, std::string_view parity,
                              std::string_view dataBits, std::string_view stopBits);

// How long the end of the program (Close, a stop signal) lets each port send
// what it still holds. A full transmit queue (2400 characters) drains in 5 s
// at 4800 baud; a port that nobody reads (a virtual port pair without its
// other program) never drains, and the program must still end.
inline constexpr std::chrono::milliseconds kEndDrainLimit{5000};
// The wait on a port ends earlier when its queue has not gone down for this
// long.
inline constexpr std::chrono::milliseconds kEndDrainStall{1000};

// Which ports Start opens, as the user named them, and the radio's line as
// the user typed it (read into LineSettings once, at Start).
struct PortSetup {
  std::string app1;
  std::string app2;
  std::string radio;
  std::string radioSettings;
};

class Station {
 public:
  // `folder` is where the capture files go.
  Station(PortFactory& factory, EventLoop& loop, StationEvents& events,
          std::filesystem::path folder);
  ~Station();
  Station(const Station&) = delete;
  Station& operator=(const Station&) = delete;

  // Takes effect at once, also in the middle of a pass that is waiting. A
  // change of mode or of the pinned radio model while the radio's port is
  // open chooses the radio dialect again, as an open does.
  void SetOptions(const Options& options);
  [[nodiscard]] const Options& options() const { return options_; }
  [[nodiscard]] Mode mode() const { return mode_; }
  [[nodiscard]] const StationState& state() const { return state_; }
  [[nodiscard]] StationState& state() { return state_; }

  // A radio the station keyed is unkeyed first. Then, in this order: App 2's port (only while App 2
  // is in use, its switch clear), App 1's port, the radio's port, then auto-information on for the
  // radio unless App 1's text is ignored. Each port is closed, made anew from
  // its name, set up, opened, RTS then DTR raised. A port that cannot be
  // named, set up or opened (or whose RTS cannot be raised) ends the setup
  // before any later port is touched: it is told once, with the system's
  // reason, as a message and as the port's state (Refused), and the ports this
  // Start had opened are closed again; false then. A refused DTR is only
  // noted, and the setup goes straight on to auto-information. A radio that
  // missed a transmit shutdown gets it first.
  bool InitPorts(const PortSetup& setup);
  // For settings read again while the ports are open: sets up anew only the
  // ports whose name or line settings changed, and App 2's as it comes into
  // use or goes out of it (closed then); the others stay as they are, with
  // the programs on their far ends. A port that cannot be opened now counts as
  // lost while running, tried again until it is back. An open radio then gets
  // "AI1;" as at Start. False, with nothing changed, when a new name or line
  // setting stands for no port (told as InitPorts tells it). The caller
  // unkeys a keyed radio first.
  bool UpdatePorts(const PortSetup& setup);
  // Closes every open port, App 2's first, the radio's last.
  void ClosePorts();
  [[nodiscard]] bool IsOpen(PortRole role) const { return ports_.IsOpen(role); }
  // Lets App 1's, App 2's and the radio's port send what they hold, in that
  // order, each for at most `limit`, less once its queue stops for `stall`.
  void DrainPorts(std::chrono::milliseconds limit, std::chrono::milliseconds stall);

  // The receive passes, as the ports' receive events run them.
  void GetData1() { receiver_.GetData1(); }
  void GetData2() { receiver_.GetData2(); }
  void GetData3() { receiver_.GetData3(); }

  // By hand, bypassing the pending-answer flags and the radio's pause.
  // Test: VFO A to 14.2513 MHz, then the status read.
  void SendTest();
  // Back to receive, auto-information on.
  void SendReset();
  void SendToRadio(std::string_view text);
  void SendToApp1(std::string_view text);

  // Every port's traffic is told (StationEvents::Traffic) while the monitor
  // is on or while this says someone watches it (the Traffic window).
  void WatchTraffic(bool watching);

  // Empties "TEST.TXT"; false when it cannot be created.
  bool CreateTestFile() { return capture_.CreateTestFile(); }
  // The capture files on or off.
  void SwitchCapture(bool on) { capture_.Switch(on); }

  // The transmit supervision's tick, once a second after the first Start.
  void Timer2_Timer();
  // The short tick (every 100 ms): App 1's reads the radio has not answered in
  // time get their answer from App 1's dialect; the extra applications' too.
  void Timer1_Timer() {
    receiver_.AnswerOverdueReads();
    applications_.Tick();
  }
  // Whether the short tick has anything to do now; when not, it may rest
  // until the station's traffic or ports change.
  [[nodiscard]] bool ShortTickWanted() const {
    return receiver_.OverdueReadsPossible() || applications_.Any();
  }

  // The station programs beyond App 1 and App 2. Set while running, those
  // that changed are opened anew at once; otherwise each Start opens them
  // after the station's own ports, and Stop closes them.
  void SetApplications(const std::vector<ApplicationSetup>& setups) { applications_.Set(setups); }
  [[nodiscard]] std::vector<ApplicationStatus> ApplicationsStatus() const {
    return applications_.Status();
  }
  [[nodiscard]] std::uint64_t ApplicationReadsSent() const { return applications_.SentToRadio(); }

  // A radio the station keyed is unkeyed (its dialect's unkey, ahead of
  // anything else waiting to go) before its control goes away (Stop, a
  // reload, App 1's link lost), and the time-out is disarmed. `when` says why,
  // for the log; nothing happens while the radio is not keyed.
  void UnkeyIfKeyed(std::string_view when);

  // The end of the program (Close, Exit, the close box, a stop signal): a
  // keyed radio is unkeyed, the ports send what they hold (each for at most
  // kEndDrainLimit; not at all when `drain` is false) and close.
  void End(std::string_view when, bool drain);

  // Whether the radio may still be keyed: the station keyed it, or its unkey
  // has not left the port yet.
  [[nodiscard]] bool RadioMayBeKeyed() const;
  // The Kenwood on the line: the model pinned in the options, or learned
  // from the radio at every open of its port while App 1 is emulating.
  [[nodiscard]] const cat::RadioDialect& Radio() const { return *radio_; }

 private:
  enum class Next { NextPort, AutoInformation, End };
  Next SetUpPort(PortRole role, const std::string& name, std::string_view settings);
  // Makes the port anew and reads its line settings text into the line it
  // gets; throws SerialError for a name or a text that cannot be used.
  void Configure(PortRole role, const std::string& name, std::string_view settings);
  // Hands the port's receive events and news to this role's handlers.
  void Attach(PortRole role, std::shared_ptr<SerialPort> port);
  // The port with its traffic told as `source`'s (and `application`'s, an
  // extra application's name) while it is watched.
  std::shared_ptr<SerialPort> Tapped(std::shared_ptr<SerialPort> port, TrafficSource source,
                                     const std::string& application);
  void Retire(PortRole role);
  void OnNews(PortRole role, const PortNews& news);
  // The radio's port is open now (Start, or back after a loss).
  void RadioOpened();
  // Hands the radio's port what takes it out of transmit, ahead of anything
  // else waiting; it counts as in flight until seen sent.
  void SendRelease(RadioRelease release);
  // A release in flight that has left the port is done.
  void SeeReleaseSent();
  // The radio's port closes or was lost: a release not seen sent is due again.
  void RadioGoes();

  PortFactory& factory_;
  EventLoop& loop_;
  StationEvents& events_;
  Options options_;
  Mode mode_ = ModeOf(options_);
  StationState state_;
  PortSlots ports_;
  LineSettings radioLine_;
  const cat::RadioDialect* radio_ = &cat::DefaultRadioDialect();
  // Per port: lost, and trying to come back (it still counts as in use).
  std::array<bool, 3> lost_{};
  Capture capture_;
  // Whether the ports' traffic is told now; shared with every tapped port.
  std::shared_ptr<bool> trafficTold_ = std::make_shared<bool>(false);
  bool trafficWatched_ = false;
  Applications applications_;
  Receiver receiver_;
};

}  // namespace vantorel::station
