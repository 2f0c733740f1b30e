// libFuzzer target for the settings file: the input is a Catmux.ini as it
// stands in the program's folder (a real file in a temporary folder), read as
// the window reads it and saved as the window saves it.
//
// Traps: a file no larger than the limit not read, or one larger read; more
// lines taken than the file has; a save refused over a file that was read; a
// file not read whole that is written over without its backup holding it
// byte for byte; the saved file not read back complete, without a warning of
// its own, as the same settings and the same unknown lines; a second save of
// what was read back from a complete file writing other bytes.
#include <stdlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "fuzz_check.h"
#include "settings/settings_file.h"

namespace {

namespace fs = std::filesystem;
using vantorel::settings::Settings;
using vantorel::settings::SettingsFile;
using vantorel::settings::SettingsLoad;

// The program's folder: one temporary folder for the whole run, emptied after
// each input and removed at the end; in memory where the system has a place
// for that, as every save waits for its file to reach the disk.
class Folder {
 public:
  Folder() {
    std::error_code ec;
    const fs::path base = fs::is_directory("/dev/shm", ec) ? "/dev/shm" : fs::temp_directory_path();
    std::string pattern = (base / "vantorel-fuzz-XXXXXX").string();
    FUZZ_REQUIRE(::mkdtemp(pattern.data()) != nullptr);
    path_ = pattern;
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  [[nodiscard]] const fs::path& Path() const { return path_; }
  void Empty() const {
    for (const auto& entry : fs::directory_iterator(path_)) {
      fs::remove(entry.path());
    }
  }

 private:
  fs::path path_;
};

std::string ReadAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Folder folder;
  const std::string original(reinterpret_cast<const char*>(data), size);
  const fs::path path = folder.Path() / vantorel::settings::kSettingsFileName;
  std::ofstream(path, std::ios::binary) << original;

  SettingsFile file(folder.Path());
  Settings read;
  const auto first = file.Load(read);
  FUZZ_REQUIRE((first.outcome == SettingsLoad::Unreadable) ==
               (size > vantorel::settings::kSettingsFileLimit));
  FUZZ_REQUIRE(first.linesRead <= vantorel::settings::kSettingsLineCount + 2);
  FUZZ_REQUIRE((first.outcome == SettingsLoad::Complete) ==
               (first.linesRead >= vantorel::settings::kSettingsLineCount && first.reason.empty()));
  const bool problem = file.LoadProblem().has_value();
  FUZZ_REQUIRE(problem == (first.outcome != SettingsLoad::Complete));
  if (first.outcome == SettingsLoad::Unreadable) {
    FUZZ_REQUIRE(file.Save(read).has_value());  // never written over
    FUZZ_REQUIRE(ReadAll(path) == original);
    folder.Empty();
    return 0;
  }
  FUZZ_REQUIRE(!file.Save(read).has_value());
  const fs::path backup = path.string() + vantorel::settings::kBackupSuffix;
  FUZZ_REQUIRE(fs::exists(backup) == problem);
  FUZZ_REQUIRE(!problem || ReadAll(backup) == original);

  // What was saved reads back whole as what was read: KenwoodCB follows the
  // mode once a file is complete, and a warning comes back only for a model
  // name kept as it was.
  const std::string saved = ReadAll(path);
  SettingsFile again(folder.Path());
  Settings reread;
  const auto second = again.Load(reread);
  FUZZ_REQUIRE(second.outcome == SettingsLoad::Complete);
  FUZZ_REQUIRE(second.unknownLines == first.unknownLines);
  for (const std::string& warning : second.warnings) {
    FUZZ_REQUIRE(std::find(first.warnings.begin(), first.warnings.end(), warning) !=
                 first.warnings.end());
  }
  Settings expected = read;
  expected.kenwoodCB = vantorel::settings::KenwoodCBFor(read.ignore2, read.check2);
  FUZZ_REQUIRE(reread == expected);
  // Saved again, it is the same file; from a file not read whole, line 12
  // (KenwoodCB) may now follow the mode, as only a complete file sets it.
  FUZZ_REQUIRE(!again.Save(reread).has_value());
  FUZZ_REQUIRE(ReadAll(path) == saved || first.outcome != SettingsLoad::Complete);
  folder.Empty();
  return 0;
}
