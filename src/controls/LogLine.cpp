// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/LogLine.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// JOURNAL_STREAM is "DEVICE:INODE" of the stream the service manager
// connected; a child whose stderr was redirected inherits the variable but
// not the stream, so the stream itself is compared, at every line, as a
// test or a shell may redirect it while the program runs.
bool stderrIsJournal()
{
#ifdef Q_OS_UNIX
    const QByteArray named = qgetenv("JOURNAL_STREAM");
    const qsizetype colon = named.indexOf(':');
    struct stat st { };
    if (colon < 0 || ::fstat(fileno(stderr), &st) != 0)
        return false;
    bool deviceOk = false;
    bool inodeOk = false;
    const qulonglong device = named.left(colon).toULongLong(&deviceOk);
    const qulonglong inode = named.mid(colon + 1).toULongLong(&inodeOk);
    return deviceOk && inodeOk && device == qulonglong(st.st_dev) && inode == qulonglong(st.st_ino);
#else
    return false;
#endif
}

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
