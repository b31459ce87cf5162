// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdio>

// How much a line on stderr matters, in the journal's syslog numbers.
enum class LogLevel { Error = 3, Warning = 4, Info = 6 };

// Writes one line and flushes it. When the stream is the journal's (the
// service manager names it in JOURNAL_STREAM), the line starts with its
// level in the "<N>" form the journal reads.
void logLine(std::FILE* to, LogLevel level, const QString& line);
