#include "app/qt/control_views.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStringList>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <functional>
#include <limits>
#include <utility>

#include "model/catmux_model.h"
#include "ports/log.h"
#include "pty/pty_endpoint.h"

namespace vantorel::app {
namespace {

// White on the dark-grey panels; dark on a light strip elsewhere.
const QColor kPanelText(255, 255, 255);
const QColor kStripBackground(233, 236, 239);
const QColor kStripText(33, 37, 41);
const QColor kAlertOnPanel(255, 90, 80);
const QColor kAlertOnStrip(200, 0, 0);
// The layout was drawn for small dialog type; larger type would not fit the
// labels beside their boxes.
constexpr qreal kControlPointSize = 8.5;

// Visibility, enabled state and hint follow the model.
void BindCommon(model::Control& control, QWidget* widget) {
  widget->setObjectName(ToQString(control.Name()));
  widget->setGeometry(TwipsToPixels(control.Position()));
  auto sync = [&control, w = QPointer<QWidget>(widget)] {
    if (!w) {
      return;
    }
    if (w->isHidden() == control.Visible()) {
      w->setVisible(control.Visible());
    }
    if (w->isEnabled() != control.Enabled()) {
      w->setEnabled(control.Enabled());
    }
    const QString tip = ToQString(control.ToolTipText());
    if (w->toolTip() != tip) {
      w->setToolTip(tip);
    }
  };
  sync();
  control.changed.Connect(sync);
}

// A caption drawn in a font wider than the one the layout was drawn for must
// not be cut off: the widget grows to the right, its place stays.
void FitWidthToText(QWidget* widget) {
  const int needed = widget->sizeHint().width();
  if (needed > widget->width()) {
    widget->resize(needed, widget->height());
  }
}

// Check box rows are 16 pixels apart; a box lower than a line of text would
// cut its caption.
void FitHeightToText(QWidget* widget) {
  const int needed = widget->fontMetrics().height() + 2;
  if (needed > widget->height()) {
    widget->resize(widget->width(), needed);
  }
}

// Tells the model about pointer movement over a widget (the hint handlers).
class MouseMoveForwarder : public QObject {
 public:
  MouseMoveForwarder(QWidget* widget, std::string name, std::function<void()>& hook)
      : QObject(widget), name_(std::move(name)), hook_(hook) {
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::MouseMove && hook_) {
      ForwardToModel(name_, hook_);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::string name_;
  std::function<void()>& hook_;
};

void SetPanelText(QWidget* widget) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, kPanelText);
  palette.setColor(QPalette::ButtonText, kPanelText);
  palette.setColor(QPalette::Disabled, QPalette::WindowText, kPanelText.darker(160));
  widget->setPalette(palette);
}

Qt::CheckState CheckStateOf(Check value) {
  switch (value) {
    case Check::Ticked:
      return Qt::Checked;
    case Check::Greyed:
      return Qt::PartiallyChecked;
    case Check::Clear:
      break;
  }
  return Qt::Unchecked;
}

class ShapeWidget : public QWidget {
 public:
  ShapeWidget(const model::Shape& shape, QWidget* parent) : QWidget(parent), shape_(shape) {
    // Shapes are drawings: clicks and pointer movement go to what lies below.
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    const model::Rgb fill = shape_.Fill();
    const QColor colour(fill.r, fill.g, fill.b);
    if (shape_.Kind() == model::ShapeKind::Rectangle) {
      painter.fillRect(rect(), colour);
      return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour.darker(150), 1.0));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
  }

 private:
  const model::Shape& shape_;
};

