#include "nox/service.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <chrono>
#include <utility>

#include "ports/log.h"
#include "version.h"

namespace vantorel::nox {

using ports::Log;
using ports::Severity;
using station::PortRole;
using station::Topic;

namespace {

// Timer2's interval in the window: the transmit time-out counts in seconds.
constexpr std::chrono::milliseconds kTickInterval{1000};
// Timer1's: the FT-950 emulation's reads the radio leaves unanswered get "?;".
constexpr std::chrono::milliseconds kShortTickInterval{100};

std::string ModeText(station::Mode mode) {
  switch (mode) {
    case station::Mode::Translating:
      return "translating";
    case station::Mode::Emulating:
      return "translating, FT-950 emulation";
    case station::Mode::Sharing:
      return "sharing with App 2";
    case station::Mode::NoTranslation:
      break;
  }
  return "no translation";
}

}  // namespace

Service::Service(const std::filesystem::path& folder, program::MonitorForm monitor)
    : file_(folder),
      events_([this](PortRole role) {
        // Ended from the event loop, not from inside the station's handler.
        QMetaObject::invokeMethod(
            &context_,
            [this, role] { End(kFailureStatus, PortSentence(role, " was lost for good")); },
            Qt::QueuedConnection);
      }),
      factory_(folder),
      station_(factory_, loop_, events_, folder) {
  base_.monitor = monitor != program::MonitorForm::Off;
  base_.monitorHex = monitor == program::MonitorForm::Hex;
  tick_.setInterval(kTickInterval);
  QObject::connect(&tick_, &QTimer::timeout, &context_, [this] { station_.Timer2_Timer(); });
  shortTick_.setInterval(kShortTickInterval);
  QObject::connect(&shortTick_, &QTimer::timeout, &context_, [this] { station_.Timer1_Timer(); });
}

void Service::Start() {
  const std::filesystem::path folder = file_.Path().parent_path();
  Log(Topic::Settings, Severity::Info,
      std::string("vantorel-nox ") + kVersion + " starting in " + folder.string());
  // As at the window's load: App 1's capture file is there from the start.
  if (!station_.CreateTestFile()) {
    Log(Topic::Settings, Severity::Warning, "TEST.TXT could not be created in " + folder.string());
  }
  const std::optional<settings::Settings> settings = ReadSettings();
  if (!settings) {
    Fail("Cannot run without a complete " + file_.Path().string());
    return;
  }
  settings_ = *settings;
  ReadApplications();
  if (OpenPorts(settings_)) {
    tick_.start();
    FollowProfile();
  }
}

void Service::Reload() {
  if (Ended()) {
    return;
  }
  Log(Topic::Settings, Severity::Info, "Reading " + file_.Path().string() + " again");
  const std::optional<std::string> textBefore = knownText_;
  const std::optional<settings::Settings> settings = ReadSettings();
  if (!settings) {
    KeepRunning();
    return;
  }
  station_.UnkeyIfKeyed("at a reload");
  if (Ended()) {
    return;  // a stop signal came during the unkey's wait
  }
  // Only the ports whose settings changed are opened again: App 1's program
  // and a connected client keep their link, and a port that is away now is
  // tried again as one lost while running.
  const station::Options before = station_.options();
  station_.SetOptions(settings::ToOptions(*settings, base_));
  const station::PortSetup setup = settings::ToPortSetup(*settings);
  if (!station_.UpdatePorts(setup)) {
    station_.SetOptions(before);
    // The edit not taken is not written over at the end either.
    knownText_ = textBefore;
    KeepRunning();
    return;
  }
  settings_ = *settings;
  ReadApplications();
  LogRunning("Settings applied again", setup);
  FollowProfile();
}

void Service::KeepRunning() {
  Log(Topic::Settings, Severity::Warning,
      "The bridge goes on with the settings it has; the file is left as it is");
}

void Service::LogRunning(std::string_view how, const station::PortSetup& setup) {
  Log(Topic::Ports, Severity::Info,
      std::string(how) + ", " + ModeText(station_.mode()) + ": App 1 on " + setup.app1 +
          ", the radio on " + setup.radio + " (" + setup.radioSettings + ")");
}

void Service::FollowProfile() {
  // Only the FT-950 emulation has reads to answer on time; an idle service
  // otherwise wakes once a second.
  if ((settings_.ft950Emulation || !station_.ApplicationsStatus().empty()) && tick_.isActive()) {
    shortTick_.start();
  } else {
    shortTick_.stop();
  }
}

void Service::End(int status, std::string_view why) {
  if (Ended()) {
    return;
  }
  // Set first: signals during the waits below find the program ending.
  exitStatus_ = status;
  Log(Topic::Settings, Severity::Info, std::string(why) + ": ending as Close does");
  station_.End("at the end of the program", true);
  tick_.stop();
  shortTick_.stop();
  Save();
  Log(Topic::Settings, Severity::Info, "Ended with status " + std::to_string(status));
  QCoreApplication::exit(status);
}

std::optional<settings::Settings> Service::ReadSettings() {
  // The emulation switch, which an older file lacks, keeps the value of a new
  // installation.
  settings::Settings settings;
  const settings::SettingsLoad outcome = file_.Load(settings).outcome;
  for (const std::string& warning : file_.LoadWarnings()) {
    Log(Topic::Settings, Severity::Warning, warning);
  }
  if (outcome == settings::SettingsLoad::Complete) {
    knownText_ = FileText();
    return settings;
  }
  Log(Topic::Settings, Severity::Critical,
      outcome == settings::SettingsLoad::NoFile
          ? "There is no settings file " + file_.Path().string() +
                " (the window program writes one)"
          : file_.LoadFault().value_or(file_.Path().string() + " cannot be used"));
  return std::nullopt;
}

bool Service::OpenPorts(const settings::Settings& settings) {
  station_.SetOptions(settings::ToOptions(settings, base_));
  const station::PortSetup setup = settings::ToPortSetup(settings);
  station_.InitPorts(setup);
  for (const auto& [role, name] :
       {std::pair{PortRole::App1, setup.app1}, std::pair{PortRole::Radio, setup.radio}}) {
    if (!station_.IsOpen(role)) {
      Fail(std::string(PortTitle(role)) + " '" + name + "' could not be opened");
      return false;
    }
  }
  LogRunning("Bridge running", setup);
  return true;
}

void Service::ReadApplications() {
  const settings::AppsRead read = settings::LoadApps(file_.Path().parent_path());
  for (const std::string& fault : read.faults) {
    Log(Topic::Settings, Severity::Warning, fault);
  }
  for (const station::ApplicationSetup& app : read.apps) {
    Log(Topic::Settings, Severity::Info,
        app.name + " on " + app.port + " (" + std::string(station::DialectWord(app.dialect)) + ")");
  }
  station_.SetApplications(read.apps);
}

void Service::Fail(const std::string& why) {
  // A stop signal that came while a port was being opened (a connection's
  // wait does not run the event loop) is heard first: it ends as asked, with 0.
  QCoreApplication::processEvents();
  if (Ended()) {
    return;
  }
  exitStatus_ = kFailureStatus;
  Log(Topic::Settings, Severity::Critical,
      why + "; ending with status " + std::to_string(kFailureStatus) +
          " so that the service can be started again");
  station_.ClosePorts();
  QCoreApplication::exit(kFailureStatus);
}

void Service::Save() {
  if (!knownText_) {
    return;  // no settings were read (a stop signal during a failed start)
  }
  const std::string path = file_.Path().string();
  if (FileText() != knownText_) {
    Log(Topic::Settings, Severity::Warning,
        path + " was changed since it was read and is left as it is (a reload applies it)");
    return;
  }
  if (const auto problem = file_.Save(settings_)) {
    Log(Topic::Settings, Severity::Critical, path + " could not be written: " + *problem);
    return;
  }
  knownText_ = FileText();
  Log(Topic::Settings, Severity::Info, "Settings saved to " + path);
}

std::optional<std::string> Service::FileText() const {
  return settings::ReadSettingsText(file_.Path()).text;
}

}  // namespace vantorel::nox
