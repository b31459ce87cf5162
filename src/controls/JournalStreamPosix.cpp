// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/JournalStream.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <sys/stat.h>

// JOURNAL_STREAM is "DEVICE:INODE" of the stream the service manager
// connected; a child whose stderr was redirected inherits the variable but
// not the stream, so the stream itself is compared, at every line, as a
// test or a shell may redirect it while the program runs.
bool stderrIsJournal()
{
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
}