// The small click target in the header: drawn as a row of tiny signal lamps.
class PictureBoxWidget : public QWidget {
 public:
  PictureBoxWidget(model::PictureBox& picture, QWidget* parent)
      : QWidget(parent), picture_(picture) {}

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QColor(8, 20, 28));
    painter.setBrush(QColor(14, 32, 44));
    painter.drawRoundedRect(frame, 2, 2);
    constexpr int kLamps = 5;
    const qreal step = frame.width() / kLamps;
    const qreal size = std::min(step, frame.height()) * 0.55;
    for (int i = 0; i < kLamps; ++i) {
      const QPointF centre(frame.left() + step * (i + 0.5), frame.center().y());
      const QColor lamp = i < 3 ? QColor(96, 220, 140) : QColor(60, 96, 80);
      painter.setPen(Qt::NoPen);
      painter.setBrush(lamp);
      painter.drawEllipse(centre, size / 2, size / 2);
    }
  }

  // A click is a press and a release over the control.
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
      ForwardToModel(picture_.Name(), [this] {
        if (picture_.onClick) {
          picture_.onClick();
        }
      });
    }
  }

 private:
  model::PictureBox& picture_;
};

// Keeps a multi-line box and its model text in step. Appends go in as pieces
// at the end of the document: the cost follows the piece, not what the box
// already holds (the monitor boxes grow for hours).
class PlainTextBinding : public QObject {
 public:
  PlainTextBinding(model::TextBox& box, QPlainTextEdit* edit)
      : QObject(edit), box_(box), edit_(edit) {
    QObject::connect(edit, &QPlainTextEdit::textChanged, this, [this] { FromWidget(); });
  }

  void Replace() {
    if (fromWidget_) {
      return;
    }
    const std::string& text = box_.Text();
    pendingCr_ = false;
    shownLineLength_ = 0;
    const QString shown = BreakLongLines(ToDisplayText(text, pendingCr_));
    updating_ = true;
    edit_->setPlainText(shown);
    updating_ = false;
  }

  // The model let go of its oldest text: the document shows what is left. This
  // comes once for every quarter of the box's limit appended, so the cost per
  // appended character stays small.
  void TrimFront() {
    QScrollBar* bar = edit_->verticalScrollBar();
    const bool followEnd = bar->value() == bar->maximum();
    Replace();
    if (followEnd) {
      bar->setValue(bar->maximum());
    }
  }

  void Append(std::string_view piece) {
    const QString shown = BreakLongLines(ToDisplayText(piece, pendingCr_));
    if (shown.isEmpty()) {
      return;
    }
    QScrollBar* bar = edit_->verticalScrollBar();
    const bool followEnd = bar->value() == bar->maximum();
    updating_ = true;
    QTextCursor end(edit_->document());
    end.movePosition(QTextCursor::End);
    end.insertText(shown);
    updating_ = false;
    if (followEnd) {
      bar->setValue(bar->maximum());
    }
  }

 private:
  // The user typed: the model gets the whole text with the line ends a
  // multi-line box has always used (CR LF).
  void FromWidget() {
    if (updating_) {
      return;
    }
    QString text = edit_->toPlainText();
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    fromWidget_ = true;
    ForwardToModel(box_.Name(), [this, &text] { box_.SetText(ToStdString(text)); });
    fromWidget_ = false;
    pendingCr_ = !box_.Text().empty() && box_.Text().back() == '\r';
  }

  // App 1's text in the monitor has no line ends of its own: one line that
  // grows for as long as the station runs, laid out anew at every append. On
  // a read-only box the screen's line is ended after a ";" once it is long (a
  // box wraps its lines anyway), which keeps every append cheap; the box's
  // text itself is not changed.
  QString BreakLongLines(const QString& shown) {
    constexpr int kLongLine = 1024;
    if (!edit_->isReadOnly()) {
      return shown;
    }
    QString out;
    out.reserve(shown.size() + shown.size() / kLongLine + 1);
    for (const QChar c : shown) {
      out += c;
      shownLineLength_ = c == QLatin1Char('\n') ? 0 : shownLineLength_ + 1;
      if (shownLineLength_ >= 2 * kLongLine ||
          (shownLineLength_ >= kLongLine && c == QLatin1Char(';'))) {
        out += QLatin1Char('\n');
        shownLineLength_ = 0;
      }
    }
    return out;
  }

