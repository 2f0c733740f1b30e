// libFuzzer target for Apps.ini: the input is the file's text, parsed as the
// window and vantorel-nox parse it.
//
// Traps: more applications than the limit; an application without a name or
// a port, two of the same name (either case), a rigctld: port with another
// dialect or a port of another kind with none; a section neither taken nor
// told; what was taken not read back the same from the text written for it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "settings/apps_file.h"

namespace {

using vantorel::station::AppDialect;
using vantorel::station::ApplicationSetup;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const vantorel::settings::AppsRead read = vantorel::settings::ParseApps(text);
  FUZZ_REQUIRE(read.apps.size() <= vantorel::station::kMostApplications);
  for (std::size_t i = 0; i < read.apps.size(); ++i) {
    const ApplicationSetup& app = read.apps[i];
    FUZZ_REQUIRE(!app.name.empty() && !app.port.empty());
    FUZZ_REQUIRE((app.dialect == AppDialect::Rigctld) ==
                 app.port.starts_with(vantorel::station::kRigctldPrefix));
    for (std::size_t j = 0; j < i; ++j) {
      FUZZ_REQUIRE(!vantorel::settings::SameWord(read.apps[j].name, app.name));
    }
  }
  // Every section is taken or told.
  const auto sections = static_cast<std::size_t>(std::ranges::count_if(
      read.faults, [](const std::string& fault) { return fault.ends_with("; skipped"); }));
  std::size_t opened = 0;
  for (std::size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) {
    const std::size_t start = text.find_first_not_of(" \t", at);
    opened += start < text.size() && text[start] == '[' ? 1 : 0;
    if (text.find('\n', at) == std::string_view::npos) {
      break;
    }
  }
  FUZZ_REQUIRE(read.apps.size() + sections >= opened);
  // Written and read again, the same applications.
  const vantorel::settings::AppsRead again =
      vantorel::settings::ParseApps(vantorel::settings::AppsText(read.apps));
  FUZZ_REQUIRE(again.faults.empty());
  FUZZ_REQUIRE(again.apps == read.apps);
  return 0;
}
