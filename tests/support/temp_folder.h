// Real files for the tests: a fresh temporary folder that is the process's
// current folder while it lives, whole-file reads and writes, and the text of a
// complete Catmux.ini.
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

// What a test varies in a complete Catmux.ini.
struct StationFile {
  std::string app2{};           // App 2's port, sharing the radio; empty: App 2 out of use
  bool noTranslation = false;   // line 16
  bool saved = false;           // with the lines a program adds on saving: 24th and 25th
  bool ft950Emulation = false;  // the 24th line "True"
};

// The file as the window writes it: App 1 and the radio on these ports, the
// radio's line 38400 8N1, line 12 (the radio's text cut at ";") as it follows
// from App 2 and the translation.
inline std::string StationFileText(const std::string& app1, const std::string& radio,
                                   const StationFile& file = {}) {
  const auto box = [](bool ticked) -> std::string { return ticked ? " 1 " : " 0 "; };
  const bool app2Off = file.app2.empty();
  // clang-format off
  std::vector<std::string> lines{app1, file.app2, radio, "38400", "8", "None", "1",
                                 " 0 ", " 0 ", box(app2Off), box(app2Off),  // Ignore1/1Out, 2/2Out
                                 box(app2Off && !file.noTranslation), "", "",  // KenwoodCB, names
                                 " 1 ", box(file.noTranslation), " 1 ", "180", "", "",
                                 "True", "False", "FT-950"};
  // clang-format on
  if (file.saved || file.ft950Emulation) {
    lines.emplace_back(file.ft950Emulation ? "True" : "False");
    lines.emplace_back("auto");
  }
  return Lines(lines);
}

}  // namespace vantorel::testing
