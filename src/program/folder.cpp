#include "program/folder.h"

#include <string>
#include <system_error>

#include "ports/log.h"

namespace vantorel::program {

std::optional<std::filesystem::path> UseFolder(const std::optional<std::filesystem::path>& asked) {
  std::error_code ec;
  if (asked) {
    std::filesystem::create_directories(*asked, ec);
    if (!ec) {
      std::filesystem::current_path(*asked, ec);
    }
    if (ec) {
      ports::Log(station::Topic::Settings, ports::Severity::Critical,
                 "The folder " + asked->string() + " cannot be used: " + ec.message());
      return std::nullopt;
    }
  }
  std::filesystem::path folder = std::filesystem::current_path(ec);
  if (ec) {
    ports::Log(station::Topic::Settings, ports::Severity::Critical,
               "The current folder cannot be found: " + ec.message());
    return std::nullopt;
  }
  return folder;
}

}  // namespace vantorel::program