  model::TextBox& box_;
  QPlainTextEdit* edit_;  // our parent
  bool updating_ = false;
  bool fromWidget_ = false;
  bool pendingCr_ = false;
  int shownLineLength_ = 0;
};

// Keeps a single-line box showing its model text. The latest-text boxes
// change with every message a port receives, thousands of times a second in
// a burst of radio answers, and laying the line out each time would cost
// more than relaying the message: a change after a quiet moment shows at
// once, later ones at most every kLineShowInterval, the newest last.
class LineBinding : public QObject {
 public:
  static constexpr std::chrono::milliseconds kLineShowInterval{20};

  LineBinding(model::TextBox& box, QLineEdit* edit) : QObject(edit), box_(box), edit_(edit) {
    later_.setSingleShot(true);
    QObject::connect(&later_, &QTimer::timeout, this, [this] { Show(); });
  }

  void Changed() {
    if (later_.isActive()) {
      return;  // the newest text shows when it fires
    }
    const std::chrono::milliseconds since(shown_.isValid() ? shown_.elapsed()
                                                           : kLineShowInterval.count());
    if (since >= kLineShowInterval) {
      Show();
    } else {
      later_.start(kLineShowInterval - since);
    }
  }

 private:
  void Show() {
    shown_.start();
    const QString text = ToQString(box_.Text());
    if (edit_->text() != text) {
      edit_->setText(text);
      // A path is read from its start, as a text box shows it at first.
      edit_->setCursorPosition(0);
    }
  }

  model::TextBox& box_;
  QLineEdit* edit_;  // our parent
  QTimer later_;
  QElapsedTimer shown_;
};

QWidget* MakeSingleLine(model::TextBox& box, QWidget* parent, bool readOnly) {
  auto* edit = new QLineEdit(parent);
  edit->setReadOnly(readOnly);
  // The model decides the length; a long path must not be cut short.
  edit->setMaxLength(std::numeric_limits<int>::max());
  edit->setText(ToQString(box.Text()));
  edit->setCursorPosition(0);
  QObject::connect(edit, &QLineEdit::textEdited, edit, [&box](const QString& text) {
    ForwardToModel(box.Name(), [&box, &text] { box.SetText(ToStdString(text)); });
  });
  auto changed = [b = QPointer<LineBinding>(new LineBinding(box, edit))] {
    if (b) {
      b->Changed();
    }
  };
  box.replaced.Connect(changed);
  box.appended.Connect([changed](std::string_view /*piece*/) { changed(); });
  return edit;
}

QWidget* MakeMultiLine(model::TextBox& box, QWidget* parent, bool readOnly) {
  auto* edit = new QPlainTextEdit(parent);
  edit->setReadOnly(readOnly);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  // An undo history of every monitor line would only grow.
  edit->setUndoRedoEnabled(false);
  auto* binding = new PlainTextBinding(box, edit);
  binding->Replace();
  box.replaced.Connect([b = QPointer<PlainTextBinding>(binding)] {
    if (b) {
      b->Replace();
    }
  });
  box.appended.Connect([b = QPointer<PlainTextBinding>(binding)](std::string_view piece) {
    if (b) {
      b->Append(piece);
    }
  });
  box.trimmed.Connect([b = QPointer<PlainTextBinding>(binding)](std::size_t /*characters*/) {
    if (b) {
      b->TrimFront();
    }
  });
  return edit;
}

}  // namespace

void ForwardToModel(const std::string& control, const std::function<void()>& action) {
  // Nothing may cross Qt's signal machinery: that would end the program.
  try {
    action();
  } catch (const std::exception& e) {
    ports::Log(ports::logWindow(), ports::Severity::Critical, control + ": " + e.what());
  }
}

QString CaptionText(const std::string& caption) {
  return ToQString(caption).replace(QLatin1Char('&'), QLatin1String("&&"));
}

QFont ControlFont() {
  QFont font = QApplication::font();
  font.setPointSizeF(kControlPointSize);
  return font;
}

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStdString(const QString& text) { return text.toStdString(); }

