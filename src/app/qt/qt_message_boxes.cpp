#include "app/qt/qt_message_boxes.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <algorithm>
#include <iostream>

namespace vantorel::app {

std::string OneLogLine(const std::string& text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      continue;  // CR LF is one break
    }
    line.push_back(c == '\r' || c == '\n' ? ' ' : c);
  }
  return line;
}

QtMessageBoxes::QtMessageBoxes(std::string title) : title_(std::move(title)) {}

QtMessageBoxes::~QtMessageBoxes() {
  for (const auto& box : boxes_) {
    delete box.data();  // null once the user closed it
  }
}

void QtMessageBoxes::MsgBox(const std::string& text) {
  std::cerr << OneLogLine(text) << std::endl;
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    return;
  }
  std::erase_if(boxes_, [](const QPointer<QMessageBox>& box) { return box.isNull(); });
  // Owned by the list until the user closes it; then it deletes itself.
  auto* box = new QMessageBox(QMessageBox::NoIcon, QString::fromStdString(title_),
                              QString::fromStdString(text), QMessageBox::Ok);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  boxes_.emplace_back(box);
  box->show();
}

int QtMessageBoxes::OpenBoxes() const {
  return static_cast<int>(std::count_if(
      boxes_.begin(), boxes_.end(),
      [](const QPointer<QMessageBox>& box) { return !box.isNull() && box->isVisible(); }));
}

void QtMessageBoxes::WaitUntilClosed() {
  const QString platform = QGuiApplication::platformName();
  if (platform == "offscreen" || platform == "minimal") {
    return;
  }
  QEventLoop loop;
  for (const auto& box : boxes_) {
    if (!box.isNull()) {
      QObject::connect(box.data(), &QObject::destroyed, &loop, [this, &loop] {
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
