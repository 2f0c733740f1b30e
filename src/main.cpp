// Vantorel: joins a station program that speaks the Yaesu FT-950 dialect to a
// Kenwood radio, and shares the radio's port with a second program.
//
// Everything runs on this thread, driven by the Qt event loop: the ports'
// receive events, the timers and the clicks.
#include <QApplication>
#include <filesystem>
#include <string>
#include <vector>

#include "app/catmux.h"
#include "app/qt/catmux_window.h"
#include "app/qt/qt_desktop.h"
#include "app/qt/qt_message_boxes.h"
#include "app/qt/qt_timers.h"
#include "app/qt/screenshot_demo.h"
#include "app/station_view.h"
#include "app/window_binding.h"
#include "app/window_extras.h"
#include "model/catmux_model.h"
#include "ports/log.h"
#include "ports/port_factory.h"
#include "ports/qt_event_loop.h"
#include "ports/serial_devices.h"
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
  QApplication application(argc, argv);
  ports::SetUpLogging();

  model::CatmuxModel model;
  const std::vector<std::string> portItems = PortItems();
  model.Soft1Com.SetItems(portItems);
  model.Soft2Com.SetItems(portItems);
  model.RadioCom.SetItems(portItems);

  ports::QtEventLoop loop;
  app::QtMessageBoxes boxes(model.title);
  app::QtDesktop desktop;
  // The settings file and the capture files live in the folder the program
  // was started in, whatever Start does with the current folder later.
  const std::filesystem::path folder = desktop.CurrentFolder();
  settings::SettingsFile settingsFile(folder);

  app::StationView view(model, boxes, [](station::Topic topic, std::string_view text) {
    ports::Log(topic, ports::Severity::Info, text);
  });
  ports::QtPortFactory factory;
  station::Station station(factory, loop, view, folder);
  app::WindowBinding binding(model, station, view);
  app::Catmux catmux(model, station, settingsFile, desktop, loop, boxes);
  app::WindowExtras extras(model, boxes, desktop);
  const app::QtTimers timers{&model.Timer1, &model.Timer2};

  app::CatmuxWindow window(model);
  // The close box unloads like Exit: the settings are saved, then the program
  // ends.
  window.onCloseBox = [&] { catmux.CloseBox(); };

  catmux.Form_Load();
  window.show();
  app::StartScreenshotDemoIfAsked(QApplication::arguments(), window);
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
