#include "app/qt/traffic_window.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>
#include <array>

#include "app/qt/artwork.h"
#include "app/qt/control_views.h"
#include "model/catmux_model.h"

namespace vantorel::app {
namespace {

using station::TrafficSource;

// One colour for each source, dark enough to read on white.
QColor SourceColour(TrafficSource source) {
  switch (source) {
    case TrafficSource::App1:
      return {0, 90, 170};
    case TrafficSource::App2:
      return {130, 60, 160};
    case TrafficSource::Application:
      return {170, 90, 0};
    case TrafficSource::Radio:
      break;
  }
  return {0, 120, 50};
}

QCheckBox* Switch(const QString& caption, bool ticked, QWidget* parent) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(caption);
  box->setChecked(ticked);
  return box;
}

}  // namespace

TrafficWindow::TrafficWindow(model::TrafficModel& traffic, QWidget* parent)
    : QWidget(parent, Qt::Window), traffic_(traffic), list_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("Traffic"));
  setWindowTitle(QStringLiteral("Traffic - Vantorel"));
  setWindowIcon(ApplicationIcon());
  setFont(ControlFont());
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(760, 420);

  auto* bar = new QHBoxLayout;
  auto* pause = Switch(QStringLiteral("Pause"), traffic_.Paused(), this);
  connect(pause, &QCheckBox::toggled, this, [this](bool on) {
    ForwardToModel("Traffic Pause", [this, on] { traffic_.SetPaused(on); });
  });
  bar->addWidget(pause);
  bar->addSpacing(12);
  for (const auto& [source, caption] : std::array<std::pair<TrafficSource, const char*>, 4>{
           {{TrafficSource::App1, "App 1"},
            {TrafficSource::App2, "App 2"},
            {TrafficSource::Application, "Programs"},
            {TrafficSource::Radio, "Radio"}}}) {
    auto* shown = Switch(QString::fromUtf8(caption), traffic_.ShowsSource(source), this);
    QPalette palette = shown->palette();
    palette.setColor(QPalette::WindowText, SourceColour(source));
    shown->setPalette(palette);
    connect(shown, &QCheckBox::toggled, this, [this, source](bool on) {
      ForwardToModel("Traffic filter", [this, source, on] { traffic_.ShowSource(source, on); });
    });
    bar->addWidget(shown);
  }
  bar->addSpacing(12);
  auto* hex = Switch(QStringLiteral("Hex"), traffic_.Hex(), this);
  connect(hex, &QCheckBox::toggled, this,
          [this](bool on) { ForwardToModel("Traffic Hex", [this, on] { traffic_.SetHex(on); }); });
  bar->addWidget(hex);
  bar->addStretch();
  const auto button = [this, bar](const QString& caption, auto action) {
    auto* pushed = new QPushButton(caption, this);
    pushed->setObjectName(caption);
    pushed->setAutoDefault(false);
    connect(pushed, &QPushButton::clicked, this, action);
    bar->addWidget(pushed);
  };
  button(QStringLiteral("Copy"),
         [this] { QGuiApplication::clipboard()->setText(ToQString(traffic_.Text())); });
  button(QStringLiteral("Save..."), [this] { SaveAs(); });
  button(QStringLiteral("Clear"),
         [this] { ForwardToModel("Traffic Clear", [this] { traffic_.Clear(); }); });

  list_->setObjectName(QStringLiteral("TrafficList"));
  list_->setReadOnly(true);
  list_->setUndoRedoEnabled(false);
  list_->setLineWrapMode(QPlainTextEdit::NoWrap);
  list_->setMaximumBlockCount(static_cast<int>(model::kMonitorLines));
  list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  list_->setPlaceholderText(
      QStringLiteral("Every message on every port, once the station runs: time, direction, "
                     "message"));

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(list_);

  traffic_.added.Connect([self = QPointer<TrafficWindow>(this)](const station::TrafficLine& line) {
    if (self) {
      self->Append(line);
    }
  });
  traffic_.changed.Connect([self = QPointer<TrafficWindow>(this)] {
    if (self) {
      self->Refresh();
    }
  });
  Refresh();
}

void TrafficWindow::Write(const station::TrafficLine& line) {
  QTextCharFormat format;
  format.setForeground(SourceColour(line.source));
  QTextCursor cursor(list_->document());
  cursor.movePosition(QTextCursor::End);
  if (!list_->document()->isEmpty()) {
    cursor.insertBlock();
  }
  cursor.insertText(ToQString(traffic_.LineText(line)), format);
}

void TrafficWindow::Append(const station::TrafficLine& line) {
  if (!isVisible()) {
    return;  // shown whole when the window opens
  }
  QScrollBar* scroll = list_->verticalScrollBar();
  const bool atEnd = scroll->value() == scroll->maximum();
  Write(line);
  if (atEnd) {
    scroll->setValue(scroll->maximum());
  }
}

void TrafficWindow::Refresh() {
  if (!traffic_.Open()) {
    hide();
    return;
  }
  list_->clear();
  for (const station::TrafficLine& line : traffic_.Lines()) {
    if (traffic_.Shows(line)) {
      Write(line);
    }
  }
  list_->verticalScrollBar()->setValue(list_->verticalScrollBar()->maximum());
  if (!isVisible()) {
    show();
  }
  raise();
}

void TrafficWindow::SaveAs() {
  const QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Save the traffic"),
                                                    QStringLiteral("traffic.txt"));
  if (file.isEmpty()) {
    return;
  }
  if (const auto problem = traffic_.Save(ToStdString(file))) {
    QMessageBox::warning(this, windowTitle(), ToQString(*problem));
  }
}

void TrafficWindow::closeEvent(QCloseEvent* event) {
  ForwardToModel(objectName().toStdString(), [this] { traffic_.SetOpen(false); });
  event->accept();
}

}  // namespace vantorel::app
