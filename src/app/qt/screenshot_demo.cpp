#include "app/qt/screenshot_demo.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "app/qt/catmux_window.h"
#include "app/qt/help_window.h"

namespace vantorel::app {
namespace {

// Time for the window system to map, resize and paint before each picture.
constexpr int kSettleMs = 400;
// Before the first picture: time for the traffic the pictures show to come.
constexpr int kTrafficMs = 4000;

bool Save(QWidget& widget, const QDir& folder, const QString& name) {
  const QString path = folder.filePath(name);
  if (!widget.grab().save(path)) {
    std::fprintf(stderr, "Could not write %s\n", qPrintable(path));
    return false;
  }
  std::fprintf(stderr, "Wrote %s\n", qPrintable(path));
  return true;
}

void Trigger(CatmuxWindow& window, const char* menu) {
  if (auto* action = window.findChild<QAction*>(QLatin1String(menu))) {
    action->trigger();
  }
}

}  // namespace

bool StartScreenshotDemoIfAsked(const QStringList& arguments, CatmuxWindow& window) {
  const auto at = arguments.indexOf(QLatin1String(kScreenshotDemoOption));
  if (at < 0) {
    return false;
  }
  const QDir folder(at + 1 < arguments.size() ? arguments[at + 1] : QStringLiteral("."));
  QPointer<CatmuxWindow> w(&window);
  auto ok = std::make_shared<bool>(folder.exists());
  if (!*ok) {
    std::fprintf(stderr, "No folder %s\n", qPrintable(folder.path()));
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
        QCoreApplication::exit(*ok ? 0 : 1);
      });
    });
  });
  return true;
}

}  // namespace vantorel::app
