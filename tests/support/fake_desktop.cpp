#include "fake_desktop.h"

namespace vantorel::testing {

bool FakeDesktop::SetCurrentFolder(const std::string& to) {
  folderChanges.push_back(to);
  if (to.empty() || missingFolders.contains(to)) {
    return false;
  }
  folder = to;
  return true;
}

bool FakeDesktop::ActivateWindow(const std::string& title, const std::string& programFile) {
  activations.push_back({title, programFile, folder});
  for (const std::string& window : windowTitles) {
    if (!title.empty() && window.starts_with(title)) {
      return true;
    }
  }
  return false;
}

std::optional<std::string> FakeDesktop::StartProgram(const std::string& programFile,
                                                     const std::string& workingFolder) {
  starts.push_back({programFile, workingFolder, folder});
  return startFailure;
}

}  // namespace vantorel::testing
