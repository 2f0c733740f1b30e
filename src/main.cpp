// Vantorel: joins a station program that speaks the Yaesu FT-950 dialect to a
// Kenwood radio, and shares the radio's port with a second program.
//
// Everything runs on this thread, driven by the Qt event loop: the ports'
// receive events, the timers, the clicks and the stop signals.
#include <QApplication>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/catmux.h"
#include "app/qt/applications_panel.h"
#include "app/qt/catmux_window.h"
#include "app/qt/qt_desktop.h"
#include "app/qt/qt_message_boxes.h"
#include "app/qt/qt_timers.h"
#include "app/qt/screenshot_demo.h"
#include "app/station_view.h"
#include "app/window_binding.h"
#include "app/window_extras.h"
#include "model/catmux_model.h"
#include "ports/certificate_maker.h"
#include "ports/log.h"
#include "ports/port_factory.h"
#include "ports/qt_event_loop.h"
#include "ports/serial_devices.h"
#include "ports/signal_watcher.h"
#include "program/command_line.h"
#include "program/folder.h"
#include "settings/settings_file.h"
#include "station/station.h"

namespace {

// "COM1" to "COM20", the serial devices of this machine by path (stable names
// first), then the program's own virtual port for App 1 and its simulated radio.
std::vector<std::string> PortItems() {
  std::vector<std::string> items = vantorel::model::ComPortItems();
  for (std::string& device : vantorel::ports::SerialDeviceNames()) {
    items.push_back(std::move(device));
  }
  for (std::string& own : vantorel::ports::OwnPortNames()) {
    items.push_back(std::move(own));
  }
  return items;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vantorel;
  // Read before the window's application object: --help needs no display.
  const program::CommandLine commandLine =
      program::ReadCommandLine(program::Program::Window, argc, argv);
  if (!commandLine.run) {
    return commandLine.exitStatus;
  }
  QApplication application(argc, argv);
  ports::SetUpLogging();
  if (commandLine.run->folder && !program::UseFolder(commandLine.run->folder)) {
    return EXIT_FAILURE;
  }

  model::CatmuxModel model;
  const std::vector<std::string> portItems = PortItems();
  model.Soft1Com.SetItems(portItems);
  model.Soft2Com.SetItems(portItems);
  model.RadioCom.SetItems(portItems);

  ports::QtEventLoop loop;
  app::QtMessageBoxes boxes(model.title);
  app::QtDesktop desktop;
  // The settings file and the capture files live in the folder the program
  // was started in (or was given with --folder), whatever Start does with the
  // current folder later.
  const std::filesystem::path folder = desktop.CurrentFolder();
  settings::SettingsFile settingsFile(folder);

  app::StationView view(model, boxes, [](station::Topic topic, std::string_view text) {
    ports::Log(topic, ports::Severity::Info, text);
  });
  ports::QtPortFactory factory(folder);
  station::Station station(factory, loop, view, folder);
  app::WindowBinding binding(model, station, view);
  app::Catmux catmux(model, station, settingsFile, desktop, loop, boxes);
  app::WindowExtras extras(model, boxes, desktop,
                           [folder] { return ports::MakeCertificatePair(folder).text; });
  const app::QtTimers timers{&model.Timer1, &model.Timer2};

  app::CatmuxWindow window(model);
  // The close box unloads like Exit: the settings are saved, then the program
  // ends.
  window.onCloseBox = [&] { catmux.CloseBox(); };
  // A stop signal (the session ending, kill, Ctrl+C in a terminal) ends the
  // program as Close does: a keyed radio is unkeyed, the queues drain, the
  // ports close and the settings are saved.
  bool closedBySignal = false;
  const ports::SignalWatcher stopSignals({SIGTERM, SIGINT, SIGHUP}, [&](int signal) {
    if (closedBySignal) {
      return;
    }
    closedBySignal = true;
    ports::Log(station::Topic::Settings, ports::Severity::Info,
               "Signal " + std::to_string(signal) + ": closing as Close does");
    model.Command4.Click();
  });

  app::ApplicationsPanel applications(window, station, folder);
  applications.Load();
  catmux.Form_Load();
  for (const std::string& warning : settingsFile.LoadWarnings()) {
    ports::Log(station::Topic::Settings, ports::Severity::Warning, warning);
  }
  // A signal during the load's Start has closed the program already; the
  // event loop would never be told to end.
  if (closedBySignal) {
    window.hide();
    boxes.CloseAtEnd();
    return EXIT_SUCCESS;
  }
  window.show();
  if (commandLine.run->screenshotFolder) {
    app::StartScreenshotDemo(QString::fromStdString(*commandLine.run->screenshotFolder), window);
  }
  const int result = QApplication::exec();

  // Other message boxes close with the program. One raised while unloading
  // (the settings could not be saved) would vanish unread: it stays until
  // read, and the ports are released first so another program can take them
  // meanwhile.
  window.hide();
  station.ClosePorts();
  boxes.CloseAtEnd();
  return result;
}
