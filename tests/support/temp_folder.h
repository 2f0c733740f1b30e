// Real files for the tests: a fresh temporary folder that is the process's
// current folder while it lives, and whole-file reads and writes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vantorel::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

std::string ReadFile(const std::filesystem::path& file);
void WriteFile(const std::filesystem::path& file, const std::string& text);

// Joins lines, each ended by `ending`.
std::string Lines(const std::vector<std::string>& lines, const std::string& ending = "\r\n");

}  // namespace vantorel::testing
