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
    auto options = QRegularExpression::DotMatchesEverythingOption;
#ifdef Q_OS_WIN
    options |= QRegularExpression::CaseInsensitiveOption;
#endif
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern), options);
}

}  // namespace

int deleteFiles(const QString& path)
{
    if (path.isEmpty())
        return 0;
    const qsizetype cut = path.lastIndexOf(u'/');
    const QString name = path.mid(cut + 1);
    if (!hasWildcard(name)) {
        // isFile follows a link: a link to a directory is left alone, a
        // link to a file goes (the link, not its target).
        return QFileInfo(path).isFile() && QFile::remove(path) ? 1 : 0;
    }
    const QString dirPath = cut < 0 ? QStringLiteral(".") : cut == 0 ? QStringLiteral("/") : path.left(cut);
    if (hasWildcard(dirPath))
        return 0;
    QDir dir(dirPath);
    const QRegularExpression match = wildcardPattern(name);
    int deleted = 0;
    // Hidden files are left alone, as a wildcard typed at a prompt leaves them.
    const QStringList files = dir.entryList(QDir::Files);
    for (const QString& file : files) {
        if (match.match(file).hasMatch() && dir.remove(file))
            ++deleted;
    }
    return deleted;
}
