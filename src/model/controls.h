// The window's controls as plain values. The program's logic reads and writes
// these; the Qt widgets are only a view of them, so the same logic runs under a
// real window, on the offscreen platform, in tests and without any window.
//
// Positions and sizes are in twips (15 twips a pixel at 96 dpi).
// Threading: the program's one thread only.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/check.h"
#include "model/signal.h"

namespace vantorel::model {

struct Geometry {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
};

inline constexpr Rgb kPanelGrey{64, 64, 64};
inline constexpr Rgb kIndicatorRed{255, 0, 0};

class Control {
 public:
  Control(std::string name, Geometry geometry, bool visible = true)
      : name_(std::move(name)), geometry_(geometry), visible_(visible) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  virtual ~Control() = default;

  [[nodiscard]] const std::string& Name() const { return name_; }
  [[nodiscard]] const Geometry& Position() const { return geometry_; }

  [[nodiscard]] bool Visible() const { return visible_; }
  void SetVisible(bool visible) { Set(visible_, visible); }

  [[nodiscard]] bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { Set(enabled_, enabled); }

  [[nodiscard]] const std::string& ToolTipText() const { return toolTip_; }
  void SetToolTipText(std::string text) { Set(toolTip_, std::move(text)); }

  // Any property of the control changed.
  Signal<> changed;

 protected:
  template <class T>
  void Set(T& field, T value) {
    if (field != value) {
      field = std::move(value);
      changed.Emit();
    }
  }

 private:
  std::string name_;
  Geometry geometry_;
  bool visible_;
  bool enabled_ = true;
  std::string toolTip_;
};

// A control with a fixed caption (labels, buttons, check boxes).
class Captioned : public Control {
 public:
  Captioned(std::string name, std::string caption, Geometry geometry, bool visible = true)
      : Control(std::move(name), geometry, visible), caption_(std::move(caption)) {}
  [[nodiscard]] const std::string& Caption() const { return caption_; }
  // For the few captions the program rewrites (the status line).
  void SetCaption(std::string caption) { Set(caption_, std::move(caption)); }

 private:
  std::string caption_;
};

class Label : public Captioned {
 public:
  // onPanel: white text on the dark-grey panels.
  Label(std::string name, std::string caption, Geometry geometry, bool onPanel, bool visible = true)
      : Captioned(std::move(name), std::move(caption), geometry, visible), onPanel_(onPanel) {}
  [[nodiscard]] bool OnPanel() const { return onPanel_; }
  // Shown in a colour that stands out (the transmitter while keyed).
  [[nodiscard]] bool Alert() const { return alert_; }
  void SetAlert(bool alert) { Set(alert_, alert); }

  // Pointer movement over the label (hints).
  std::function<void()> onMouseMove;

 private:
  bool onPanel_;
  bool alert_ = false;
};

class Button : public Captioned {
 public:
  using Captioned::Captioned;
  // The handler the program attaches; the view calls Click().
  std::function<void()> onClick;
  void Click() const {
    if (onClick) {
      onClick();
    }
  }
};

// Clear, ticked or greyed. Every change of the value, by the user or by the
// program, runs the Click handler afterwards.
class CheckBox : public Captioned {
 public:
  CheckBox(std::string name, std::string caption, Check value, Geometry geometry, bool onPanel,
           bool visible = true)
      : Captioned(std::move(name), std::move(caption), geometry, visible),
        value_(value),
        onPanel_(onPanel) {}

  [[nodiscard]] Check Value() const { return value_; }
  [[nodiscard]] bool Ticked() const { return vantorel::Ticked(value_); }
  void SetValue(Check value) {
    if (value == value_) {
      return;
    }
    value_ = value;
    changed.Emit();
    if (onClick) {
      onClick();
    }
  }
  [[nodiscard]] bool OnPanel() const { return onPanel_; }

  std::function<void()> onClick;
  // Pointer movement over the box (hints).
  std::function<void()> onMouseMove;

 private:
  Check value_;
  bool onPanel_;
};

// One of a group of option buttons: selecting one clears the others.
class OptionButton : public Control {
 public:
  OptionButton(std::string name, bool value, Geometry geometry)
      : Control(std::move(name), geometry), value_(value) {}

  [[nodiscard]] bool Value() const { return value_; }
  void SetValue(bool value) {
    if (value) {
      for (OptionButton* other : group_) {
        if (other != this) {
          other->Set(other->value_, false);
        }
      }
    }
    Set(value_, value);
  }
  // Joins the buttons into one group (the buttons must outlive each other).
  static void Group(std::vector<OptionButton*> buttons) {
    for (OptionButton* b : buttons) {
      b->group_ = buttons;
    }
  }

 private:
  bool value_;
  std::vector<OptionButton*> group_;  // not owned: the siblings in the same window
};

// An editable combo box: any text is accepted, the list only offers choices.
class ComboBox : public Control {
 public:
  ComboBox(std::string name, std::vector<std::string> items, Geometry geometry, bool visible = true)
      : Control(std::move(name), geometry, visible), items_(std::move(items)) {}

  [[nodiscard]] const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items) { Set(items_, std::move(items)); }
  [[nodiscard]] const std::string& Text() const { return text_; }
  void SetText(std::string text) { Set(text_, std::move(text)); }

 private:
  std::vector<std::string> items_;
  std::string text_;
};

class TextBox : public Control {
 public:
  TextBox(std::string name, std::string text, Geometry geometry, bool multiLine = false)
      : Control(std::move(name), geometry), text_(std::move(text)), multiLine_(multiLine) {}

