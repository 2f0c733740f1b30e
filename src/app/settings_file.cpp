#include "app/settings_file.h"

#include <array>
#include <cerrno>
#include <fstream>
#include <system_error>
#include <variant>

#include "cat/text_helpers.h"

namespace vantorel::app {

namespace {

using model::CatmuxModel;

// Which option button of the Option1 group a truth line holds.
struct OptionLine {
  std::size_t index;
};

using Target = std::variant<model::ComboBox CatmuxModel::*, model::TextBox CatmuxModel::*,
                            model::CheckBox CatmuxModel::*, OptionLine>;

struct LineRule {
  Target target;
  bool appliedOnRead;
};

constexpr bool kApplied = true;
constexpr bool kIgnored = false;

// The file's layout, line 1 first. Both program paths are written twice; on
// reading the second copy wins.
const std::array<LineRule, kSettingsLineCount> kLines{{
    {&CatmuxModel::Soft1Com, kApplied},    // 1
    {&CatmuxModel::Soft2Com, kIgnored},    // 2
    {&CatmuxModel::RadioCom, kApplied},    // 3
    {&CatmuxModel::Baud, kApplied},        // 4
    {&CatmuxModel::DataBits, kApplied},    // 5
    {&CatmuxModel::Parity, kApplied},      // 6
    {&CatmuxModel::StopBits, kApplied},    // 7
    {&CatmuxModel::Ignore1, kApplied},     // 8
    {&CatmuxModel::Ignore1Out, kApplied},  // 9
    {&CatmuxModel::Ignore2, kIgnored},     // 10
    {&CatmuxModel::Ignore2Out, kIgnored},  // 11
    {&CatmuxModel::KenwoodCB, kIgnored},   // 12
    {&CatmuxModel::App1Name, kApplied},    // 13
    {&CatmuxModel::App2Name, kApplied},    // 14
    {&CatmuxModel::PWROn, kApplied},       // 15
    {&CatmuxModel::Check2, kApplied},      // 16
    {&CatmuxModel::MonitorTX, kApplied},   // 17
    {&CatmuxModel::ShutDwn, kApplied},     // 18
    {&CatmuxModel::App1Name, kApplied},    // 19
    {&CatmuxModel::App2Name, kApplied},    // 20
    {OptionLine{0}, kApplied},             // 21
    {OptionLine{1}, kApplied},             // 22
    {&CatmuxModel::Text7, kApplied},       // 23
}};

template <class... Fs>
struct Overloaded : Fs... {
  using Fs::operator()...;
};

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

std::string LineFor(const CatmuxModel& model, const LineRule& rule) {
  return std::visit(
      Overloaded{
          // Combo and text boxes.
          [&](auto CatmuxModel::*box) { return OneLine((model.*box).Text()); },
          [&](model::CheckBox CatmuxModel::*box) {
            return " " + std::to_string((model.*box).Value()) + " ";
          },
          [&](OptionLine option) {
            return std::string(model.Option1[option.index].Value() ? "True" : "False");
          },
      },
      rule.target);
}

// False when the control refuses the line.
bool Apply(CatmuxModel& model, const LineRule& rule, const std::string& line) {
  return std::visit(Overloaded{
                        // Combo and text boxes: any text is accepted.
                        [&](auto CatmuxModel::*box) {
                          (model.*box).SetText(line);
                          return true;
                        },
                        [&](model::CheckBox CatmuxModel::*box) {
                          const auto value = cat::ToInt16(cat::LeadingNumber(line));
                          if (!value) {
                            return false;
                          }
                          try {
                            (model.*box).SetValue(*value);
                          } catch (const model::InvalidPropertyValue&) {
                            return false;
                          }
                          return true;
                        },
                        [&](OptionLine option) {
                          model.Option1[option.index].SetValue(line == "True");
                          return true;
                        },
                    },
                    rule.target);
}

std::string ErrnoText(int error, const char* fallback) {
  return error != 0 ? std::generic_category().message(error) : std::string(fallback);
}

}  // namespace

SettingsLoadResult LoadSettings(CatmuxModel& model, const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    return {SettingsLoad::NoFile, 0, {}};
  }
  errno = 0;
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    return {SettingsLoad::Unreadable, 0, ErrnoText(errno, "cannot be opened")};
  }
  int read = 0;
  for (const LineRule& rule : kLines) {
    std::string line;
    if (!std::getline(in, line)) {
      return {SettingsLoad::Incomplete, read, {}};
    }
    ++read;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (rule.appliedOnRead && !Apply(model, rule, line)) {
      return {SettingsLoad::Refused, read, {}};
    }
  }
  // Cutting the radio's text at ";" suits the Kenwood answers the translation
  // expects; with App 2 sharing the port or no translation, text passes whole.
  model.KenwoodCB.SetValue(model.Ignore2.Value() == 1 && model.Check2.Value() == 0 ? 1 : 0);
  return {SettingsLoad::Complete, read, {}};
}

std::vector<std::string> SettingsLines(const CatmuxModel& model) {
  std::vector<std::string> lines;
  lines.reserve(kLines.size());
  for (const LineRule& rule : kLines) {
    lines.push_back(LineFor(model, rule));
  }
  return lines;
}

std::optional<std::string> SaveSettings(const CatmuxModel& model,
                                        const std::filesystem::path& file) {
  errno = 0;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) {
    return ErrnoText(errno, "cannot be created");
  }
  for (const std::string& line : SettingsLines(model)) {
    out << line << "\r\n";
  }
  out.close();
  if (!out) {
    return ErrnoText(errno, "write error");
  }
  return std::nullopt;
}

}  // namespace vantorel::app
