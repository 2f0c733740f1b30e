#include "app/qt/catmux_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <tuple>
#include <utility>
#include <vector>

#include "app/qt/artwork.h"
#include "app/qt/control_views.h"
#include "app/qt/help_window.h"
#include "app/qt/traffic_window.h"
#include "ports/log.h"

namespace vantorel::app {
namespace {

const QColor kPanelGrey(model::kPanelGrey.r, model::kPanelGrey.g, model::kPanelGrey.b);

// What the original window's frame, title bar and menu bar took, in twips:
// the collapsed outer size less the client area at load.
constexpr int kNominalFrameWidth = model::kCollapsedWidth - model::kClientWidthAtLoad;
constexpr int kNominalFrameHeight = model::kCollapsedHeight - model::kClientHeightAtLoad;

// The client area: the background picture, with the controls on top. The
// picture is drawn once per screen resolution and kept: a field that changes
// with every message (the latest text) repaints the picture under it, and
// drawing it anew each time cost more than the message's relay.
class Canvas : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    // Beyond the picture and the panels (a window stretched by hand).
    painter.fillRect(rect(), kPanelGrey);
    const qreal ratio = devicePixelRatioF();
    if (picture_.isNull() || picture_.devicePixelRatio() != ratio) {
      picture_ = QPixmap(kBackgroundPictureSize * ratio);
      picture_.setDevicePixelRatio(ratio);
      picture_.fill(kPanelGrey);  // what lies under the picture on the window
      QPainter onPicture(&picture_);
      PaintBackgroundPicture(onPicture);
    }
    painter.drawPixmap(QPointF(0.0, 0.0), picture_);
  }

 private:
  QPixmap picture_;
};

// Space between a label and the field it names, in pixels.
constexpr int kLabelGap = 4;
// How far (twips) a label's right edge may lie from its field's left edge in
// the layout and still name it: they touch, overlap a little or leave a gap.
constexpr int kFieldReachBefore = 150;
constexpr int kFieldReachAfter = 300;

bool SameRow(const model::Geometry& a, const model::Geometry& b) {
  return a.top < b.top + b.height && b.top < a.top + a.height;
}

// The field a label names: the nearest visible control starting just at its
// right edge on the same row.
const model::Control* FieldRightOf(const model::Label& label,
                                   const std::vector<model::Control*>& controls) {
  const model::Geometry& at = label.Position();
  const int right = at.left + at.width;
  const model::Control* field = nullptr;
  for (const model::Control* c : controls) {
    const model::Geometry& g = c->Position();
    const bool isField = dynamic_cast<const model::Label*>(c) == nullptr &&
                         dynamic_cast<const model::Shape*>(c) == nullptr && c->Visible() &&
                         g.width > 0;
    if (!isField || !SameRow(at, g) || g.left <= at.left || g.left < right - kFieldReachBefore ||
        g.left > right + kFieldReachAfter) {
      continue;
    }
    if (field == nullptr || g.left < field->Position().left) {
      field = c;
    }
  }
  return field;
}

// The layout was drawn for narrow dialog type. A label must never run under
// the field it names, whatever the platform's font: it ends just before the
// field, right-aligned and centred on the field's height, and grows to the
// left when its text needs the room.
void SetLabelsBesideFields(const std::vector<model::Control*>& controls, QWidget* canvas) {
  for (const model::Control* c : controls) {
    const auto* label = dynamic_cast<const model::Label*>(c);
    if (label == nullptr || !label->Visible()) {
      continue;
    }
    const model::Control* field = FieldRightOf(*label, controls);
    auto* labelWidget = canvas->findChild<QLabel*>(ToQString(label->Name()));
    QWidget* fieldWidget =
        field != nullptr ? canvas->findChild<QWidget*>(ToQString(field->Name())) : nullptr;
    if (labelWidget == nullptr || fieldWidget == nullptr) {
      continue;
    }
    const int right = fieldWidget->x() - kLabelGap;
    const int left =
        std::min(TwipsToPixels(label->Position().left), right - labelWidget->sizeHint().width());
    labelWidget->setGeometry(left, fieldWidget->y(), right - left, fieldWidget->height());
    labelWidget->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // An option button in front of the label ("(o) App 1") sits on the same line.
    for (auto* option : canvas->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly)) {
      const QRect at = option->geometry();
      if (at.right() < left + kLabelGap && at.right() >= left - 2 * kLabelGap - at.width() &&
          at.bottom() >= fieldWidget->y() && at.top() <= fieldWidget->geometry().bottom()) {
        const int textLeft = right - labelWidget->sizeHint().width();
        option->move(std::min(at.x(), textLeft - kLabelGap / 2 - at.width()),
                     fieldWidget->geometry().center().y() - at.height() / 2);
      }
    }
  }
}

