// vantorel-nox: Vantorel without a window, for the computer at the antenna
// site. Reads Catmux.ini in its folder, opens App 1's and the radio's ports
// and routes, translates and supervises as the window does, logging what the
// window would show. SIGHUP reloads the settings; SIGTERM and SIGINT end it
// as the window's Close does.
//
// Everything runs on this thread, driven by the Qt event loop.
#include <QCoreApplication>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "nox/init_settings.h"
#include "nox/service.h"
#include "ports/certificate_maker.h"
#include "ports/log.h"
#include "ports/signal_watcher.h"
#include "program/command_line.h"
#include "program/folder.h"

int main(int argc, char** argv) {
  using namespace vantorel;
  // Qt's own event loop rather than GLib's: without a window nothing needs
  // GLib's, and each turn of Qt's costs the relay less.
  qputenv("QT_NO_GLIB", "1");
  QCoreApplication application(argc, argv);
  ports::SetUpLogging();
  const program::CommandLine commandLine =
      program::ReadCommandLine(program::Program::Service, argc, argv);
  if (!commandLine.run) {
    return commandLine.exitStatus;
  }
  const auto folder = program::UseFolder(commandLine.run->folder);
  if (!folder) {
    return nox::kFailureStatus;
  }
  if (commandLine.run->makeCertificate) {
    const ports::CertificateOutcome outcome = ports::MakeCertificatePair(*folder);
    std::fprintf(outcome.made ? stdout : stderr, "%s\n", outcome.text.c_str());
    return outcome.made ? 0 : nox::kFailureStatus;
  }

  if (commandLine.run->init) {
    std::string report;
    const int status = nox::WriteInitialSettings(*folder, *commandLine.run->init, report);
    std::fprintf(status == 0 ? stdout : stderr, "%s\n", report.c_str());
    return status;
  }

  nox::Service service(*folder, commandLine.run->monitor);
  const ports::SignalWatcher stopSignals({SIGTERM, SIGINT, SIGHUP}, [&service](int signal) {
    const std::string name = std::string("SIG") + ::sigabbrev_np(signal);
    if (signal == SIGHUP) {
      ports::Log(station::Topic::Settings, ports::Severity::Info, name + ": reload");
      service.Reload();
    } else {
      service.End(0, name);
    }
  });
  service.Start();
  // Start may have ended the program already (no settings, a port refused).
  if (service.Ended()) {
    return service.ExitStatus();
  }
  return QCoreApplication::exec();
}
