#include "station/station.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <utility>
#include <vector>

#include "supervision/transmit_supervision.h"

namespace vantorel::station {
namespace {

// How long an unkey may wait for the radio to take it before its port closes.
constexpr std::chrono::milliseconds kUnkeyDrainLimit{500};

// What a user reads when a port cannot be opened: which port, and the
// system's reason (which names the device or address).
std::string OpenFailure(PortRole role, std::string_view reason) {
  return "Unable to open " + std::string(PortTitle(role)) + ": " + std::string(reason);
}

}  // namespace

std::string RadioSettingsText(std::string_view baud, std::string_view parity,
                              std::string_view dataBits, std::string_view stopBits) {
  std::string text(baud);
  text.append(",").append(parity.substr(0, 1)).append(",");
  text.append(dataBits).append(",").append(stopBits);
  return text;
}

Station::Station(PortFactory& factory, EventLoop& loop, StationEvents& events,
                 std::filesystem::path folder)
    : factory_(factory),
      loop_(loop),
      events_(events),
      capture_(std::move(folder), events),
      applications_({.factory = factory,
                     .ports = ports_,
                     .loop = loop,
                     .events = events,
                     .state = state_,
                     .options = options_,
                     .radio = radio_,
                     .unkey = [this](std::string_view when) { UnkeyIfKeyed(when); },
                     .tap =
                         [this](const std::string& name, std::shared_ptr<SerialPort> port) {
                           return Tapped(std::move(port), TrafficSource::Application, name);
                         }}),
      receiver_(RouteContext{options_, mode_, state_, ports_, loop_, events_, capture_, radioLine_,
                             radio_, applications_}) {}

Station::~Station() {
  *trafficTold_ = false;
  // The ports may outlive us for a moment (a pass holding one): they must not
  // call back.
  for (const PortRole role : {PortRole::App1, PortRole::App2, PortRole::Radio}) {
    if (const auto port = ports_.Get(role)) {
      port->OnReceive(nullptr);
      port->OnNews(nullptr);
    }
  }
}

void Station::SetOptions(const Options& options) {
  const bool radioChoice = options.radioModel != options_.radioModel || ModeOf(options) != mode_;
  options_ = options;
  mode_ = ModeOf(options_);
  *trafficTold_ = options_.monitor || trafficWatched_;
  if (radioChoice && ports_.IsOpen(PortRole::Radio)) {
    receiver_.ChooseRadio();
  }
}

// --- port setup ---------------------------------------------------------------

void Station::WatchTraffic(bool watching) {
  trafficWatched_ = watching;
  *trafficTold_ = options_.monitor || trafficWatched_;
}

std::shared_ptr<SerialPort> Station::Tapped(std::shared_ptr<SerialPort> port, TrafficSource source,
                                            const std::string& application) {
  return std::make_shared<TappedPort>(
      std::move(port), trafficTold_,
      [this, source, application](Direction direction, std::string_view text) {
        const auto now = std::chrono::system_clock::now();
        for (const std::string_view message : Messages(text)) {
          events_.Traffic({now, source, direction, std::string(message), application});
        }
      });
}

void Station::Attach(PortRole role, std::shared_ptr<SerialPort> inner) {
  // Every port is tapped: what goes in and out is told while it is watched.
  const std::shared_ptr<SerialPort> port = Tapped(std::move(inner), SourceOf(role), {});
  port->OnReceive([this, role] {
    events_.TrafficArrived();
    switch (role) {
      case PortRole::App1:
        GetData1();
        break;
      case PortRole::App2:
        GetData2();
        break;
      case PortRole::Radio:
        GetData3();
        break;
    }
  });
  port->OnNews([this, role](const PortNews& news) { OnNews(role, news); });
  ports_.Put(role, std::move(port));
}

void Station::Retire(PortRole role) {
  const auto old = ports_.Get(role);
  if (!old) {
    return;
  }
  old->OnReceive(nullptr);
  old->OnNews(nullptr);
  if (old->IsOpen()) {
    old->Close();
    events_.PortStateChanged(role, PortState::Closed, {});
  }
  receiver_.Forget(role);
  ports_.Put(role, nullptr);
}

void Station::Configure(PortRole role, const std::string& name, std::string_view settings) {
  // The old port goes first, so a name that cannot be made leaves none behind.
  Retire(role);
  const std::shared_ptr<SerialPort> port = factory_.Make(name);
  Attach(role, port);
  const LineSettings line = ParseLineSettings(settings);
  port->Settings(line);
  if (role == PortRole::Radio) {
    radioLine_ = line;
  }
  // The applications' ports drop NULs; the radio's port passes them on.
  port->NullDiscard(role != PortRole::Radio);
}

Station::Next Station::SetUpPort(PortRole role, const std::string& name,
                                 std::string_view settings) {
  // A port that cannot even be named or set up is as good as one that cannot
  // be opened; a refused RTS counts as a failed open (a line without
  // modem-control lines is not refused by the port).
  try {
    Configure(role, name, settings);
    const std::shared_ptr<SerialPort> port = ports_.Get(role);
    try {
      port->Open();
      port->RTSEnable(true);
    } catch (const SerialError&) {
      port->Close();
      throw;
    }
  } catch (const SerialError& e) {
    events_.PortStateChanged(role, PortState::Refused, e.what());
    events_.Message(Topic::Ports, OpenFailure(role, e.what()));
    return Next::End;
  }
  try {
    ports_.Get(role)->DTREnable(true);
  } catch (const SerialError& e) {
    events_.Note(Topic::Ports, name + ": " + e.what());
    return Next::AutoInformation;
  }
  events_.PortStateChanged(role, PortState::Open, {});
  return Next::NextPort;
}

bool Station::InitPorts(const PortSetup& setup) {
  // The radio's port is made anew below: a radio keyed through the old one
  // hears its unkey first.
  UnkeyIfKeyed("at a new Start");
  state_.app1Messages = 0;
  state_.radioMessages = 0;
  std::vector<PortRole> opened;
  const auto setUp = [&](PortRole role, const std::string& name, std::string_view settings) {
    const Next next = SetUpPort(role, name, settings);
    if (ports_.IsOpen(role)) {
      opened.push_back(role);
    }
    return next;
  };

  Next next = Next::NextPort;
  // App 2's port is left exactly as it is while App 2 is not in use.
  if (Clear(options_.app2Unused)) {
    next = setUp(PortRole::App2, setup.app2, kAppPortSettings);
  }
  if (next == Next::NextPort) {
    next = setUp(PortRole::App1, setup.app1, kAppPortSettings);
  }
  if (next == Next::NextPort) {
    next = setUp(PortRole::Radio, setup.radio, setup.radioSettings);
  }
  if (next == Next::End) {
    // Half a station is none: App 1 must not believe it reaches a radio.
    for (const PortRole role : opened) {
      ports_.Get(role)->Close();
      receiver_.Forget(role);
      events_.PortStateChanged(role, PortState::Closed, {});
    }
    return false;
  }
  if (ports_.IsOpen(PortRole::Radio)) {
    RadioOpened();
  }
  applications_.Open();
  return true;
}

bool Station::UpdatePorts(const PortSetup& setup) {
  struct Wanted {
    PortRole role;
    bool inUse;
    std::string name;
    std::string_view settings;
    std::shared_ptr<SerialPort> fresh;  // made anew; none when the port stays
  };
  std::array<Wanted, 3> wanted{{
      {PortRole::App2, Clear(options_.app2Unused), setup.app2, kAppPortSettings, nullptr},
      {PortRole::App1, true, setup.app1, kAppPortSettings, nullptr},
      {PortRole::Radio, true, setup.radio, setup.radioSettings, nullptr},
  }};
  // Every new port is made before any old one goes: a name or line setting
  // that stands for no port leaves the station running as it was.
  LineSettings radioLine;
  try {
    radioLine = ParseLineSettings(setup.radioSettings);
  } catch (const SerialError& e) {
    events_.Message(Topic::Ports, OpenFailure(PortRole::Radio, e.what()));
    return false;
  }
  for (Wanted& port : wanted) {
    const auto now = ports_.Get(port.role);
    const bool running = now && (now->IsOpen() || lost_[static_cast<std::size_t>(port.role)]);
    const bool same = running && now->Name() == port.name &&
                      (port.role != PortRole::Radio || radioLine_ == radioLine);
    if (!port.inUse || same) {
      continue;
    }
    try {
      port.fresh = factory_.Make(port.name);
      port.fresh->Settings(ParseLineSettings(port.settings));
    } catch (const SerialError& e) {
      events_.Message(Topic::Ports, OpenFailure(port.role, e.what()));
      return false;
    }
  }
  radioLine_ = radioLine;
  for (Wanted& port : wanted) {
    if (port.inUse && !port.fresh) {
      continue;
    }
    Retire(port.role);
    lost_[static_cast<std::size_t>(port.role)] = false;
    if (!port.fresh) {
      continue;
    }
    Attach(port.role, port.fresh);
    port.fresh->NullDiscard(port.role != PortRole::Radio);
    try {
      const std::optional<std::string> away = port.fresh->OpenOrKeepTrying();
      // Raised now, or kept for the open that brings it back.
      port.fresh->RTSEnable(true);
      port.fresh->DTREnable(true);
      if (away) {
        OnNews(port.role, {PortChange::Lost, *away, true});
        continue;
      }
    } catch (const SerialError& e) {
      port.fresh->Close();
      OnNews(port.role, {PortChange::Lost, e.what(), false});
      continue;
    }
    events_.PortStateChanged(port.role, PortState::Open, {});
  }
  if (ports_.IsOpen(PortRole::Radio)) {
    RadioOpened();
  }
  return true;
}

void Station::RadioOpened() {
  // What the radio missed while its port was closed goes first.
  if (const RadioRelease due = std::exchange(state_.releaseDue, RadioRelease::Nothing);
      due != RadioRelease::Nothing) {
    SendRelease(due);
    cat::KeyUp(state_.keying);
    events_.Note(Topic::Supervision, due == RadioRelease::Shutdown
                                         ? "The radio got the transmit shutdown it missed while "
                                           "its port was closed"
                                         : "The radio got the unkey it missed while its port was "
                                           "closed");
  }
  // Which Kenwood it is, before anything else it answers.
  receiver_.ChooseRadio();
  // With AI1 the Kenwood radio reports changes made at its front panel by
  // itself, so App 1 follows the knob without polling, and the extra
  // applications' reads are answered from what it reported.
  if (Clear(options_.ignoreFromApp1) || applications_.Any()) {
    ports_.Write(PortRole::Radio, radio_->autoInformationOn);
  }
}

void Station::ClosePorts() {
  applications_.Close();
  for (const PortRole role : {PortRole::App2, PortRole::App1, PortRole::Radio}) {
    const auto port = ports_.Get(role);
    if (!port) {
      continue;
    }
    // A port that is coming back after a loss counts as in use: closing it
    // ends the attempts.
    const bool wasOpen = port->IsOpen();
    if (role == PortRole::Radio) {
      RadioGoes();
    }
    port->Close();
    receiver_.Forget(role);
    if (wasOpen || lost_[static_cast<std::size_t>(role)]) {
      lost_[static_cast<std::size_t>(role)] = false;
      events_.PortStateChanged(role, PortState::Closed, {});
    }
  }
}

void Station::DrainPorts(std::chrono::milliseconds limit, std::chrono::milliseconds stall) {
  for (const PortRole role : {PortRole::App1, PortRole::App2, PortRole::Radio}) {
    WaitForDrain(
        loop_, [this, role] { return ports_.Unsent(role); }, limit, stall);
  }
}

void Station::OnNews(PortRole role, const PortNews& news) {
  const auto port = ports_.Get(role);
  const std::string name = port ? port->Name() : std::string();
  const auto index = static_cast<std::size_t>(role);
  switch (news.change) {
    case PortChange::Lost:
      lost_[index] = news.retrying;
      if (role == PortRole::Radio) {
        RadioGoes();
      }
      if (role == PortRole::App1) {
        UnkeyIfKeyed("when App 1's port was lost");
      }
      receiver_.Forget(role);
      events_.PortStateChanged(role, news.retrying ? PortState::Reconnecting : PortState::Failed,
                               news.reason);
      events_.Message(Topic::Ports, "error " + news.reason);
      break;
    case PortChange::Restored:
      lost_[index] = false;
      events_.PortStateChanged(role, PortState::Open, {});
      events_.Message(Topic::Ports, name + " is back");
      if (role == PortRole::Radio) {
        RadioOpened();
      }
      break;
    case PortChange::PeerGone:
      events_.Note(Topic::Ports, name + ": the program on the other end let go");
      if (role == PortRole::App1) {
        UnkeyIfKeyed("when App 1 let go of its port");
      }
      break;
    case PortChange::PeerBack:
      events_.Note(Topic::Ports, name + ": a program took the other end");
      break;
    case PortChange::Overflow:
    case PortChange::Notice:
      events_.Note(Topic::Ports, name + ": " + news.reason);
      break;
  }
}

// --- manual commands ------------------------------------------------------------

void Station::SendTest() { ports_.Write(PortRole::Radio, radio_->testCommands); }

void Station::SendReset() {
  ports_.Write(PortRole::Radio, std::string(radio_->unkey).append(radio_->autoInformationOn));
}

void Station::SendToRadio(std::string_view text) { ports_.Write(PortRole::Radio, text); }

void Station::SendToApp1(std::string_view text) { ports_.Write(PortRole::App1, text); }

// --- transmit supervision -------------------------------------------------------

void Station::UnkeyIfKeyed(std::string_view when) {
  if (state_.keying.radioKeyed) {
    const std::string what = "The radio was keyed " + std::string(when);
    if (!ports_.IsOpen(PortRole::Radio)) {
      // It gets its unkey first thing when it is back; meanwhile the transmit
      // time-out still counts.
      state_.releaseDue = std::max(state_.releaseDue, RadioRelease::Unkey);
      events_.Note(Topic::Supervision,
                   what + ", but its port is closed: it is unkeyed as soon as it is back");
      return;
    }
    SendRelease(RadioRelease::Unkey);
    cat::KeyUp(state_.keying);
    applications_.Unkeyed();
    events_.Note(Topic::Supervision, what + ": unkeyed it (" + std::string(radio_->unkey) + ")");
  }
  // The unkey must leave before the port closes behind it.
  WaitWhile(
      loop_, [this] { return ports_.UnsentFirst(PortRole::Radio) > 0; }, kUnkeyDrainLimit);
  SeeReleaseSent();
}

void Station::End(std::string_view when, bool drain) {
  UnkeyIfKeyed(when);
  if (drain) {
    // Let App 1, App 2 and the radio receive what is still queued for them;
    // an unkey still on its way gets the radio's whole wait.
    DrainPorts(kEndDrainLimit, kEndDrainStall);
  }
  ClosePorts();
  if (RadioMayBeKeyed()) {
    events_.Message(Topic::Supervision,
                    "The radio may still be keyed: its unkey could not be sent before the end (its "
                    "port was closed, or its line took nothing). Unkey it at the station.");
  }
}

bool Station::RadioMayBeKeyed() const {
  const bool inFlight =
      state_.releaseInFlight != RadioRelease::Nothing &&
      !(ports_.IsOpen(PortRole::Radio) && ports_.UnsentFirst(PortRole::Radio) == 0);
  return state_.keying.radioKeyed || inFlight || state_.releaseDue != RadioRelease::Nothing;
}

void Station::SendRelease(RadioRelease release) {
  if (release == RadioRelease::Shutdown) {
    supervision::WriteRadioShutdown(ports_);
  } else {
    ports_.WriteFirst(PortRole::Radio, radio_->unkey);
  }
  state_.releaseInFlight = std::max(state_.releaseInFlight, release);
}

void Station::SeeReleaseSent() {
  if (ports_.IsOpen(PortRole::Radio) && ports_.UnsentFirst(PortRole::Radio) == 0) {
    state_.releaseInFlight = RadioRelease::Nothing;
  }
}

void Station::RadioGoes() {
  applications_.RadioGone();
  SeeReleaseSent();
  // Not seen sent: it is due again when the radio is back.
  state_.releaseDue = std::max(state_.releaseDue, state_.releaseInFlight);
  state_.releaseInFlight = RadioRelease::Nothing;
}

void Station::Timer2_Timer() {
  SeeReleaseSent();
  supervision::SupervisionContext context{state_.keying, options_.transmitLimit, ports_};
  const supervision::TickResult result = supervision::Timer2_Timer(context);
  if (result.radioMissed) {
    // The radio may still be keyed: it gets its part as soon as it is back.
    state_.releaseDue = RadioRelease::Shutdown;
    events_.Message(Topic::Supervision,
                    "The transmit time limit was reached while the radio's port was closed; the "
                    "radio is unkeyed and switched off as soon as its port is open again.");
  } else if (result.shutDown) {
    state_.releaseInFlight = RadioRelease::Shutdown;
    events_.Note(Topic::Supervision, "The transmit time limit of " + options_.transmitLimit +
                                         " s was reached: the radio was unkeyed and switched off");
  }
  // The writes that went through stand; each distinct refusal is shown once.
  std::vector<std::string> shown;
  for (const std::string& failure : result.failures) {
    if (std::find(shown.begin(), shown.end(), failure) == shown.end()) {
      shown.push_back(failure);
      events_.Message(Topic::Supervision, "error " + failure);
    }
  }
}

}  // namespace vantorel::station