  [[nodiscard]] const std::string& Text() const { return text_; }
  void SetText(std::string text) {
    if (text != text_) {
      text_ = std::move(text);
      lines_ = static_cast<std::size_t>(std::count(text_.begin(), text_.end(), '\n'));
      replaced.Emit();
      changed.Emit();
    }
  }
  // Adds to the end. Costs time in proportion to the piece, not to what the box
  // holds: the view is told only the piece. Beyond the box's limit the oldest
  // text goes (from the front, at a line's start where one is near).
  void Append(std::string_view piece) {
    if (piece.empty()) {
      return;
    }
    text_.append(piece);
    lines_ += static_cast<std::size_t>(std::count(piece.begin(), piece.end(), '\n'));
    appended.Emit(piece);
    TrimToLimit();
  }
  // At most `lines` lines and `characters` characters (0: no limit). The box is
  // trimmed back a quarter below the limit at a time, so the cost stays in
  // proportion to what was appended.
  void SetLimit(std::size_t lines, std::size_t characters) {
    lineLimit_ = lines;
    characterLimit_ = characters;
  }
  [[nodiscard]] bool MultiLine() const { return multiLine_; }
  // Shown greyed in the box while it is empty: what the box shows.
  [[nodiscard]] const std::string& Placeholder() const { return placeholder_; }
  void SetPlaceholder(std::string text) { Set(placeholder_, std::move(text)); }

  // The whole text was replaced.
  Signal<> replaced;
  // A piece was added at the end.
  Signal<std::string_view> appended;
  // This many characters went from the front.
  Signal<std::size_t> trimmed;

 private:
  void TrimToLimit();

  std::string text_;
  bool multiLine_;
  std::string placeholder_;
  std::size_t lineLimit_ = 0;
  std::size_t characterLimit_ = 0;
  std::size_t lines_ = 0;  // line breaks in text_
};

enum class ShapeKind { Rectangle, Circle };

class Shape : public Control {
 public:
  Shape(std::string name, ShapeKind kind, Rgb fill, Geometry geometry, bool visible)
      : Control(std::move(name), geometry, visible), kind_(kind), fill_(fill) {}
  [[nodiscard]] ShapeKind Kind() const { return kind_; }
  [[nodiscard]] Rgb Fill() const { return fill_; }

 private:
  ShapeKind kind_;
  Rgb fill_;
};

// A small status lamp: off (closed), on (open), blinking amber (coming back)
// or red (failed); the hint says why.
class Lamp : public Control {
 public:
  enum class State { Off, On, Waiting, Failed };
  using Control::Control;
  [[nodiscard]] State Value() const { return state_; }
  void SetValue(State state) { Set(state_, state); }

 private:
  State state_ = State::Off;
};

// A drop-down list to choose one of fixed items (not editable). Every change of
// the choice, by the user or by the program, runs onChange afterwards.
class ChoiceBox : public Control {
 public:
  ChoiceBox(std::string name, std::vector<std::string> items, Geometry geometry)
      : Control(std::move(name), geometry), items_(std::move(items)) {}
  [[nodiscard]] const std::vector<std::string>& Items() const { return items_; }
  [[nodiscard]] std::size_t Index() const { return index_; }
  void SetIndex(std::size_t index) {
    if (index < items_.size() && index != index_) {
      index_ = index;
      changed.Emit();
      if (onChange) {
        onChange();
      }
    }
  }
  std::function<void()> onChange;

 private:
  std::vector<std::string> items_;
  std::size_t index_ = 0;
};

class PictureBox : public Control {
 public:
  using Control::Control;
  std::function<void()> onClick;
};

// A menu entry with a caption the program may change.
class Menu {
 public:
  Menu(std::string name, std::string caption)
      : name_(std::move(name)), caption_(std::move(caption)) {}
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;

  [[nodiscard]] const std::string& Name() const { return name_; }
  [[nodiscard]] const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption) {
    if (caption != caption_) {
      caption_ = std::move(caption);
      changed.Emit();
    }
  }
  std::function<void()> onClick;
  void Click() const {
    if (onClick) {
      onClick();
    }
  }
  Signal<> changed;

 private:
  std::string name_;
  std::string caption_;
};

// A timer as the program sees it: an interval, an on/off switch and a tick
// handler. The event loop's edge turns it into a real timer.
//
// An enabled timer whose ticks have nothing to do for now may rest: the real
// timer stays silent until Wake(), so an idle program does not wake up many
// times a second for nothing. Resting leaves Enabled() as it is.
class Timer {
 public:
  Timer(std::string name, int intervalMs, bool enabled)
      : name_(std::move(name)), intervalMs_(intervalMs), enabled_(enabled) {}
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  [[nodiscard]] const std::string& Name() const { return name_; }
  [[nodiscard]] int Interval() const { return intervalMs_; }
  [[nodiscard]] bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) {
    if (enabled != enabled_) {
      enabled_ = enabled;
      changed.Emit();
    }
  }
  void Rest() { SetResting(true); }
  void Wake() { SetResting(false); }
  [[nodiscard]] bool Resting() const { return resting_; }
  // Enabled and not resting: the real timer ticks.
  [[nodiscard]] bool Running() const { return enabled_ && !resting_; }
  std::function<void()> onTimer;
  void Tick() const {
    if (onTimer) {
      onTimer();
    }
  }
  Signal<> changed;

 private:
  void SetResting(bool resting) {
    if (resting != resting_) {
      resting_ = resting;
      changed.Emit();
    }
  }

  std::string name_;
  int intervalMs_;
  bool enabled_;
  bool resting_ = false;
};

}  // namespace vantorel::model
