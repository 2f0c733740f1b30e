// Real files for the tests: a fresh temporary folder that is the process's
// current folder while it lives, and whole-file reads and writes.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantorel::testing {

class TempFolder {
 public:
  TempFolder() : previous_(std::filesystem::current_path()) {
    std::string name = (std::filesystem::temp_directory_path() / "vantorel-test-XXXXXX").string();
    if (mkdtemp(name.data()) == nullptr) {
      throw std::runtime_error("no temporary folder");
    }
    path_ = name;
    std::filesystem::current_path(path_);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  [[nodiscard]] const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path previous_;
  std::filesystem::path path_;
};

inline std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

// Joins lines, each ended by `ending`.
inline std::string Lines(const std::vector<std::string>& lines,
                         const std::string& ending = "\r\n") {
  std::string text;
  for (const std::string& line : lines) {
    text += line + ending;
  }
  return text;
}

}  // namespace vantorel::testing
