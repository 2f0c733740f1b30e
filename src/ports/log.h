// The program's log: one QLoggingCategory per part (ports, routing,
// supervision, settings, and the window's own doings), one line per event with
// its severity. Under systemd the lines land in the journal; QT_LOGGING_RULES
// chooses what is shown.
//
// Threading: any; Qt's logging is thread-safe.
#pragma once

#include <QLoggingCategory>
#include <string_view>

#include "station/station_events.h"

namespace vantorel::ports {

Q_DECLARE_LOGGING_CATEGORY(logPorts)
Q_DECLARE_LOGGING_CATEGORY(logRouting)
Q_DECLARE_LOGGING_CATEGORY(logSupervision)
Q_DECLARE_LOGGING_CATEGORY(logSettings)
Q_DECLARE_LOGGING_CATEGORY(logWindow)

enum class Severity { Info, Warning, Critical };

// One line in the category of the part that speaks. Line breaks in the text
// become blanks: one event, one line.
void Log(station::Topic topic, Severity severity, std::string_view text);
// The same in a category of this file (logWindow for the window's own lines).
void Log(const QLoggingCategory& category, Severity severity, std::string_view text);

// Uses the journal's own prefixes ("<4>") instead of Qt's default message
// pattern when the program runs under systemd (JOURNAL_STREAM is set), so
// journalctl shows each line with its severity.
void SetUpLogging();

}  // namespace vantorel::ports
