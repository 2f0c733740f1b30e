// A desktop the test controls: which files exist, which windows are open, and
// whether a program start fails. It records every folder change, activation
// and start with the current folder at that moment.
#pragma once

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/desktop.h"

namespace vantorel::testing {

class FakeDesktop : public app::Desktop {
 public:
  [[nodiscard]] std::string CurrentFolder() const override { return folder; }
  bool SetCurrentFolder(const std::string& to) override {
    folderChanges.push_back(to);
    if (to.empty() || missingFolders.contains(to)) {
      return false;
    }
    folder = to;
    return true;
  }
  [[nodiscard]] bool FileExists(const std::string& path) const override {
    return files.contains(path);
  }
  // Succeeds for a window title equal to `title` or beginning with it.
  bool ActivateWindow(const std::string& title, const std::string& programFile) override {
    activations.push_back({title, programFile, folder});
    return !title.empty() && std::ranges::any_of(windowTitles, [&](const std::string& window) {
      return window.starts_with(title);
    });
  }
  std::optional<std::string> StartProgram(const std::string& programFile,
                                          const std::string& workingFolder) override {
    starts.push_back({programFile, workingFolder, folder});
    return startFailure;
  }
  void EndProgram() override { ++endCalls; }

  // --- scripting ---
  std::string folder = "/home/op/station";
  std::set<std::string> files;
  std::set<std::string> missingFolders;  // folder changes to these fail
  std::vector<std::string> windowTitles;
  std::optional<std::string> startFailure;

  // --- record ---
  struct Activation {
    std::string title;
    std::string programFile;
    std::string folder;  // the current folder during the call
  };
  struct Start {
    std::string programFile;
    std::string workingFolder;
    std::string folder;
  };
  std::vector<std::string> folderChanges;
  std::vector<Activation> activations;
  std::vector<Start> starts;
  int endCalls = 0;
};

}  // namespace vantorel::testing
