#include "app/qt/screenshot_demo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <memory>

#include "app/qt/catmux_window.h"
#include "app/qt/help_window.h"
#include "app/qt/traffic_window.h"
#include "ports/log.h"

namespace vantorel::app {
namespace {

// Time for the window system to map, resize and paint before each picture.
constexpr int kSettleMs = 400;
// Before the first picture: time for the traffic the pictures show to come.
constexpr int kTrafficMs = 4000;

bool Save(QWidget& widget, const QDir& folder, const QString& name) {
  const QString path = folder.filePath(name);
  if (!widget.grab().save(path)) {
    ports::Log(ports::logWindow(), ports::Severity::Critical,
               "Could not write " + path.toStdString());
    return false;
  }
  ports::Log(ports::logWindow(), ports::Severity::Info, "Wrote " + path.toStdString());
  return true;
}

void Trigger(CatmuxWindow& window, const char* menu) {
  if (auto* action = window.findChild<QAction*>(QLatin1String(menu))) {
    action->trigger();
  }
}

// A Start that failed at load left its message box open: the picture shows
// the window and the box beside it, as the screen shows them.
bool SaveFailedStart(CatmuxWindow& window, const QDir& folder) {
  QMessageBox* box = nullptr;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (auto* found = qobject_cast<QMessageBox*>(top); found != nullptr && found->isVisible()) {
      box = found;
    }
  }
  if (box == nullptr) {
    return false;
  }
  constexpr int kGap = 12;
  window.move(0, 0);
  box->move(window.frameGeometry().right() + kGap, window.height() / 3);
  QTimer::singleShot(kSettleMs, &window, [w = QPointer<CatmuxWindow>(&window), box, folder] {
    const QRect both = w->frameGeometry().united(box->frameGeometry());
    const QPixmap screen =
        w->screen()->grabWindow(0, 0, 0, both.right() + kGap, both.bottom() + kGap);
    const QString path = folder.filePath(QStringLiteral("failed-start.png"));
    const bool saved = screen.save(path);
    ports::Log(ports::logWindow(), saved ? ports::Severity::Info : ports::Severity::Critical,
               (saved ? "Wrote " : "Could not write ") + path.toStdString());
    QCoreApplication::exit(saved ? 0 : 1);
  });
  return true;
}

}  // namespace

void StartScreenshotDemo(const QString& folderName, CatmuxWindow& window) {
  const QDir folder(folderName);
  QPointer<CatmuxWindow> w(&window);
  auto ok = std::make_shared<bool>(folder.exists());
  if (!*ok) {
    ports::Log(ports::logWindow(), ports::Severity::Critical,
               "No folder " + folder.path().toStdString());
  }
  if (SaveFailedStart(window, folder)) {
    return;
  }
  // The monitor shows App 1's traffic in the pictures.
  if (auto* monitor = window.findChild<QCheckBox*>(QStringLiteral("Check1"));
      monitor != nullptr && !monitor->isChecked()) {
    monitor->click();
  }
  QTimer::singleShot(kTrafficMs, &window, [w, folder, ok] {
    *ok = *ok && Save(*w, folder, QStringLiteral("collapsed.png"));
    Trigger(*w, "EXP");
    QTimer::singleShot(kSettleMs, w, [w, folder, ok] {
      *ok = *ok && Save(*w, folder, QStringLiteral("expanded.png"));
      Trigger(*w, "Hlp");
      QTimer::singleShot(kSettleMs, w, [w, folder, ok] {
        *ok = *ok && Save(w->Help(), folder, QStringLiteral("help.png"));
        w->Help().hide();
        Trigger(*w, "TrafficMenu");
        QTimer::singleShot(kSettleMs, w, [w, folder, ok] {
          *ok = *ok && Save(w->Traffic(), folder, QStringLiteral("traffic.png"));
          QCoreApplication::exit(*ok ? 0 : 1);
        });
      });
    });
  });
}

}  // namespace vantorel::app
