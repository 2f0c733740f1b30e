// vantorel-nox's bridge: the settings file of one folder, the station on the
// real ports, the transmit supervision's tick, and what the signals ask for.
//
// Start does what the window does at load with a complete settings file:
// "TEST.TXT" is made, the file is read, the options are set and the ports
// opened as Start opens them, the supervision ticks once a second. A missing
// or incomplete file, or App 1's or the radio's port that cannot be opened,
// ends the program with a critical log line and status 1, so a service
// manager can try again. Reload (SIGHUP) reads the file again and, when it is
// complete, unkeys a keyed radio and opens again only the ports whose
// settings changed; one that is away then is tried again as a port lost while
// running is. End (SIGTERM, SIGINT) ends as the window's Close does: a keyed
// radio is unkeyed, the queues drain within their bounded waits, the ports
// close, the settings are saved, status 0; also when it comes while a port is
// being opened. App 1's or the radio's port lost for good while running ends
// the same way with status 1.
//
// Threading: the program's one thread. The drain waits run the event loop,
// so a signal may arrive in the middle of another's handling; a second end,
// and a reload once ending, are ignored.
#pragma once

#include <QObject>
#include <QTimer>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "nox/log_events.h"
#include "ports/port_factory.h"
#include "ports/qt_event_loop.h"
#include "program/command_line.h"
#include "settings/apps_file.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "station/station.h"

namespace vantorel::nox {

inline constexpr int kFailureStatus = 1;

class Service {
 public:
  Service(const std::filesystem::path& folder, program::MonitorForm monitor);
  Service(const Service&) = delete;
  Service& operator=(const Service&) = delete;

  void Start();
  void Reload();
  // `why` names the cause for the log ("SIGTERM").
  void End(int status, std::string_view why);

  // Whether the program has ended (the event loop may not have run yet).
  [[nodiscard]] bool Ended() const { return exitStatus_.has_value(); }
  [[nodiscard]] int ExitStatus() const { return exitStatus_.value_or(0); }

 private:
  // The short tick runs while the FT-950 emulation is chosen.
  void FollowProfile();
  // Reads the file; nothing when it is not complete (the reason is logged).
  std::optional<settings::Settings> ReadSettings();
  // Opens the ports on `settings`; false when App 1's or the radio's could
  // not be.
  bool OpenPorts(const settings::Settings& settings);
  // Apps.ini, beside the settings file: the extra applications from now on.
  void ReadApplications();
  // A reload not taken: the bridge goes on as it was.
  void KeepRunning();
  void LogRunning(std::string_view how, const station::PortSetup& setup);
  // Ends without saving: the bridge could not run.
  void Fail(const std::string& why);
  void Save();
  // The file's text; nothing when it is missing or no file that can be read.
  [[nodiscard]] std::optional<std::string> FileText() const;

  settings::SettingsFile file_;
  station::Options base_;  // the monitor switches from the command line
  settings::Settings settings_;
  // The file's text as last read or written: a file edited since is not
  // written over at the end.
  std::optional<std::string> knownText_;
  bool running_ = false;
  std::optional<int> exitStatus_;
  QObject context_;
  LogEvents events_;
  ports::QtPortFactory factory_;
  ports::QtEventLoop loop_;
  station::Station station_;
  QTimer tick_;
  QTimer shortTick_;  // the window's 100 ms timer: overdue FT-950 reads
};

}  // namespace vantorel::nox
