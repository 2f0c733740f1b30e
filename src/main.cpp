// Vantorel: joins a station program that speaks the Yaesu FT-950 dialect to a
// Kenwood radio, and shares the radio's port with a second program.
//
// Everything runs on this thread, driven by the Qt event loop: the ports'
// receive events, the timers and the clicks.
#include <QApplication>
#include <string>
#include <vector>

#include "app/catmux.h"
#include "app/qt/catmux_window.h"
#include "app/qt/qt_desktop.h"
#include "app/qt/qt_message_boxes.h"
#include "app/qt/qt_timers.h"
#include "app/qt/screenshot_demo.h"
#include "app/window_extras.h"
#include "bridge/bridge.h"
#include "bridge/qt/qt_event_loop.h"
#include "bridge/qt/qt_serial_port.h"
#include "bridge/qt/serial_devices.h"
#include "model/catmux_model.h"

namespace {

// "COM1" to "COM20", then the serial devices of this machine by path.
std::vector<std::string> PortItems() {
  std::vector<std::string> items = vantorel::model::ComPortItems();
  for (std::string& device : vantorel::bridge::SerialDeviceNames()) {
    items.push_back(std::move(device));
  }
  return items;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace vantorel;
  QApplication application(argc, argv);

  model::CatmuxModel model;
  const std::vector<std::string> portItems = PortItems();
  model.Soft1Com.SetItems(portItems);
  model.Soft2Com.SetItems(portItems);
  model.RadioCom.SetItems(portItems);

  bridge::QtSerialPort app1Port;
  bridge::QtSerialPort app2Port;
  bridge::QtSerialPort radioPort;
  bridge::QtEventLoop loop;
  app::QtMessageBoxes boxes(model.title);
  app::QtDesktop desktop;

  bridge::Bridge bridge(model, {app1Port, app2Port, radioPort}, loop, boxes);
  app::Catmux catmux(model, bridge, desktop, loop, boxes);
  app::WindowExtras extras(model, boxes, desktop);
  const app::QtTimers timers{&model.Timer1, &model.Timer2};

  app::CatmuxWindow window(model);
  // The close box unloads like Exit: the settings are saved, then the program
  // ends although message boxes may still be open.
  window.onCloseBox = [&] {
    catmux.Form_Unload();
    catmux.EndProgram();
  };

  catmux.Form_Load();
  window.show();
  app::StartScreenshotDemoIfAsked(QApplication::arguments(), window);
  const int result = QApplication::exec();

  // A message shown while unloading (the settings could not be saved) would
  // vanish unread with the program; the ports are released first so another
  // program can take them while the user reads it.
  if (boxes.OpenBoxes() > 0) {
    window.hide();
    catmux.Command2_Click();
    boxes.WaitUntilClosed();
  }
  return result;
}
