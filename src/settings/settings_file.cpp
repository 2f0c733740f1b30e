#include "settings/settings_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>
#include <variant>

#include "cat/radio_dialect.h"
#include "cat/text_helpers.h"
#include "common/descriptor.h"

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
const std::array<LineRule, kSettingsLineCount + 2> kLines{{
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
    {&Settings::radioModel, kTaken},                           // 25
}};
constexpr int kRadioModelLine = 25;

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

// The file's first `most` lines (CR LF, LF and CR all end one), and in `rest`
// the text after them as it stands.
std::vector<std::string> SplitLines(const std::string& text, std::size_t most, std::string& rest) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size() && lines.size() < most; ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      continue;
    }
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      ++i;
    }
    start = i + 1;
  }
  if (start < text.size() && lines.size() < most) {
    lines.push_back(text.substr(start));
    start = text.size();
  }
  rest = text.substr(std::min(start, text.size()));
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

// Why something that is not a regular file is not read or written over.
std::string NotAFile(mode_t mode) {
  if (S_ISDIR(mode)) {
    return ErrnoText(EISDIR);
  }
  if (S_ISFIFO(mode)) {
    return "Is a FIFO, not a file";
  }
  if (S_ISCHR(mode) || S_ISBLK(mode)) {
    return "Is a device, not a file";
  }
  return "Is not a regular file";
}

// Where a save goes: the file a symbolic link at `file` (or a chain of them)
// points to, so the link stays; `file` itself when it is no link.
std::filesystem::path SaveTarget(const std::filesystem::path& file) {
  constexpr int kMostLinks = 40;  // as the system follows them
  std::filesystem::path target = file;
  std::error_code ec;
  for (int hop = 0; hop < kMostLinks && std::filesystem::is_symlink(target, ec); ++hop) {
    const std::filesystem::path next = std::filesystem::read_symlink(target, ec);
    if (ec) {
      break;
    }
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

// Gives the new file the old one's owner, group and mode. The owner and group
// only where the process may set them: a user keeps at least the group when it
// is one of theirs; root keeps both, so a run by root does not take the file
// away from the service's user.
std::optional<std::string> TakeOver(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
    [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  }
  if (::fchmod(fd, old.st_mode & 07777) != 0) {
    return ErrnoText(errno);
  }
  return std::nullopt;
}

// A file made now gets what the user's umask allows.
std::optional<std::string> NewFileMode(int fd) {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0) {
    return ErrnoText(errno);
  }
  return std::nullopt;
}

// What a truth line holds when it is neither word, for the warning.
std::string Quoted(const std::string& line) {
  constexpr std::size_t kShown = 40;
  return "\"" + (line.size() > kShown ? line.substr(0, kShown) + "..." : line) + "\"";
}

}  // namespace

SettingsText ReadSettingsText(const std::filesystem::path& file) {
  // Looked at before it is opened: opening a FIFO would wait for a writer,
  // and opening a device may do something of its own.
  struct stat found {};
  if (::stat(file.c_str(), &found) != 0) {
    const int error = errno;
    if (error == ENOENT) {
      std::error_code ec;
      return {std::filesystem::is_symlink(file, ec), std::nullopt, {}};
    }
    return {true, std::nullopt, ErrnoText(error)};
  }
  if (!S_ISREG(found.st_mode)) {
    return {true, std::nullopt, NotAFile(found.st_mode)};
  }
  const Descriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.Get() < 0) {
    return {true, std::nullopt, ErrnoText(errno)};
  }
  // What was opened may have taken the file's place since the look.
  if (::fstat(fd.Get(), &found) != 0 || !S_ISREG(found.st_mode)) {
    return {true, std::nullopt, NotAFile(found.st_mode)};
  }
  std::string text;
  std::array<char, 4096> buffer{};
  while (text.size() <= kSettingsFileLimit) {
    const ssize_t got = ::read(fd.Get(), buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      return {true, std::nullopt, ErrnoText(errno)};
    }
    if (got == 0) {
      return {true, std::move(text), {}};
    }
    text.append(buffer.data(), static_cast<std::size_t>(got));
  }
  return {true, std::nullopt,
          "Is larger than " + std::to_string(kSettingsFileLimit) + " bytes, no settings file"};
}

