#include "temp_folder.h"

#include <unistd.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace vantorel::testing {

TempFolder::TempFolder() : previous_(std::filesystem::current_path()) {
  std::string pattern = (std::filesystem::temp_directory_path() / "vantorel-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("no temporary folder");
  }
  path_ = pattern;
  std::filesystem::current_path(path_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::current_path(previous_, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

std::string Lines(const std::vector<std::string>& lines, const std::string& ending) {
  std::string text;
  for (const std::string& line : lines) {
    text += line + ending;
  }
  return text;
}

}  // namespace vantorel::testing
