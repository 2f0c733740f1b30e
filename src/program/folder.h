// The folder a program keeps its files in (Catmux.ini, TEST.TXT, the capture
// files). `--folder DIR` works as if the program had been started in DIR: the
// folder is made when missing and becomes the current folder, so the window's
// folder display and a companion program's relative path mean the same as
// before.
//
// Threading: the program's one thread, at start.
#pragma once

#include <filesystem>
#include <optional>

namespace vantorel::program {

// The folder to use, absolute: `asked` made (with its parents) when missing
// and made the current folder, or the current folder when nothing was asked.
// Nothing, after a critical log line saying why, when it cannot be used.
std::optional<std::filesystem::path> UseFolder(const std::optional<std::filesystem::path>& asked);

}  // namespace vantorel::program
