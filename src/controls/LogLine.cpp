// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/LogLine.h"

#include "controls/JournalStream.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstring>

namespace {

// The journal's levels are syslog's.
int journalLevel(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return 7;
    case QtInfoMsg:
        return 6;
    case QtWarningMsg:
        return 4;
    case QtCriticalMsg:
        return 3;
    case QtFatalMsg:
        return 2;
    }
    return 6;
}

bool isOwnCategory(const char* category)
{
    return category
        && (std::strcmp(category, "quillon") == 0 || std::strncmp(category, "quillon.", std::strlen("quillon.")) == 0);
}

void writeLogLine(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    QByteArray line;
    if (stderrIsJournal())
        line = '<' + QByteArray::number(journalLevel(type)) + '>';
    const bool said = type != QtDebugMsg && isOwnCategory(context.category);
    line += (said ? message : qFormatLogMessage(type, context, message)).toLocal8Bit();
    // One call per line, so lines of two threads never interleave.
    std::fprintf(stderr, "%s\n", line.constData());
    std::fflush(stderr);
}

}  // namespace

void installLogHandler()
{
    qInstallMessageHandler(writeLogLine);
}