int TwipsToPixels(int twips) {
  return static_cast<int>(std::lround(static_cast<double>(twips) / model::kTwipsPerPixel));
}

QRect TwipsToPixels(const model::Geometry& geometry) {
  return {TwipsToPixels(geometry.left), TwipsToPixels(geometry.top), TwipsToPixels(geometry.width),
          TwipsToPixels(geometry.height)};
}

QString ToDisplayText(std::string_view text, bool& pendingCr) {
  QString shown = ToQString(text);
  QString out;
  out.reserve(shown.size());
  for (const QChar c : shown) {
    if (c == QLatin1Char('\r')) {
      out += QLatin1Char('\n');
      pendingCr = true;
      continue;
    }
    if (c == QLatin1Char('\n') && pendingCr) {
      pendingCr = false;
      continue;
    }
    pendingCr = false;
    out += c;
  }
  return out;
}

QLabel* MakeLabel(model::Label& label, QWidget* parent) {
  auto* widget = new QLabel(ToQString(label.Caption()), parent);
  widget->setTextFormat(Qt::PlainText);
  widget->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  BindCommon(label, widget);
  if (label.OnPanel()) {
    SetPanelText(widget);
  } else {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, kStripBackground);
    palette.setColor(QPalette::WindowText, kStripText);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
    widget->setContentsMargins(4, 1, 4, 1);
  }
  // A label drawn two lines high or more wraps its caption in its place.
  if (widget->height() >= 2 * widget->fontMetrics().height()) {
    widget->setWordWrap(true);
  } else {
    FitWidthToText(widget);
  }
  new MouseMoveForwarder(widget, label.Name(), label.onMouseMove);
  const QPalette normal = widget->palette();
  const QFont normalFont = widget->font();
  auto sync = [&label, normal, normalFont, w = QPointer<QLabel>(widget)] {
    if (!w) {
      return;
    }
    if (w->text() != ToQString(label.Caption())) {
      w->setText(ToQString(label.Caption()));
    }
    // An alert stands out on the dark panel and on a light strip alike.
    QPalette palette = normal;
    QFont font = normalFont;
    if (label.Alert()) {
      palette.setColor(QPalette::WindowText, label.OnPanel() ? kAlertOnPanel : kAlertOnStrip);
      font.setBold(true);
    }
    if (w->palette() != palette) {
      w->setPalette(palette);
    }
    if (w->font() != font) {
      w->setFont(font);
    }
  };
  sync();
  label.changed.Connect(sync);
  return widget;
}

namespace {

// The combo box's line: elided in the middle while not being edited.
class ElidingLine : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;

 protected:
  void paintEvent(QPaintEvent* event) override {
    const QFontMetrics metrics = fontMetrics();
    const QMargins margins = textMargins();
    const QRect area = contentsRect().marginsRemoved(margins).adjusted(2, 0, -2, 0);
    if (hasFocus() || metrics.horizontalAdvance(text()) <= area.width()) {
      QLineEdit::paintEvent(event);
      return;
    }
    QPainter painter(this);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    painter.fillRect(rect(), palette().brush(group, QPalette::Base));
    painter.setPen(palette().color(group, QPalette::Text));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     metrics.elidedText(text(), Qt::ElideMiddle, area.width()));
  }
};

}  // namespace

std::optional<std::string> VirtualPortPath(std::string_view name) {
  constexpr std::string_view kPty = "pty:";
  if (!name.starts_with(kPty) || name.size() == kPty.size()) {
    return std::nullopt;
  }
  return std::string(pty::PtyLinkText(name.substr(kPty.size())));
}

