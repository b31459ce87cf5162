// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/LogLine.h"

#include <QByteArray>

#include <sys/stat.h>

namespace {

// JOURNAL_STREAM is "DEVICE:INODE" of the stream the service manager
// connected; a child whose stderr was redirected inherits the variable but
// not the stream, so the stream itself is compared.
bool isJournal(std::FILE* stream)
{
    const QByteArray named = qgetenv("JOURNAL_STREAM");
    const qsizetype colon = named.indexOf(':');
    struct stat st { };
    if (colon < 0 || ::fstat(fileno(stream), &st) != 0)
        return false;
    bool deviceOk = false;
    bool inodeOk = false;
    const qulonglong device = named.left(colon).toULongLong(&deviceOk);
    const qulonglong inode = named.mid(colon + 1).toULongLong(&inodeOk);
    return deviceOk && inodeOk && device == qulonglong(st.st_dev) && inode == qulonglong(st.st_ino);
}

}  // namespace

void logLine(std::FILE* to, LogLevel level, const QString& line)
{
    if (!to)
        return;
    if (isJournal(to))
        std::fprintf(to, "<%d>", int(level));
    std::fprintf(to, "%s\n", line.toLocal8Bit().constData());
    std::fflush(to);
}
