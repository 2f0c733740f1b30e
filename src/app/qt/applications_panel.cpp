#include "app/qt/applications_panel.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

#include "app/qt/control_views.h"
#include "ports/log.h"
#include "settings/apps_file.h"

namespace vantorel::app {
namespace {

using station::AppDialect;
using station::PortState;

// Where the list lies in the expanded window, in twips: below Start, Stop
// and Close, right of the latest-text boxes, hidden while collapsed.
constexpr model::Geometry kListPlace{3600, 5400, 3000, 2250};
constexpr int kRefreshMs = 1000;
constexpr std::array kDialects{AppDialect::Kenwood, AppDialect::Ft950, AppDialect::Rigctld};

// A lamp as the port lamps show it: grey closed, green open, amber coming
// back, red failed.
QIcon StateLamp(PortState state) {
  QColor colour(128, 128, 128);
  switch (state) {
    case PortState::Open:
      colour = QColor(40, 200, 90);
      break;
    case PortState::Reconnecting:
      colour = QColor(240, 170, 30);
      break;
    case PortState::Failed:
    case PortState::Refused:
      colour = QColor(220, 50, 40);
      break;
    case PortState::Closed:
      break;
  }
  constexpr int kSize = 12;
  QPixmap lamp(kSize, kSize);
  lamp.fill(Qt::transparent);
  QPainter painter(&lamp);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawEllipse(1, 1, kSize - 2, kSize - 2);
  return QIcon(lamp);
}

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The editing table's rows: name, port, dialect.
void AddRow(QTableWidget& table, const station::ApplicationSetup& setup) {
  const int row = table.rowCount();
  table.insertRow(row);
  table.setItem(row, 0, new QTableWidgetItem(Text(setup.name)));
  table.setItem(row, 1, new QTableWidgetItem(Text(setup.port)));
  auto* dialect = new QComboBox(&table);
  for (const AppDialect each : kDialects) {
    dialect->addItem(Text(station::DialectWord(each)));
  }
  dialect->setCurrentText(Text(station::DialectWord(setup.dialect)));
  dialect->setToolTip(QStringLiteral(
      "kenwood: the radio's own commands; ft950: an FT-950's (emulated); rigctld: Hamlib's "
      "network protocol (the port is rigctld:[ADDRESS:]PORT)"));
  table.setCellWidget(row, 2, dialect);
}

// The table as the file would say it (a rigctld: port needs no dialect).
std::string TableText(const QTableWidget& table) {
  std::vector<station::ApplicationSetup> apps;
  for (int row = 0; row < table.rowCount(); ++row) {
    const auto* dialect = qobject_cast<QComboBox*>(table.cellWidget(row, 2));
    station::ApplicationSetup app{table.item(row, 0)->text().trimmed().toStdString(),
                                  table.item(row, 1)->text().trimmed().toStdString(),
                                  kDialects.at(static_cast<std::size_t>(dialect->currentIndex()))};
    if (app.port.starts_with(station::kRigctldPrefix)) {
      app.dialect = AppDialect::Rigctld;
    }
    apps.push_back(app);
  }
  return settings::AppsText(apps);
}

}  // namespace

ApplicationsPanel::ApplicationsPanel(QMainWindow& window, station::Station& station,
                                     std::filesystem::path folder)
    : window_(window), station_(station), folder_(std::move(folder)) {
  auto* list = new QTableWidget(0, 3, window.centralWidget());
  list->setObjectName(QStringLiteral("Applications"));
  list->setHorizontalHeaderLabels(
      {QStringLiteral("Application"), QStringLiteral("Msgs"), QStringLiteral("Port (dialect)")});
  list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
  list->setToolTip(QStringLiteral("The station programs of Apps.ini (File > Applications...)"));
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSelectionMode(QAbstractItemView::NoSelection);
  list->verticalHeader()->hide();
  list->horizontalHeader()->setStretchLastSection(true);
  list->setGeometry(TwipsToPixels(kListPlace));
  list_ = list;

  for (QMenu* menu : window.menuBar()->findChildren<QMenu*>()) {
    if (menu->objectName() == QStringLiteral("File")) {
      auto* edit = new QAction(QStringLiteral("Applications..."), menu);
      edit->setObjectName(QStringLiteral("ApplicationsMenu"));
      QObject::connect(edit, &QAction::triggered, menu, [this] { Edit(); });
      menu->insertAction(menu->actions().value(0), edit);
    }
  }
  refresh_.setInterval(kRefreshMs);
  QObject::connect(&refresh_, &QTimer::timeout, [this] { Refresh(); });
}

void ApplicationsPanel::Load() {
  const settings::AppsRead read = settings::LoadApps(folder_);
  for (const std::string& fault : read.faults) {
    ports::Log(station::Topic::Settings, ports::Severity::Warning, fault);
  }
  station_.SetApplications(read.apps);
  Refresh();
}

void ApplicationsPanel::Refresh() {
  if (!list_) {
    return;
  }
  const auto status = station_.ApplicationsStatus();
  // Ticks only while there is something to list: a window without extra
  // applications stays asleep.
  if (status.empty()) {
    refresh_.stop();
  } else if (!refresh_.isActive()) {
    refresh_.start();
  }
  list_->setVisible(!status.empty());
  list_->setRowCount(static_cast<int>(status.size()));
  for (int row = 0; row < static_cast<int>(status.size()); ++row) {
    const station::ApplicationStatus& app = status[static_cast<std::size_t>(row)];
    const QString hint = app.reason.empty() ? QString() : Text(app.reason);
    const std::array<QString, 3> cells{
        Text(app.setup.name), QString::number(app.messages),
        Text(app.setup.port) + " (" + Text(station::DialectWord(app.setup.dialect)) + ")"};
    for (int column = 0; column < 3; ++column) {
      auto* item = new QTableWidgetItem(cells[static_cast<std::size_t>(column)]);
      item->setToolTip(hint);
      list_->setItem(row, column, item);
    }
    list_->item(row, 0)->setIcon(StateLamp(app.state));
  }
  list_->resizeColumnsToContents();
}

void ApplicationsPanel::Edit() {
  QDialog dialog(&window_);
  dialog.setWindowTitle(QStringLiteral("Applications"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral(
      "Station programs beyond App 1 and App 2, each on a port of its own (at most 8).\n"
      "Port: pty:PATH, tcp-listen:[ADDRESS:]PORT, a serial device, or rigctld:[ADDRESS:]PORT "
      "for Hamlib's network protocol (WSJT-X: \"Hamlib NET rigctl\", 127.0.0.1:4532).")));
  auto* table = new QTableWidget(0, 3, &dialog);
  table->setObjectName(QStringLiteral("ApplicationsTable"));
  table->setHorizontalHeaderLabels(
      {QStringLiteral("Name"), QStringLiteral("Port"), QStringLiteral("Dialect")});
  table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  table->setMinimumWidth(560);
  for (const station::ApplicationStatus& app : station_.ApplicationsStatus()) {
    AddRow(*table, app.setup);
  }
  layout->addWidget(table);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
  QPushButton* add = buttons->addButton(QStringLiteral("Add"), QDialogButtonBox::ActionRole);
  QPushButton* remove = buttons->addButton(QStringLiteral("Remove"), QDialogButtonBox::ActionRole);
  QObject::connect(add, &QPushButton::clicked, table, [table] {
    AddRow(*table, {"Application " + std::to_string(table->rowCount() + 1),
                    "rigctld:" + std::to_string(4532 + table->rowCount()), AppDialect::Rigctld});
  });
  QObject::connect(remove, &QPushButton::clicked, table, [table] {
    table->removeRow(table->currentRow() >= 0 ? table->currentRow() : table->rowCount() - 1);
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    // Judged by the file's own rules before anything is written.
    const std::string text = TableText(*table);
    const settings::AppsRead read = settings::ParseApps(text);
    if (!read.faults.empty()) {
      QMessageBox::warning(&dialog, dialog.windowTitle(), Text(read.faults.front()));
      return;
    }
    if (const auto problem = settings::SaveApps(folder_, read.apps)) {
      QMessageBox::warning(&dialog, dialog.windowTitle(),
                           QStringLiteral("Apps.ini could not be written: ") + Text(*problem));
      return;
    }
    station_.SetApplications(read.apps);
    dialog.accept();
  });
  layout->addWidget(buttons);
  dialog.exec();
  Refresh();
}

}  // namespace vantorel::app
