// Pictures of the window for the documentation, taken by the program itself:
// `vantorel --screenshot-demo DIR` saves DIR/collapsed.png, DIR/expanded.png
// and DIR/help.png, then ends. Used by scripts/screenshots.sh, never by users.
// Threading: the GUI thread only.
#pragma once

#include <QStringList>

namespace vantorel::app {

class CatmuxWindow;

inline constexpr const char* kScreenshotDemoOption = "--screenshot-demo";

// When the arguments ask for the pictures, schedules them on the event loop
// (call after the window is shown) and returns true. The program quits when
// the last picture is saved, with exit code 1 if one could not be.
bool StartScreenshotDemoIfAsked(const QStringList& arguments, CatmuxWindow& window);

}  // namespace vantorel::app
