// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/RoomPath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

// Kept apart from roomPath so the fuzz targets can link a deletion that
// touches no file in place of this one.
namespace {

bool hasWildcard(QStringView text)
{
    return text.contains(u'*') || text.contains(u'?');
}

// Only "*" and "?" are special; brackets and the rest are plain characters.
QRegularExpression wildcardPattern(const QString& wildcard)
{
    QString pattern;
    for (const QChar c : wildcard) {
        if (c == u'*')
            pattern += QStringLiteral(".*");
        else if (c == u'?')
            pattern += u'.';
        else
            pattern += QRegularExpression::escape(QString(c));
    }
    QRegularExpression::PatternOptions options = QRegularExpression::DotMatchesEverythingOption;
#ifdef Q_OS_WIN
    options |= QRegularExpression::CaseInsensitiveOption;
#endif
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern), options);
}

}  // namespace

int deleteFiles(const QString& path, QString* why)
{
    const auto fail = [why](const QString& reason) {
        if (why)
            *why = reason;
        return 0;
    };
    if (path.isEmpty())
        return fail(QStringLiteral("no file named"));
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!hasWildcard(name)) {
        // isFile follows a link: a link to a directory is left alone, a
        // link to a file goes (the link, not its target).
        if (!info.exists())
            return fail(QStringLiteral("no such file"));
        if (info.isDir())
            return fail(QStringLiteral("it is a folder"));
        if (!info.isFile())
            return fail(QStringLiteral("not a regular file"));
        QFile file(path);
        return file.remove() ? 1 : fail(file.errorString());
    }
    const QString dirPath = info.path();
    if (hasWildcard(dirPath))
        return fail(QStringLiteral("a wildcard counts only in the file name"));
    QDir dir(dirPath);
    if (!dir.exists())
        return fail(QStringLiteral("no such folder"));
    const QRegularExpression match = wildcardPattern(name);
    int deleted = 0;
    QString failure;
    // Hidden files are left alone, as a wildcard typed at a prompt leaves them.
    const QStringList files = dir.entryList(QDir::Files);
    for (const QString& file : files) {
        if (!match.match(file).hasMatch())
            continue;
        QFile matching(dir.filePath(file));
        if (matching.remove())
            ++deleted;
        else if (failure.isEmpty())
            failure = matching.errorString();
    }
    if (deleted == 0)
        return fail(failure.isEmpty() ? QStringLiteral("no file matches ") + name : failure);
    return deleted;
}
