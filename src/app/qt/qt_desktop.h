// The desktop services on Linux with Qt: the current folder and file test
// through QDir and QFileInfo, window activation through the X11 window
// manager, program start through QProcess, the end through the event loop.
//
// Window activation asks an EWMH window manager for its list of top-level
// windows (_NET_CLIENT_LIST), reads their titles (_NET_WM_NAME, else WM_NAME)
// and asks it to activate the chosen one (_NET_ACTIVE_WINDOW), on the X
// connection the program's own window uses. Where windows cannot be searched
// that way (no X display, Wayland, the offscreen platform, a window manager
// without the list, an empty title) a running process started from the same
// program file counts as the found window, so Start never launches a second
// copy of a running program.
//
// Threading: the program's one thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/desktop.h"

namespace vantorel::app {

struct TopLevelWindow {
  std::uint32_t id = 0;
  std::string title;  // UTF-8
};

// The window whose title equals `title`, else the first whose title begins
// with it. Letters compare without regard to case, as station users type
// titles from memory. An empty title matches nothing.
std::optional<std::uint32_t> ChooseWindow(const std::vector<TopLevelWindow>& windows,
                                          const std::string& title);

// Whether a process runs from the program file (its /proc/<pid>/exe is that
// file, after symbolic links). A bare name is looked up on the search path.
bool ProgramRunning(const std::string& programFile,
                    const std::filesystem::path& procRoot = "/proc");

class QtDesktop : public Desktop {
 public:
  [[nodiscard]] std::string CurrentFolder() const override;
  bool SetCurrentFolder(const std::string& folder) override;
  [[nodiscard]] bool FileExists(const std::string& path) const override;
  bool ActivateWindow(const std::string& title, const std::string& programFile) override;
  std::optional<std::string> StartProgram(const std::string& programFile,
                                          const std::string& workingFolder) override;
  void EndProgram() override;
};

}  // namespace vantorel::app
