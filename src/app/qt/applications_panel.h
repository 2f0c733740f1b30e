// The station programs beyond App 1 and App 2 in the window: at load they are
// read from Apps.ini beside Catmux.ini and handed to the station (each Start
// opens them); the expanded window lists them with a lamp, their port, their
// dialect and the messages each sent since Start; File > "Applications..."
// adds, edits and removes them and writes Apps.ini.
//
// Threading: the GUI thread only.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <filesystem>

#include "station/station.h"

class QMainWindow;
class QTableWidget;

namespace vantorel::app {

class ApplicationsPanel {
 public:
  // The list goes on the window's canvas, the menu item into its File menu.
  ApplicationsPanel(QMainWindow& window, station::Station& station, std::filesystem::path folder);
  ApplicationsPanel(const ApplicationsPanel&) = delete;
  ApplicationsPanel& operator=(const ApplicationsPanel&) = delete;

  // Reads Apps.ini and hands the applications to the station.
  void Load();
  // The dialog that edits them; modal.
  void Edit();

 private:
  void Refresh();

  QMainWindow& window_;
  station::Station& station_;
  std::filesystem::path folder_;
  QPointer<QTableWidget> list_;
  QTimer refresh_;
};

}  // namespace vantorel::app
