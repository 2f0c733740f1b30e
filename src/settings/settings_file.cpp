#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <system_error>
#include <variant>

#include "cat/text_helpers.h"

namespace vantorel::settings {

namespace {

// Which of the two program choices a truth line holds.
struct Choice {
  bool Settings::*chosen;
  bool Settings::*other;
};

using Target = std::variant<std::string Settings::*, Check Settings::*, Choice>;

struct LineRule {
  Target target;
  bool takenOnRead;
};

constexpr bool kTaken = true;
constexpr bool kIgnored = false;

// The file's layout, line 1 first. Both program paths are written twice; on
// reading the second copy wins.
const std::array<LineRule, kSettingsLineCount + 1> kLines{{
    {&Settings::soft1Com, kTaken},                             // 1
    {&Settings::soft2Com, kTaken},                             // 2
    {&Settings::radioCom, kTaken},                             // 3
    {&Settings::baud, kTaken},                                 // 4
    {&Settings::dataBits, kTaken},                             // 5
    {&Settings::parity, kTaken},                               // 6
    {&Settings::stopBits, kTaken},                             // 7
    {&Settings::ignore1, kTaken},                              // 8
    {&Settings::ignore1Out, kTaken},                           // 9
    {&Settings::ignore2, kTaken},                              // 10
    {&Settings::ignore2Out, kTaken},                           // 11
    {&Settings::kenwoodCB, kIgnored},                          // 12
    {&Settings::app1Name, kTaken},                             // 13
    {&Settings::app2Name, kTaken},                             // 14
    {&Settings::pwrOn, kTaken},                                // 15
    {&Settings::check2, kTaken},                               // 16
    {&Settings::monitorTX, kTaken},                            // 17
    {&Settings::shutDwn, kTaken},                              // 18
    {&Settings::app1Name, kTaken},                             // 19
    {&Settings::app2Name, kTaken},                             // 20
    {Choice{&Settings::useApp1, &Settings::useApp2}, kTaken},  // 21
    {Choice{&Settings::useApp2, &Settings::useApp1}, kTaken},  // 22
    {&Settings::text7, kTaken},                                // 23
    {Choice{&Settings::ft950Emulation, nullptr}, kTaken},      // 24
}};

template <class... Fs>
struct Overloaded : Fs... {
  using Fs::operator()...;
};
template <class... Fs>
Overloaded(Fs...) -> Overloaded<Fs...>;

// A line break inside a text would shift every later line of the file by
// one and spoil the next load; the boxes are single-line, so a blank stands
// in for it.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') {
      c = ' ';
    }
  }
  return text;
}

std::string LineFor(const Settings& settings, const LineRule& rule) {
  return std::visit(
      Overloaded{
          [&](std::string Settings::*text) { return OneLine(settings.*text); },
          [&](Check Settings::*value) {
            return " " + std::to_string(NumberOf(settings.*value)) + " ";
          },
          [&](Choice choice) { return std::string(settings.*choice.chosen ? "True" : "False"); },
      },
      rule.target);
}

// False when the line is refused.
bool Take(Settings& settings, const LineRule& rule, const std::string& line) {
  return std::visit(Overloaded{
                        [&](std::string Settings::*text) {
                          settings.*text = line;
                          return true;
                        },
                        [&](Check Settings::*value) {
                          const auto number = cat::ToInt16(cat::LeadingNumber(line));
                          const auto check = number ? CheckFromNumber(*number) : std::nullopt;
                          if (!check) {
                            return false;
                          }
                          settings.*value = *check;
                          return true;
                        },
                        [&](Choice choice) {
                          // Choosing one program lets go of the other.
                          settings.*choice.chosen = line == "True";
                          if (settings.*choice.chosen && choice.other != nullptr) {
                            settings.*choice.other = false;
                          }
                          return true;
                        },
                    },
                    rule.target);
}

// The file's lines; CR LF, LF and CR all end one.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      continue;
    }
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
    }
    start = i + 1;
  }
  if (start < text.size()) {
    lines.push_back(text.substr(start));
  }
  return lines;
}

std::string ErrnoText(int error) { return std::generic_category().message(error); }

// Writes all of `text`, or says why not.
std::optional<std::string> WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
    if (written < 0) {
      if (errno == EINTR) {
        continue;
      }
      return ErrnoText(errno);
    }
    done += static_cast<std::size_t>(written);
  }
  if (::fsync(fd) != 0) {
    return ErrnoText(errno);
  }
  return std::nullopt;
}

