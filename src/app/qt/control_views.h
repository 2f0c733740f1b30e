// Widgets that show the model's controls. Each widget is named after its
// control (objectName), placed at the control's position (twips / 15 = pixels
// at 96 dpi; Qt scales for high-dpi screens) and kept in step with it both
// ways: the user's edits and clicks go to the model, the model's changes
// (by the program or the settings file) come back to the widget. A change that
// came from the widget is not sent back to it.
//
// The bindings hold only guarded pointers to their widgets, so a widget may be
// destroyed before the model without leaving anything dangling.
// Threading: the GUI thread only.
#pragma once

#include <QFont>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/controls.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vantorel::app {

// Model texts are UTF-8.
QString ToQString(std::string_view text);
std::string ToStdString(const QString& text);

// A caption as Qt shows it: "&" is a character, not a shortcut mark.
QString CaptionText(const std::string& caption);

// Runs a model handler for a widget event. The program's handlers show their
// own errors; anything that still escapes is reported under the control's
// name and the event loop goes on.
void ForwardToModel(const std::string& control, const std::function<void()>& action);

// The font of the controls: the platform's own family at a size the fixed
// layout has room for.
QFont ControlFont();

// Twips to device-independent pixels.
int TwipsToPixels(int twips);
QRect TwipsToPixels(const model::Geometry& geometry);

QLabel* MakeLabel(model::Label& label, QWidget* parent);
// An editable combo box. While it is not being edited, a name too long for it
// ("pty:/run/user/1000/vantorel-app1") shows elided in the middle, so that its
// start and its end both show; the hint shows it whole.
QComboBox* MakeComboBox(model::ComboBox& combo, QWidget* parent);
// The path an application opens for a virtual port's name ("pty:PATH" or
// "pty:PATH?..."); nothing for any other name.
std::optional<std::string> VirtualPortPath(std::string_view name);
QPushButton* MakeButton(model::Button& button, QWidget* parent);
QCheckBox* MakeCheckBox(model::CheckBox& box, QWidget* parent);
QRadioButton* MakeOptionButton(model::OptionButton& option, QWidget* parent);
// A QLineEdit for a single-line box, a QPlainTextEdit with a vertical scroll
// bar for a multi-line one.
QWidget* MakeTextBox(model::TextBox& box, QWidget* parent, bool readOnly = false);
QWidget* MakeShape(model::Shape& shape, QWidget* parent);
QWidget* MakeLamp(model::Lamp& lamp, QWidget* parent);
QComboBox* MakeChoiceBox(model::ChoiceBox& choice, QWidget* parent);
QWidget* MakePictureBox(model::PictureBox& picture, QWidget* parent);

// A model text with CR LF, lone CR or lone LF line ends, as the text a Qt text
// document shows (LF line ends). `pendingCr` carries a CR that ended the
// previous piece, so a CR LF split across two appended pieces is still one
// line end.
QString ToDisplayText(std::string_view text, bool& pendingCr);

}  // namespace vantorel::app
