// Pictures of the window for the documentation, taken by the program itself:
// `vantorel --screenshot-demo DIR` saves DIR/collapsed.png, DIR/expanded.png,
// DIR/help.png and DIR/traffic.png, then ends; when the Start at load failed,
// it saves DIR/failed-start.png (the window and its message box) instead.
// Used by scripts/screenshots.sh, never by users.
// Threading: the GUI thread only.
#pragma once

#include <QString>

namespace vantorel::app {

class CatmuxWindow;

// Schedules the pictures into `folder` on the event loop (call after the
// window is shown). The program quits when the last picture is saved, with
// exit code 1 if one could not be.
void StartScreenshotDemo(const QString& folder, CatmuxWindow& window);

}  // namespace vantorel::app
