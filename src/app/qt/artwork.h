// The window's own artwork: the background picture under the controls and
// the application icon. Both are ours: the picture is drawn here in code, the
// icon is an SVG in the program's resources.
// Threading: the GUI thread only.
#pragma once

#include <QIcon>
#include <QSize>

class QPainter;

namespace vantorel::app {

// The background picture's size in device-independent pixels.
inline constexpr QSize kBackgroundPictureSize{423, 347};

// Draws the background picture with its top-left corner at the painter's
// origin: a dark sea-blue face with a faint scale, the program's name, a mast
// sending on both sides and a trace running under the port panel.
void PaintBackgroundPicture(QPainter& painter);

// The icon at the sizes desktops ask for, rendered from the SVG.
QIcon ApplicationIcon();

}  // namespace vantorel::app