QComboBox* MakeComboBox(model::ComboBox& combo, QWidget* parent) {
  auto* widget = new QComboBox(parent);
  widget->setLineEdit(new ElidingLine(widget));
  // The list only offers choices: typed text is not added to it, and is not
  // completed into something the user did not type.
  widget->setInsertPolicy(QComboBox::NoInsert);
  widget->setCompleter(nullptr);
  BindCommon(combo, widget);
  auto sync = [&combo, w = QPointer<QComboBox>(widget)] {
    if (!w) {
      return;
    }
    QStringList items;
    for (const std::string& item : combo.Items()) {
      items << ToQString(item);
    }
    const QString text = ToQString(combo.Text());
    bool itemsDiffer = items.size() != w->count();
    for (int i = 0; !itemsDiffer && i < items.size(); ++i) {
      itemsDiffer = w->itemText(i) != items[i];
    }
    if (itemsDiffer) {
      const QSignalBlocker blocker(w);
      w->clear();
      w->addItems(items);
      w->setCurrentIndex(-1);
      w->setEditText(text);
    }
    if (w->currentText() != text) {
      w->setEditText(text);
      // A long name ("pty:/run/user/1000/vantorel-app1") is read from its
      // start while edited, and the hint shows it whole.
      if (w->lineEdit() != nullptr) {
        w->lineEdit()->setCursorPosition(0);
      }
    }
    if (combo.ToolTipText().empty()) {
      w->setToolTip(text);
    }
  };
  sync();
  combo.changed.Connect(sync);
  // Typing and choosing from the list both end here.
  // A text the model already holds is not written back: a name whose bytes are
  // not UTF-8 shows with a stand-in character but stays as it was.
  QObject::connect(widget, &QComboBox::editTextChanged, widget, [&combo](const QString& text) {
    if (text != ToQString(combo.Text())) {
      ForwardToModel(combo.Name(), [&combo, &text] { combo.SetText(ToStdString(text)); });
    }
  });
  return widget;
}

QPushButton* MakeButton(model::Button& button, QWidget* parent) {
  auto* widget = new QPushButton(CaptionText(button.Caption()), parent);
  widget->setAutoDefault(false);
  BindCommon(button, widget);
  QObject::connect(widget, &QPushButton::clicked, widget,
                   [&button] { ForwardToModel(button.Name(), [&button] { button.Click(); }); });
  return widget;
}

QCheckBox* MakeCheckBox(model::CheckBox& box, QWidget* parent) {
  auto* widget = new QCheckBox(CaptionText(box.Caption()), parent);
  BindCommon(box, widget);
  if (box.OnPanel()) {
    SetPanelText(widget);
  }
  FitWidthToText(widget);
  FitHeightToText(widget);
  auto sync = [&box, w = QPointer<QCheckBox>(widget)] {
    if (w && w->checkState() != CheckStateOf(box.Value())) {
      w->setCheckState(CheckStateOf(box.Value()));
    }
  };
  sync();
  box.changed.Connect(sync);
  // A click ticks a clear or greyed box and clears a ticked one; the model's
  // Click handler runs, then the widget shows whatever the model holds.
  QObject::connect(widget, &QCheckBox::clicked, widget, [&box, sync] {
    ForwardToModel(box.Name(), [&box] { box.SetValue(CheckOf(!box.Ticked())); });
    sync();
  });
  new MouseMoveForwarder(widget, box.Name(), box.onMouseMove);
  return widget;
}

QRadioButton* MakeOptionButton(model::OptionButton& option, QWidget* parent) {
  auto* widget = new QRadioButton(parent);
  // The model keeps the group; it may also leave every button clear, which
  // Qt's own exclusive groups cannot show.
  widget->setAutoExclusive(false);
  BindCommon(option, widget);
  // The style's round button may be larger than the layout's spot for it: it
  // keeps its centre and is not clipped.
  QRect place(QPoint(), widget->sizeHint().expandedTo(widget->size()));
  place.moveCenter(widget->geometry().center());
  widget->setGeometry(place);
  auto sync = [&option, w = QPointer<QRadioButton>(widget)] {
    if (w && w->isChecked() != option.Value()) {
      w->setChecked(option.Value());
    }
  };
  sync();
  option.changed.Connect(sync);
  QObject::connect(widget, &QRadioButton::clicked, widget, [&option, sync] {
    ForwardToModel(option.Name(), [&option] { option.SetValue(true); });
    sync();
  });
  return widget;
}