// The mode a file created now gets: the old file's, or what the user's umask allows.
mode_t NewFileMode(const std::filesystem::path& file) {
  struct stat old {};
  if (::stat(file.c_str(), &old) == 0) {
    return old.st_mode & 07777;
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

SettingsLoadResult LoadSettings(const std::filesystem::path& file, Settings& settings) {
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) {
    return {SettingsLoad::NoFile, 0, {}};
  }
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in && !in.eof()) {
    return {SettingsLoad::Unreadable, 0, errno != 0 ? ErrnoText(errno) : "cannot be read"};
  }
  if (!std::filesystem::is_regular_file(file, ec)) {
    return {SettingsLoad::Unreadable, 0, "not a file"};
  }
  const std::vector<std::string> lines = SplitLines(text);
  int read = 0;
  for (const LineRule& rule : kLines) {
    if (static_cast<std::size_t>(read) == lines.size()) {
      // The added last line may be missing: the file is whole without it.
      return {
          read >= kSettingsLineCount ? SettingsLoad::Complete : SettingsLoad::Incomplete, read, {}};
    }
    const std::string& line = lines[static_cast<std::size_t>(read)];
    ++read;
    if (rule.takenOnRead && !Take(settings, rule, line)) {
      return {SettingsLoad::Refused, read, {}};
    }
    if (read == kSettingsLineCount) {
      // Cutting the radio's text at ";" suits the Kenwood answers the
      // translation expects; with App 2 sharing the port or no translation,
      // text passes whole.
      settings.kenwoodCB = KenwoodCBFor(settings.ignore2, settings.check2);
    }
  }
  return {SettingsLoad::Complete, read, {}};
}

std::vector<std::string> SettingsLines(const Settings& settings) {
  std::vector<std::string> lines;
  lines.reserve(kLines.size());
  for (const LineRule& rule : kLines) {
    lines.push_back(LineFor(settings, rule));
  }
  return lines;
}

std::optional<std::string> SaveSettings(const Settings& settings,
                                        const std::filesystem::path& file) {
  std::string text;
  for (const std::string& line : SettingsLines(settings)) {
    text.append(line).append("\r\n");
  }
  std::string temporary = file.string() + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    return ErrnoText(errno);
  }
  std::optional<std::string> problem;
  if (::fchmod(fd, NewFileMode(file)) != 0) {
    problem = ErrnoText(errno);
  }
  if (!problem) {
    problem = WriteAll(fd, text);
  }
  if (::close(fd) != 0 && !problem) {
    problem = ErrnoText(errno);
  }
  if (!problem && std::rename(temporary.c_str(), file.c_str()) != 0) {
    problem = ErrnoText(errno);
  }
  if (problem) {
    ::unlink(temporary.c_str());
  }
  return problem;
}

SettingsLoadResult SettingsFile::Load(Settings& settings) {
  loaded_ = LoadSettings(path_, settings);
  backupDue_ = loaded_.outcome == SettingsLoad::Unreadable ||
               loaded_.outcome == SettingsLoad::Refused ||
               loaded_.outcome == SettingsLoad::Incomplete;
  return loaded_;
}

std::optional<std::string> SettingsFile::LoadFault() const {
  switch (loaded_.outcome) {
    case SettingsLoad::Unreadable:
      return path_.string() + " could not be read: " + loaded_.reason;
    case SettingsLoad::Refused:
      return path_.string() + ": line " + std::to_string(loaded_.linesRead) + " is not 0, 1 or 2";
    case SettingsLoad::Incomplete:
      return path_.string() + " has only " + std::to_string(loaded_.linesRead) + " of its " +
             std::to_string(kSettingsLineCount) + " lines";
    case SettingsLoad::NoFile:
    case SettingsLoad::Complete:
      break;
  }
  return std::nullopt;
}

std::optional<std::string> SettingsFile::LoadProblem() const {
  std::optional<std::string> fault = LoadFault();
  if (!fault) {
    return std::nullopt;
  }
  if (loaded_.outcome == SettingsLoad::Refused) {
    *fault += ", and reading stopped there";
  }
  return *fault + "; it is kept as " + path_.filename().string() + kBackupSuffix +
         " when the settings are saved.";
}

std::optional<std::string> SettingsFile::Save(const Settings& settings) {
  if (backupDue_) {
    std::error_code ec;
    std::filesystem::path backup = path_;
    backup += kBackupSuffix;
    if (std::filesystem::exists(path_, ec) &&
        !std::filesystem::copy_file(path_, backup,
                                    std::filesystem::copy_options::overwrite_existing, ec)) {
      // Never write over what could not be kept.
      return "the old file could not be kept as " + backup.string() + ": " + ec.message();
    }
    backupDue_ = false;
  }
  return SaveSettings(settings, path_);
}

}  // namespace vantorel::settings
