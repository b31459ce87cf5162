// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ListFile.h"

#include "chatlink/AnsiText.h"
#include "controls/TextList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QStringList decodeListLines(const QByteArray& bytes)
{
    QStringList rows;
    for (QByteArray& line : bytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        // Each line on its own: one line of an older file does not make the
        // whole file Windows-1252, or every UTF-8 line would be garbled.
        if (!line.isEmpty())
            rows.append(AnsiText::fromUtf8OrAnsi(std::string_view(line.data(), std::size_t(line.size()))));
    }
    return rows;
}

bool loadListFile(const QString& path, TextList& list, QString* reason)
{
    list.clear();
    const auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why;
        return false;
    };
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    // Only a regular file is opened: a FIFO would hold the start up for as
    // long as nobody writes to it.
    if (!info.isFile())
        return fail(QStringLiteral("not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        // The whole lines read before the error stay.
        bytes.truncate(bytes.lastIndexOf('\n') + 1);
        list.addItems(decodeListLines(bytes));
        return fail(file.errorString());
    }
    list.addItems(decodeListLines(bytes));
    return true;
}

bool saveListFile(const QString& path, const TextList& list, QString* reason)
{
    QSaveFile file(path);
    // A folder that takes no new file may still hold a writable one; the
    // save then goes into the file itself, no longer atomic but not lost.
    file.setDirectWriteFallback(true);
    const auto fail = [&] {
        if (reason)
            *reason = file.errorString();
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    QByteArray bytes;
    for (const QString& row : list.items()) {
        bytes += row.toUtf8();
        bytes += "\r\n";
    }
    // A full disk takes part of a write without an error and commit() would
    // then put the cut file in place: every byte is accounted for first. The
    // write after a short one fails and tells why.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return fail();
        done += written;
    }
    return (file.flush() && file.commit()) || fail();
}

bool loadOrCreateListFile(const QString& dir, const QString& fileName, TextList& list, QString* reason)
{
    const QString path = dir + u'/' + fileName;
    // Anything of that name counts, so a folder or a dangling link in the
    // file's place is not replaced by a new file but said as unreadable.
    const QDir::Filters anything = QDir::AllEntries | QDir::System | QDir::Hidden;
    if (!QDir(dir).entryList({fileName}, anything).contains(fileName))
        saveListFile(path, list);
    return loadListFile(path, list, reason);
}