// The position where a run of blanks in a check box's caption begins and
// ends, in the box's parent's coordinates.
std::pair<int, int> CaptionGap(const QCheckBox& box) {
  const QString caption = box.text();
  static const QRegularExpression kBlanks(QStringLiteral(" {3,}"));
  const QRegularExpressionMatch gap = kBlanks.match(caption);
  if (!gap.hasMatch()) {
    return {0, 0};
  }
  QStyleOptionButton option;
  option.initFrom(&box);
  option.text = caption;
  const QRect text = box.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &box);
  const QFontMetrics metrics = box.fontMetrics();
  const int start =
      box.x() + text.left() + metrics.horizontalAdvance(caption.left(gap.capturedStart()));
  return {start, start + metrics.horizontalAdvance(gap.captured())};
}

// A field the layout sets into the blanks of a check box's caption ("Shut Down
// if XT is [180] or greater") stays in that gap in any font.
void SetFieldIntoCaptionGap(QCheckBox* box, QWidget* field) {
  if (box == nullptr || field == nullptr) {
    return;
  }
  const auto [start, end] = CaptionGap(*box);
  if (end - start < 2 * kLabelGap) {
    return;
  }
  const int width = std::min(field->width(), end - start - 2 * kLabelGap);
  field->setGeometry((start + end - width) / 2, field->y(), width, field->height());
}

// Tab goes through the fields and buttons as the eye reads them: the rows from
// the top, each from the left (the collapsed part first, then the expanded).
void SetTabOrderByPlace(QWidget* canvas) {
  std::vector<QWidget*> stops;
  for (QWidget* w : canvas->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (w->focusPolicy() & Qt::TabFocus) {
      stops.push_back(w);
    }
  }
  // Rows are 26 pixels apart in the layout; fields a little higher or lower
  // than their neighbours still share a row.
  constexpr int kRowBand = 16;
  const int collapsedWidth = TwipsToPixels(model::kClientWidthAtLoad);
  const auto place = [collapsedWidth](const QWidget* w) {
    return std::tuple(w->x() >= collapsedWidth, (w->y() + kRowBand / 2) / kRowBand, w->x());
  };
  std::stable_sort(stops.begin(), stops.end(),
                   [&place](QWidget* a, QWidget* b) { return place(a) < place(b); });
  for (std::size_t i = 1; i < stops.size(); ++i) {
    QWidget::setTabOrder(stops[i - 1], stops[i]);
  }
}

}  // namespace

CatmuxWindow::CatmuxWindow(model::CatmuxModel& model, QWidget* parent)
    : QMainWindow(parent), model_(model) {
  setObjectName(QStringLiteral("Catmux"));
  setWindowTitle(ToQString(model_.title));
  const QIcon icon = ApplicationIcon();
  setWindowIcon(icon);
  // Message boxes and any other window of the program carry the same icon.
  if (QApplication::windowIcon().isNull()) {
    QApplication::setWindowIcon(icon);
  }
  // Hints show also while another window (the help window, a message box)
  // has the focus.
  setAttribute(Qt::WA_AlwaysShowToolTips);

  auto* canvas = new Canvas(this);
  canvas->setObjectName(QStringLiteral("CatmuxClient"));
  canvas->setFont(ControlFont());
  setCentralWidget(canvas);
  BuildControls(canvas);
  BuildMenus();

  help_ = std::make_unique<HelpWindow>(model_.HlpForm);
  traffic_ = std::make_unique<TrafficWindow>(model_.Traffic);

  // The window opens with the design's client area, which shows the collapsed
  // layout; the menu bar comes on top of it.
  resize(TwipsToPixels(model::kClientWidthAtLoad),
         TwipsToPixels(model::kClientHeightAtLoad) + menuBar()->sizeHint().height());
  model_.sizeChanged.Connect([self = QPointer<CatmuxWindow>(this)] {
    if (self) {
      self->ApplyModelSize();
    }
  });
}

CatmuxWindow::~CatmuxWindow() = default;

