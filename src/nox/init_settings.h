// vantorel-nox --init: a complete Catmux.ini written from the command line, for
// a computer without a screen. The file holds what a first run of the window
// offers (settings::OfferFirstRun: App 1 on a virtual port, the simulated
// radio at 9600,N,8,1, no companion program), with the values given on the
// command line in their lines. The radio's line is judged as Start judges it
// before anything is written, and an existing file (or anything else at its
// path) is left as it is unless the caller forces the write.
//
// Threading: the program's one thread, before any event loop.
#pragma once

#include <filesystem>
#include <string>

#include "program/command_line.h"
#include "settings/settings.h"

namespace vantorel::nox {

// The settings --init writes for these values; throws station::SerialError
// when the radio's line cannot be used.
[[nodiscard]] settings::Settings InitialSettings(const program::InitValues& values);

// Writes the file into `folder`. Returns the program's exit status: 0
// written, 1 not written (a file is there, or it could not be written),
// program::kUsageStatus for values that cannot be used. `report` says which,
// naming the file.
int WriteInitialSettings(const std::filesystem::path& folder, const program::InitValues& values,
                         std::string& report);

}  // namespace vantorel::nox