SettingsLoadResult LoadSettings(const std::filesystem::path& file, Settings& settings) {
  SettingsText read = ReadSettingsText(file);
  SettingsLoadResult result;
  if (!read.text) {
    // A link to nothing is no file either: a save makes the file it points to.
    result.outcome = read.reason.empty() ? SettingsLoad::NoFile : SettingsLoad::Unreadable;
    result.reason = std::move(read.reason);
    return result;
  }
  result.outcome = SettingsLoad::Complete;
  std::string rest;
  const std::vector<std::string> lines = SplitLines(*read.text, kLines.size(), rest);
  // A file from before the model line leaves the radio to be learned.
  settings.radioModel = kAutoRadioModel;
  for (const LineRule& rule : kLines) {
    if (static_cast<std::size_t>(result.linesRead) == lines.size()) {
      // The added last lines may be missing: the file is whole without them.
      if (result.linesRead < kSettingsLineCount) {
        result.outcome = SettingsLoad::Incomplete;
      }
      return result;
    }
    const std::string& line = lines[static_cast<std::size_t>(result.linesRead)];
    ++result.linesRead;
    if (rule.takenOnRead && !Take(settings, rule, line)) {
      result.outcome = SettingsLoad::Refused;
      return result;
    }
    // Only "True" chooses; a near miss is taken as "False", and the user is told.
    if (std::holds_alternative<Choice>(rule.target) && line != "True" && line != "False") {
      result.warnings.push_back("line " + std::to_string(result.linesRead) + " is " + Quoted(line) +
                                ", neither True nor False: taken as False");
    }
    if (result.linesRead == kRadioModelLine && line != kAutoRadioModel &&
        cat::FindRadioDialect(line) == nullptr) {
      result.warnings.push_back("line 25 is " + Quoted(line) +
                                ", no Kenwood model this program knows: the radio is learned as "
                                "with \"auto\"");
    }
    if (result.linesRead == kSettingsLineCount) {
      // Cutting the radio's text at ";" suits the Kenwood answers the
      // translation expects; with App 2 sharing the port or no translation,
      // text passes whole.
      settings.kenwoodCB = KenwoodCBFor(settings.ignore2, settings.check2);
    }
  }
  result.unknownLines = std::move(rest);
  return result;
}

std::vector<std::string> SettingsLines(const Settings& settings) {
  std::vector<std::string> lines;
  lines.reserve(kLines.size());
  for (const LineRule& rule : kLines) {
    lines.push_back(LineFor(settings, rule));
  }
  return lines;
}

std::optional<std::string> SaveSettings(const Settings& settings, const std::filesystem::path& file,
                                        std::string_view unknownLines) {
  std::string text;
  for (const std::string& line : SettingsLines(settings)) {
    text.append(line).append("\r\n");
  }
  text.append(unknownLines);
  return WriteTextFile(file, text);
}

std::optional<std::string> WriteTextFile(const std::filesystem::path& file,
                                         const std::string& text) {
  const std::filesystem::path target = SaveTarget(file);
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (!replacing && errno != ENOENT) {
    return ErrnoText(errno);
  }
  if (replacing && !S_ISREG(old.st_mode)) {
    return NotAFile(old.st_mode);
  }
  std::string temporary = target.string() + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) {
    return ErrnoText(errno);
  }
  std::optional<std::string> problem = replacing ? TakeOver(fd, old) : NewFileMode(fd);
  if (!problem) {
    problem = WriteAll(fd, text);
  }
  if (::close(fd) != 0 && !problem) {
    problem = ErrnoText(errno);
  }
  if (!problem && std::rename(temporary.c_str(), target.c_str()) != 0) {
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
  if (loaded_.outcome == SettingsLoad::Unreadable) {
    return *fault + "; it is left as it is, and the settings are not saved over it.";
  }
  if (loaded_.outcome == SettingsLoad::Refused) {
    *fault += ", and reading stopped there";
  }
  return *fault + "; it is kept as " + NextBackup().filename().string() +
         " when the settings are saved.";
}

std::vector<std::string> SettingsFile::LoadWarnings() const {
  std::vector<std::string> warnings;
  for (const std::string& warning : loaded_.warnings) {
    warnings.push_back(path_.string() + ": " + warning);
  }
  return warnings;
}

std::filesystem::path SettingsFile::NextBackup() const {
  std::filesystem::path backup = path_;
  backup += kBackupSuffix;
  std::error_code ec;
  for (int number = 2; std::filesystem::exists(std::filesystem::symlink_status(backup, ec));
       ++number) {
    backup = path_;
    backup += kBackupSuffix + ("." + std::to_string(number));
  }
  return backup;
}

std::optional<std::string> SettingsFile::KeepBackup() const {
  const SettingsText old = ReadSettingsText(path_);
  if (!old.text) {
    // Gone since it was read: nothing to keep. Anything else is kept from harm.
    return old.exists ? std::optional("it could not be read again: " + old.reason) : std::nullopt;
  }
  // Made only where nothing is: a backup there from an earlier save stays,
  // also when another program takes the name between the look and the write.
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::filesystem::path backup = NextBackup();
    const int fd =
        ::open(backup.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) {
      continue;
    }
    if (fd < 0) {
      return "it could not be kept as " + backup.string() + ": " + ErrnoText(errno);
    }
    std::optional<std::string> problem = WriteAll(fd, *old.text);
    if (::close(fd) != 0 && !problem) {
      problem = ErrnoText(errno);
    }
    if (problem) {
      ::unlink(backup.c_str());
      return "it could not be kept as " + backup.string() + ": " + *problem;
    }
    return std::nullopt;
  }
  return "it could not be kept: every backup name is taken";
}

std::optional<std::string> SettingsFile::Save(const Settings& settings) {
  if (loaded_.outcome == SettingsLoad::Unreadable) {
    return "it could not be read (" + loaded_.reason + "), so nothing is written over it";
  }
  if (backupDue_) {
    // Never write over what could not be kept.
    if (auto problem = KeepBackup()) {
      return "the old file was not written over: " + *problem;
    }
    backupDue_ = false;
  }
  return SaveSettings(settings, path_, loaded_.unknownLines);
}

}  // namespace vantorel::settings
