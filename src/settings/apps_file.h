// "Apps.ini", beside Catmux.ini: the station programs beyond App 1 and App 2.
// One section per application, in file order; the section's name is the name
// shown and logged:
//
//   [WSJT-X]
//   Port=rigctld:4532
//   [Logger]
//   Port=pty:/run/user/1000/vantorel-logger
//   Dialect=kenwood
//
// `Dialect` is "kenwood" or "ft950" for a port, and left out for a
// "rigctld:" server. Lines starting with ';' or '#' are comments. A section
// that cannot be used is reported with its name and line and skipped; the
// others are taken, up to kMostApplications. No file means no extra
// applications, and everything works as it does without them.
//
// Threading: the program's one thread. Plain C++, no Qt.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "station/application_setup.h"

namespace vantorel::settings {

inline constexpr const char* kAppsFileName = "Apps.ini";

struct AppsRead {
  std::vector<station::ApplicationSetup> apps;
  // One line per section skipped, or the file refused: "Apps.ini line 4: [Logger]: ...".
  std::vector<std::string> faults;
};

AppsRead ParseApps(std::string_view text);
// Whether two names or words are the same, ASCII letters in either case (as
// the file's keys, dialects and section names are compared).
bool SameWord(std::string_view a, std::string_view b);
// The file's text for these applications (CR LF line ends).
std::string AppsText(const std::vector<station::ApplicationSetup>& apps);

// The file in `folder`; none there reads as no applications.
AppsRead LoadApps(const std::filesystem::path& folder);
// Nothing on success, else why the file could not be written.
std::optional<std::string> SaveApps(const std::filesystem::path& folder,
                                    const std::vector<station::ApplicationSetup>& apps);

}  // namespace vantorel::settings