QWidget* MakeTextBox(model::TextBox& box, QWidget* parent, bool readOnly) {
  QWidget* widget = box.MultiLine() ? MakeMultiLine(box, parent, readOnly)
                                    : MakeSingleLine(box, parent, readOnly);
  BindCommon(box, widget);
  auto placeholder = [&box, w = QPointer<QWidget>(widget)] {
    if (auto* line = qobject_cast<QLineEdit*>(w.data())) {
      line->setPlaceholderText(ToQString(box.Placeholder()));
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w.data())) {
      plain->setPlaceholderText(ToQString(box.Placeholder()));
    }
  };
  placeholder();
  box.changed.Connect(placeholder);
  return widget;
}

QWidget* MakeShape(model::Shape& shape, QWidget* parent) {
  auto* widget = new ShapeWidget(shape, parent);
  BindCommon(shape, widget);
  return widget;
}

namespace {

// A round lamp in the colour of its state; the hint says why a port failed.
class LampWidget : public QWidget {
 public:
  LampWidget(const model::Lamp& lamp, QWidget* parent) : QWidget(parent), lamp_(lamp) {
    // Waiting lamps blink, to catch the eye of someone glancing at the window.
    blink_.setInterval(500);
    QObject::connect(&blink_, &QTimer::timeout, this, [this] {
      lit_ = !lit_;
      update();
    });
  }
  void Follow() {
    const bool waiting = lamp_.Value() == model::Lamp::State::Waiting;
    if (waiting && !blink_.isActive()) {
      blink_.start();
    } else if (!waiting) {
      blink_.stop();
      lit_ = true;
    }
    update();
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QColor colour(125, 125, 125);  // off: the port is closed
    switch (lamp_.Value()) {
      case model::Lamp::State::On:
        colour = QColor(60, 220, 90);
        break;
      case model::Lamp::State::Waiting:
        colour = lit_ ? QColor(250, 190, 40) : QColor(110, 90, 40);
        break;
      case model::Lamp::State::Failed:
        colour = QColor(235, 50, 50);
        break;
      case model::Lamp::State::Off:
        break;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(20, 20, 20), 1.0));
    painter.setBrush(colour);
    const qreal size = std::min(width(), height()) - 1.0;
    painter.drawEllipse(QRectF((width() - size) / 2, (height() - size) / 2, size, size));
  }

 private:
  const model::Lamp& lamp_;
  QTimer blink_;
  bool lit_ = true;
};

}  // namespace

QWidget* MakeLamp(model::Lamp& lamp, QWidget* parent) {
  auto* widget = new LampWidget(lamp, parent);
  BindCommon(lamp, widget);
  widget->Follow();
  lamp.changed.Connect([w = QPointer<LampWidget>(widget)] {
    if (w) {
      w->Follow();
    }
  });
  return widget;
}

QComboBox* MakeChoiceBox(model::ChoiceBox& choice, QWidget* parent) {
  auto* widget = new QComboBox(parent);
  widget->setEditable(false);
  for (const std::string& item : choice.Items()) {
    widget->addItem(ToQString(item));
  }
  BindCommon(choice, widget);
  widget->setCurrentIndex(static_cast<int>(choice.Index()));
  choice.changed.Connect([&choice, w = QPointer<QComboBox>(widget)] {
    if (w && w->currentIndex() != static_cast<int>(choice.Index())) {
      w->setCurrentIndex(static_cast<int>(choice.Index()));
    }
  });
  QObject::connect(widget, &QComboBox::activated, widget, [&choice](int index) {
    ForwardToModel(choice.Name(),
                   [&choice, index] { choice.SetIndex(static_cast<std::size_t>(index)); });
  });
  return widget;
}

QWidget* MakePictureBox(model::PictureBox& picture, QWidget* parent) {
  auto* widget = new PictureBoxWidget(picture, parent);
  BindCommon(picture, widget);
  return widget;
}

}  // namespace vantorel::app
