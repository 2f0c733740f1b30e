#include "station/applications.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "cat/application_dialect.h"
#include "cat/pass_through.h"
#include "station/line_settings.h"
#include "station/station_rig.h"

namespace vantorel::station {
namespace {

// The most an application may send without a terminator before it is noise.
constexpr std::size_t kLongestCommand = 1024;

// The extra applications' dialects write nothing straight to a port.
class NoPorts final : public cat::CatPorts {
 public:
  [[nodiscard]] bool IsOpen(cat::CatPort /*port*/) const override { return false; }
  void Write(cat::CatPort /*port*/, std::string_view /*text*/) override {}
};
NoPorts noPorts;

}  // namespace

struct Applications::App {
  ApplicationSetup setup;
  ApplicationId id = 0;
  std::shared_ptr<SerialPort> port;
  std::unique_ptr<cat::ApplicationDialect> emulation;  // ft950
  std::unique_ptr<StationRig> rig;                     // rigctld
  std::unique_ptr<RigctlServer> server;
  std::string partial;  // kenwood: a command whose terminator has not come
  char reports = '0';   // kenwood: its own auto-information setting
  PortState state = PortState::Closed;
  std::string reason;
  std::uint64_t messages = 0;
  std::size_t clients = 0;
  // Its receive handler is running (it may wait the radio's pause, and its
  // port's next receive event then waits for it).
  bool receiving = false;
};

Applications::Applications(Context context)
    : ctx_(std::move(context)), requests_({ctx_.ports, ctx_.loop, ctx_.radio}) {}

Applications::~Applications() { Close(); }

cat::DialectContext Applications::MakeDialectContext() {
  return {.powerControl = ctx_.options.powerControl,
          .superviseTransmit = Ticked(ctx_.options.superviseTransmit),
          .app2Unused = true,
          .keying = ctx_.state.keying,
          .ports = noPorts,
          .now = ctx_.loop.Now()};
}

void Applications::Set(const std::vector<ApplicationSetup>& setups) {
  std::vector<std::unique_ptr<App>> kept;
  for (const ApplicationSetup& setup : setups) {
    auto same =
        std::ranges::find_if(apps_, [&](const auto& app) { return app && app->setup == setup; });
    if (same != apps_.end()) {
      kept.push_back(std::move(*same));
      continue;
    }
    auto app = std::make_unique<App>();
    app->setup = setup;
    app->id = nextId_++;
    kept.push_back(std::move(app));
    if (open_) {
      OpenOne(*kept.back());
    }
  }
  for (auto& gone : apps_) {
    if (gone) {
      CloseOne(*gone);
      retired_.push_back(std::move(gone));
    }
  }
  apps_ = std::move(kept);
  Retire();
}

void Applications::Retire() {
  // A handler of an application set aside may still be running under a wait.
  if (std::ranges::none_of(retired_, [](const auto& app) { return app->receiving; })) {
    retired_.clear();
  }
}

void Applications::Open() {
  open_ = true;
  for (auto& app : apps_) {
    CloseOne(*app);
    app->messages = 0;
    OpenOne(*app);
  }
}

void Applications::Close() {
  open_ = false;
  for (auto& app : apps_) {
    CloseOne(*app);
  }
}

void Applications::OpenOne(App& app) {
  const ApplicationSetup& setup = app.setup;
  try {
    if (setup.dialect == AppDialect::Rigctld) {
      app.rig = std::make_unique<StationRig>(
          StationRig::Context{requests_, ctx_.radio, app.id, [this, &app](bool keyed) {
                                Keying(app, keyed);
                                if (keyed) {
                                  requests_.Ask(app.id, std::string(ctx_.radio->keyDown),
                                                [](std::optional<std::string> /*sent*/) {});
                                }
                              }});
      app.server = ctx_.factory.MakeRigctlServer(
          setup.port,
          {.radio = *app.rig,
           .client =
               [this, &app](bool connected, bool keyed, std::string_view who) {
                 app.clients =
                     connected ? app.clients + 1 : std::max<std::size_t>(1, app.clients) - 1;
                 ctx_.events.Note(Topic::Ports, app.setup.name + ": " + std::string(who) +
                                                    (connected ? " connected" : " went away"));
                 if (!connected && keyed) {
                   LinkGone(app, std::string(who) + " went away");
                 }
               },
           .request = [&app] { ++app.messages; }});
      app.server->Listen();
    } else {
      app.port = ctx_.tap(setup.name, ctx_.factory.Make(setup.port));
      if (setup.dialect == AppDialect::Ft950) {
        app.emulation = cat::MakeDialect(cat::DialectKind::Emulation, *ctx_.radio);
      }
      app.port->Settings(ParseLineSettings(kAppPortSettings));
      app.port->NullDiscard(true);
      const ApplicationId id = app.id;
      app.port->OnReceive([this, id] {
        for (auto& each : apps_) {
          if (each->id == id) {
            Receive(*each);
          }
        }
      });
      app.port->OnNews([this, id](const PortNews& news) {
        const auto found = std::ranges::find(apps_, id, [](const auto& each) { return each->id; });
        if (found == apps_.end()) {
          return;
        }
        App& app = **found;
        switch (news.change) {
          case PortChange::Lost:
          case PortChange::PeerGone:
            LinkGone(app, news.change == PortChange::Lost ? "its port was lost"
                                                          : "it let go of its port");
            Report(app, news.change == PortChange::Lost ? PortState::Reconnecting : PortState::Open,
                   news.reason.empty() ? "the program let go" : news.reason);
            break;
          case PortChange::Restored:
          case PortChange::PeerBack:
            Report(app, PortState::Open, {});
            break;
          case PortChange::Overflow:
          case PortChange::Notice:
            ctx_.events.Note(Topic::Ports, app.setup.name + ": " + news.reason);
            break;
        }
      });
      if (const std::optional<std::string> away = app.port->OpenOrKeepTrying()) {
        Report(app, PortState::Reconnecting, *away);
        return;
      }
      app.port->RTSEnable(true);
      app.port->DTREnable(true);
    }
    Report(app, PortState::Open, {});
  } catch (const std::exception& e) {
    // RTS and DTR on a line without modem-control lines are not refused; a
    // port that failed to open is reported, and the others run.
    Report(app, PortState::Failed, e.what());
  }
}

void Applications::CloseOne(App& app) {
  LinkGone(app, "its port closed");
  requests_.Forget(app.id);
  if (app.server) {
    app.server->Close();
    app.server.reset();
  }
  app.rig.reset();
  if (app.port) {
    app.port->OnReceive([] {});
    app.port->OnNews([](const PortNews&) {});
    app.port->Close();
    app.port.reset();
  }
  app.emulation.reset();
  app.partial.clear();
  app.clients = 0;
  if (app.state != PortState::Closed) {
    Report(app, PortState::Closed, {});
  }
}

std::vector<ApplicationStatus> Applications::Status() const {
  std::vector<ApplicationStatus> status;
  for (const auto& app : apps_) {
    status.push_back({app->setup, app->state, app->reason, app->messages, app->clients});
  }
  return status;
}

void Applications::Report(App& app, PortState state, std::string_view reason) {
  app.state = state;
  app.reason = reason;
  ctx_.events.ApplicationStateChanged(app.setup.name, state, reason);
}

// --- what the applications send ----------------------------------------------

void Applications::Receive(App& app) {
  if (!app.port || app.receiving) {
    return;
  }
  app.receiving = true;
  struct Done {
    bool& receiving;
    ~Done() { receiving = false; }
  } done{app.receiving};
  const std::string text = app.port->ReadWaiting();
  if (app.emulation) {
    app.emulation->Take(text);
    Ft950Commands(app);
    return;
  }
  app.partial += text;
  std::size_t start = 0;
  for (std::size_t end = app.partial.find(';'); end != std::string::npos;
       end = app.partial.find(';', start)) {
    std::string command = app.partial.substr(start, end + 1 - start);
    start = end + 1;
    // Line ends and blanks a terminal program puts between commands.
    command.erase(0, command.find_first_not_of(" \r\n\t"));
    if (command.size() > 1) {
      KenwoodCommand(app, command);
    }
    if (!app.port) {
      return;  // it went meanwhile
    }
  }
  app.partial.erase(0, start);
  if (app.partial.size() > kLongestCommand) {
    app.partial.clear();
  }
}

void Applications::KenwoodCommand(App& app, const std::string& command) {
  ++app.messages;
  if (command.starts_with("AI")) {
    // Its own auto-information: the radio's stays on for the station.
    if (command.size() == 4 && command[2] >= '0' && command[2] <= '9') {
      app.reports = command[2];
    } else if (command == "AI;") {
      // Behind its answers still to come, as the radio would give it.
      requests_.AskLocal(app.id, std::string("AI") + app.reports + ";", Answering(app.id));
    }
    return;
  }
  // Its keying, as an untranslated App 1's is followed.
  const std::string_view body = std::string_view(command).substr(0, command.size() - 1);
  const cat::KeyingCommand keying = cat::KeyingOf(body, true);
  if (keying == cat::KeyingCommand::kReceive) {
    Keying(app, false);  // the unkey itself goes ahead of everything waiting
    return;
  }
  if (keying == cat::KeyingCommand::kTransmit) {
    Keying(app, true);
  }
  requests_.Ask(app.id, command, Answering(app.id));
}

RadioRequests::Done Applications::Answering(ApplicationId id) {
  return [this, id](std::optional<std::string> answer) {
    if (!answer || answer->empty()) {
      return;
    }
    for (auto& each : apps_) {
      if (each->id == id && each->port) {
        each->port->Write(*answer);
      }
    }
  };
}

void Applications::Ft950Commands(App& app) {
  cat::ApplicationDialect& dialect = *app.emulation;
  while (const std::optional<std::string> command = dialect.NextCommand()) {
    ++app.messages;
    const bool keyedBefore = ctx_.state.keying.radioKeyed;
    cat::DialectContext context = MakeDialectContext();
    const cat::CommandResult result = dialect.Command(*command, context);
    WatchKeying(app, keyedBefore);
    if (!result.note.empty()) {
      ctx_.events.Note(Topic::Routing, app.setup.name + ": " + result.note);
    }
    app.port->Write(result.toApp);
    const ApplicationId id = app.id;
    std::string_view radio = result.toRadio;
    while (!radio.empty()) {
      const std::size_t end = radio.find(ctx_.radio->terminator);
      const std::string one(
          radio.substr(0, end == std::string_view::npos ? radio.size() : end + 1));
      radio.remove_prefix(one.size());
      requests_.Ask(id, one, [this, id](std::optional<std::string> answer) {
        const auto found = std::ranges::find(apps_, id, [](const auto& each) { return each->id; });
        if (answer && !answer->empty() && found != apps_.end() && (*found)->port) {
          Deliver(**found, *answer);
        }
      });
    }
    if (!app.port) {
      return;
    }
  }
}

void Applications::Deliver(App& app, std::string_view radioMessage) {
  if (app.emulation) {
    cat::DialectContext context = MakeDialectContext();
    app.port->Write(app.emulation->Answer(radioMessage, context));
  } else if (app.reports != '0') {
    app.port->Write(radioMessage);
  }
}

// --- what the radio says ------------------------------------------------------

bool Applications::RadioMessage(std::string_view message) {
  if (apps_.empty()) {
    return false;
  }
  if (requests_.TakeRadioMessage(message)) {
    return true;
  }
  for (auto& app : apps_) {
    if (app->port && app->port->IsOpen()) {
      Deliver(*app, message);
    }
  }
  return false;
}

void Applications::RadioGone() { requests_.RadioGone(); }

void Applications::FollowRadio(const cat::RadioDialect& radio) {
  for (auto& app : apps_) {
    if (app->emulation) {
      app->emulation->FollowRadio(radio);
    }
  }
}

void Applications::Tick() {
  Retire();
  requests_.Tick();
  for (auto& app : apps_) {
    if (app->emulation && app->port && app->emulation->WaitingForRadio()) {
      app->port->Write(app->emulation->Overdue(ctx_.loop.Now()));
    }
  }
}

// --- keying -------------------------------------------------------------------

void Applications::Keying(App& app, bool keyed) {
  const bool keyedBefore = ctx_.state.keying.radioKeyed;
  if (keyed) {
    cat::KeyDown(ctx_.state.keying, Ticked(ctx_.options.superviseTransmit));
  } else {
    // Never behind the others' reads, never dropped from a full queue.
    ctx_.ports.WriteFirst(PortRole::Radio, ctx_.radio->unkey);
    cat::KeyUp(ctx_.state.keying);
  }
  WatchKeying(app, keyedBefore);
}

void Applications::WatchKeying(App& app, bool keyedBefore) {
  const bool keyed = ctx_.state.keying.radioKeyed;
  if (keyed && (!keyedBefore || keyer_ != app.id)) {
    keyer_ = app.id;
    ctx_.events.Note(Topic::Supervision, app.setup.name + " keyed the radio");
  } else if (!keyed && keyedBefore) {
    keyer_ = 0;
    ctx_.events.Note(Topic::Supervision, app.setup.name + " unkeyed the radio");
  }
}

void Applications::LinkGone(App& app, std::string_view why) {
  if (keyer_ != app.id || !ctx_.state.keying.radioKeyed) {
    return;
  }
  keyer_ = 0;
  ctx_.unkey("by " + app.setup.name + ", when " + std::string(why));
}

void Applications::Unkeyed() { keyer_ = 0; }

}  // namespace vantorel::station
