#include "app/qt/qt_message_boxes.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <algorithm>

#include "ports/log.h"

namespace vantorel::app {

QtMessageBoxes::QtMessageBoxes(std::string title) : title_(std::move(title)) {}

QtMessageBoxes::~QtMessageBoxes() {
  for (const Box& entry : boxes_) {
    delete entry.box.data();  // null once the user closed it
  }
}

void QtMessageBoxes::MsgBox(const std::string& text, station::Topic topic) {
  const int times = repeats_.Count(text, RepeatFilter::Clock::now());
  ports::Log(topic, ports::Severity::Warning,
             times == 1 ? text : text + " (" + std::to_string(times) + " times in 10 s)");
  if (times > 1 || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    return;
  }
  std::erase_if(boxes_, [](const Box& entry) { return entry.box.isNull(); });
  // Owned by the list until the user closes it; then it deletes itself.
  auto* box = new QMessageBox(QMessageBox::NoIcon, QString::fromStdString(title_),
                              QString::fromStdString(text), QMessageBox::Ok);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  boxes_.push_back({box, ending_});
  box->show();
}

int QtMessageBoxes::OpenBoxes() const {
  return static_cast<int>(std::count_if(boxes_.begin(), boxes_.end(), [](const Box& entry) {
    return !entry.box.isNull() && entry.box->isVisible();
  }));
}

void QtMessageBoxes::CloseAtEnd() {
  for (const Box& entry : boxes_) {
    if (!entry.keepsProgram && !entry.box.isNull()) {
      entry.box->close();
    }
  }
  const QString platform = QGuiApplication::platformName();
  if (platform == "offscreen" || platform == "minimal") {
    return;
  }
  QEventLoop loop;
  for (const Box& entry : boxes_) {
    if (entry.keepsProgram && !entry.box.isNull()) {
      QObject::connect(entry.box.data(), &QObject::destroyed, &loop, [this, &loop] {
        if (OpenBoxes() == 0) {
          loop.quit();
        }
      });
    }
  }
  if (OpenBoxes() > 0) {
    loop.exec();
  }
}

}  // namespace vantorel::app