void CatmuxWindow::BuildControls(QWidget* canvas) {
  const auto controls = model_.Controls();
  // The panels first, so that everything else lies on them.
  for (model::Control* control : controls) {
    auto* shape = dynamic_cast<model::Shape*>(control);
    if (shape != nullptr && shape->Kind() == model::ShapeKind::Rectangle) {
      MakeShape(*shape, canvas);
    }
  }
  for (model::Control* control : controls) {
    if (auto* shape = dynamic_cast<model::Shape*>(control)) {
      if (shape->Kind() != model::ShapeKind::Rectangle) {
        MakeShape(*shape, canvas);
      }
    } else if (auto* label = dynamic_cast<model::Label*>(control)) {
      MakeLabel(*label, canvas);
    } else if (auto* combo = dynamic_cast<model::ComboBox*>(control)) {
      MakeComboBox(*combo, canvas);
    } else if (auto* button = dynamic_cast<model::Button*>(control)) {
      MakeButton(*button, canvas);
    } else if (auto* box = dynamic_cast<model::CheckBox*>(control)) {
      MakeCheckBox(*box, canvas);
    } else if (auto* option = dynamic_cast<model::OptionButton*>(control)) {
      MakeOptionButton(*option, canvas);
    } else if (auto* text = dynamic_cast<model::TextBox*>(control)) {
      // The traffic monitors show what the station writes into them.
      MakeTextBox(*text, canvas, text == &model_.Text5 || text == &model_.Text6);
    } else if (auto* picture = dynamic_cast<model::PictureBox*>(control)) {
      MakePictureBox(*picture, canvas);
    } else if (auto* lamp = dynamic_cast<model::Lamp*>(control)) {
      MakeLamp(*lamp, canvas);
    } else if (auto* choice = dynamic_cast<model::ChoiceBox*>(control)) {
      MakeChoiceBox(*choice, canvas);
    } else {
      ports::Log(ports::logWindow(), ports::Severity::Warning,
                 "No view for control " + control->Name());
    }
  }
  SetTabOrderByPlace(canvas);
  SetLabelsBesideFields(controls, canvas);
  SetFieldIntoCaptionGap(canvas->findChild<QCheckBox*>(ToQString(model_.MonitorTX.Name())),
                         canvas->findChild<QWidget*>(ToQString(model_.ShutDwn.Name())));
  // The traffic monitors line up their columns.
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  for (auto* monitor : canvas->findChildren<QPlainTextEdit*>()) {
    QFont font = fixed;
    font.setPointSizeF(canvas->font().pointSizeF());
    monitor->setFont(font);
  }
}

namespace {

QAction* MenuAction(model::Menu& menu, QObject* parent) {
  auto* action = new QAction(CaptionText(menu.Caption()), parent);
  action->setObjectName(ToQString(menu.Name()));
  QObject::connect(action, &QAction::triggered, action,
                   [&menu] { ForwardToModel(menu.Name(), [&menu] { menu.Click(); }); });
  menu.changed.Connect([&menu, a = QPointer<QAction>(action)] {
    if (a) {
      a->setText(CaptionText(menu.Caption()));
    }
  });
  return action;
}

}  // namespace

void CatmuxWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  QMenu* file = bar->addMenu(CaptionText(model_.File.Caption()));
  file->setObjectName(ToQString(model_.File.Name()));
  model_.File.changed.Connect([this, f = QPointer<QMenu>(file)] {
    if (f) {
      f->setTitle(CaptionText(model_.File.Caption()));
    }
  });
  file->addAction(MenuAction(model_.TrafficMenu, file));
  // The path App 1 is to open, whole, for pasting into its set-up.
  QAction* copyPath = file->addAction(QStringLiteral("Copy App 1's Port Path"));
  copyPath->setObjectName(QStringLiteral("CopyApp1Path"));
  const auto followPort = [this, copyPath] {
    copyPath->setEnabled(VirtualPortPath(model_.Soft1Com.Text()).has_value());
  };
  followPort();
  model_.Soft1Com.changed.Connect([followPort, a = QPointer<QAction>(copyPath)] {
    if (a) {
      followPort();
    }
  });
  connect(copyPath, &QAction::triggered, this, [this] {
    if (const auto path = VirtualPortPath(model_.Soft1Com.Text())) {
      QGuiApplication::clipboard()->setText(ToQString(*path));
    }
  });
  file->addAction(MenuAction(model_.Exit, file));

  // Expand/Collapse, About and Help have no items: they act when clicked in
  // the menu bar itself.
  bar->addAction(MenuAction(model_.EXP, bar));
  bar->addAction(MenuAction(model_.Abt, bar));
  QAction* help = MenuAction(model_.Hlp, bar);
  bar->addAction(help);
  // Help chosen while the help window is open shows that same window again,
  // in front, even when the model had nothing new to report.
  connect(help, &QAction::triggered, this, [this] { help_->BringToFront(); });
}

// The model's sizes are the outer size, frame and title bar included. Where
// the window system tells the frame, it is taken off exactly; before the
// window is shown it is estimated from the original window's proportions.
void CatmuxWindow::ApplyModelSize() {
  const QSize outer(TwipsToPixels(model_.Width()), TwipsToPixels(model_.Height()));
  resize((outer - FrameAllowance()).expandedTo(QSize(1, 1)));
}

QSize CatmuxWindow::FrameAllowance() const {
  if (isVisible()) {
    return frameGeometry().size() - geometry().size();
  }
  const int menuHeight = menuBar()->sizeHint().height();
  return {TwipsToPixels(kNominalFrameWidth),
          std::max(0, TwipsToPixels(kNominalFrameHeight) - menuHeight)};
}

void CatmuxWindow::closeEvent(QCloseEvent* event) {
  if (onCloseBox) {
    ForwardToModel(objectName().toStdString(), onCloseBox);
  }
  event->accept();
}

}  // namespace vantorel::app
