#include "settings/apps_file.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "settings/settings_file.h"

namespace vantorel::settings {
namespace {

using station::AppDialect;
using station::ApplicationSetup;

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return {};
  }
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// One section as it is read, before it is judged.
struct Section {
  std::string name;
  int line = 0;
  std::optional<std::string> port;
  std::optional<std::string> dialect;
  std::string fault;  // the first thing wrong inside it
};

// What is wrong with a section as a whole; "" when it can be used.
std::string Judge(Section& section, ApplicationSetup& app) {
  if (!section.fault.empty()) {
    return section.fault;
  }
  if (!section.port || section.port->empty()) {
    return "it names no Port";
  }
  app.name = section.name;
  app.port = *section.port;
  if (app.port.starts_with(station::kRigctldPrefix)) {
    app.dialect = AppDialect::Rigctld;
    return section.dialect ? "a rigctld: port takes no Dialect" : "";
  }
  if (!section.dialect) {
    return "it names no Dialect (kenwood or ft950)";
  }
  for (const AppDialect dialect : {AppDialect::Kenwood, AppDialect::Ft950}) {
    if (SameWord(*section.dialect, station::DialectWord(dialect))) {
      app.dialect = dialect;
      return "";
    }
  }
  return "Dialect \"" + *section.dialect + "\" is neither kenwood nor ft950";
}

void Close(std::optional<Section>& section, AppsRead& read) {
  if (!section) {
    return;
  }
  ApplicationSetup app;
  std::string fault = Judge(*section, app);
  const bool taken = std::ranges::any_of(
      read.apps, [&](const ApplicationSetup& other) { return SameWord(other.name, app.name); });
  if (fault.empty() && taken) {
    fault = "another section has that name";
  }
  if (fault.empty() && read.apps.size() >= station::kMostApplications) {
    fault = "more than " + std::to_string(station::kMostApplications) + " applications";
  }
  if (fault.empty()) {
    read.apps.push_back(std::move(app));
  } else {
    read.faults.push_back(std::string(kAppsFileName) + " line " + std::to_string(section->line) +
                          ": [" + section->name + "]: " + fault + "; skipped");
  }
  section.reset();
}

}  // namespace

bool SameWord(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return std::ranges::equal(a, b, [&](char x, char y) { return lower(x) == lower(y); });
}

AppsRead ParseApps(std::string_view text) {
  AppsRead read;
  std::optional<Section> section;
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view raw = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (raw.ends_with('\r')) {
      raw.remove_suffix(1);  // CR LF ends a line as LF does
    }
    ++number;
    const std::string_view line = Trimmed(raw);
    if (line.empty() || line.front() == ';' || line.front() == '#') {
      continue;
    }
    if (line.front() == '[') {
      Close(section, read);
      section.emplace();
      section->name = std::string(Trimmed(line.substr(1, line.find(']') - 1)));
      section->line = number;
      if (line.back() != ']' || section->name.empty()) {
        section->fault = "a section's name is written [NAME]";
      }
      continue;
    }
    const std::size_t equals = line.find('=');
    const std::string_view key = Trimmed(line.substr(0, equals));
    const std::string value(equals == std::string_view::npos ? ""
                                                             : Trimmed(line.substr(equals + 1)));
    if (!section) {
      read.faults.push_back(std::string(kAppsFileName) + " line " + std::to_string(number) +
                            ": \"" + std::string(key) + "\" stands before any [section]; skipped");
      continue;
    }
    std::optional<std::string>* field = SameWord(key, "Port")      ? &section->port
                                        : SameWord(key, "Dialect") ? &section->dialect
                                                                   : nullptr;
    if (section->fault.empty() && (equals == std::string_view::npos || field == nullptr)) {
      section->fault = "line " + std::to_string(number) + " is neither Port= nor Dialect=";
    } else if (field != nullptr) {
      *field = value;
    }
  }
  Close(section, read);
  return read;
}

std::string AppsText(const std::vector<ApplicationSetup>& apps) {
  std::string text;
  for (const ApplicationSetup& app : apps) {
    text += "[" + app.name + "]\r\nPort=" + app.port + "\r\n";
    if (app.dialect != AppDialect::Rigctld) {
      text += "Dialect=" + std::string(station::DialectWord(app.dialect)) + "\r\n";
    }
  }
  return text;
}

AppsRead LoadApps(const std::filesystem::path& folder) {
  const SettingsText file = ReadSettingsText(folder / kAppsFileName);
  if (!file.text) {
    AppsRead read;
    if (file.exists) {
      read.faults.push_back(std::string(kAppsFileName) + " cannot be read: " + file.reason);
    }
    return read;
  }
  return ParseApps(*file.text);
}

std::optional<std::string> SaveApps(const std::filesystem::path& folder,
                                    const std::vector<ApplicationSetup>& apps) {
  return WriteTextFile(folder / kAppsFileName, AppsText(apps));
}

}  // namespace vantorel::settings
