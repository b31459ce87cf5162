// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Library.h"

#include "app/ListFile.h"
#include "controls/ChatExit.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSet>
#include <QUrl>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <dirent.h>
#endif

Q_LOGGING_CATEGORY(lcLibrary, "quillon.library")

namespace {

// A name as bytes a person can read on one line: printable ASCII as it is,
// every other byte as \xHH.
QString escapedName(QByteArrayView name)
{
    QString text;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && byte != '\\')
            text.append(QLatin1Char(c));
        else
            text.append(QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0')));
    }
    return text;
}

bool holdsControlCharacter(const QString& name)
{
    return std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

bool isOfAKind(const QString& name)
{
    return std::any_of(Library::kKinds.cbegin(), Library::kKinds.cend(),
                       [&](const QString& kind) { return name.contains(kind, Qt::CaseInsensitive); });
}

void sayNotAdded(const QString& dir, QByteArrayView name, const char* why)
{
    qCWarning(lcLibrary).nospace().noquote()
        << "quillon: not added to the playlist, " << why << ": " << dir << '/' << escapedName(name);
}

// The names of a folder that are not UTF-8: the file list leaves them out
// without a word, and a playlist line could not hold them.
void sayNamesNotUtf8(const QString& dir)
{
#ifdef Q_OS_UNIX
    DIR* listing = ::opendir(QFile::encodeName(dir).constData());
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArrayView name(entry->d_name);
        if (!name.isValidUtf8() && isOfAKind(QString::fromLatin1(name)))
            sayNotAdded(dir, name, "its name is not UTF-8");
    }
    ::closedir(listing);
#else
    Q_UNUSED(dir);
#endif
}

}  // namespace

const QStringList Library::kKinds = {
    QStringLiteral(".mp3"), QStringLiteral(".asx"),  QStringLiteral(".asf"),  QStringLiteral(".wma"),
    QStringLiteral(".wav"), QStringLiteral(".cda"),  QStringLiteral(".flac"), QStringLiteral(".ogg"),
    QStringLiteral(".oga"), QStringLiteral(".opus"), QStringLiteral(".m4a"),  QStringLiteral(".aac"),
};

void Library::addFolder(const QString& dir)
{
    const QFileInfo info(dir);
    const QDir directory(dir);
    if (dir.isEmpty() || !info.isDir() || !directory.isReadable()) {
        m_chat.post(QStringLiteral("E</b>rror D</b>ir I</b>nvalid"));
        return;
    }
    // The directory as a file list reports it: a root keeps its separator,
    // so its songs get a doubled one, as they always have.
    const QString path = QDir::toNativeSeparators(directory.absolutePath());
    const QString separator = QDir::separator();

    // The duplicate test sees only the songs that were there before.
    const QStringList names = m_playlist.names();
    const QSet<QString> known(names.cbegin(), names.cend());
    QStringList added;
    const QStringList files = directory.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    sayNamesNotUtf8(path);
    for (const QString& f : files) {
        // A line break would split the playlist line; other control
        // characters would reach the room as they are.
        if (holdsControlCharacter(f)) {
            if (isOfAKind(f))
                sayNotAdded(path, f.toUtf8(), "its name holds a control character");
            continue;
        }
        // A name too short to carry an extension is never a duplicate.
        if (f.size() >= 4 && known.contains(f.chopped(4)))
            continue;
        // Linux names keep their case, so SONG.MP3 is a song too.
        for (const QString& kind : kKinds) {
            if (!f.contains(kind, Qt::CaseInsensitive))
                continue;
            const QString name = QString(f).remove(kind, Qt::CaseInsensitive);
            // Cutting four characters misses longer kinds (song.flac) and
            // kinds inside the name; the name shown (up to a ';') catches those.
            if (!known.contains(name.left(name.indexOf(u';'))))
                added.append(name + u';' + path + separator + f);
        }
    }
    m_playlist.addItems(added);
    // The whole list is shown anew, with no song selected.
    m_playlist.selectRow(-1);
    m_chat.post(QStringLiteral("A</b>dded D</b>ir - F</b>iles:") + QString::number(m_playlist.count()));
}

QString Library::addEntry(const QString& location)
{
    QString name;
    QString path;
    if (isStreamAddress(location)) {
        const QUrl url(location.trimmed(), QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty())
            return {};
        // The line's own separator cannot stand inside its path.
        path = url.toString(QUrl::FullyEncoded).replace(u';', QLatin1String("%3B"));
        // Named like a file, by the last part of its path, so a room can
        // ask for it by name; a bare address by its host.
        name = QFileInfo(url.path()).completeBaseName();
        if (name.isEmpty())
            name = url.host();
    } else {
        const QFileInfo info(location);
        if (!info.isFile())
            return {};
        path = QDir::toNativeSeparators(info.absoluteFilePath());
        name = info.fileName();
        const auto kind = std::find_if(kKinds.cbegin(), kKinds.cend(),
                                       [&name](const QString& k) { return name.contains(k, Qt::CaseInsensitive); });
        name = kind != kKinds.cend() ? name.remove(*kind, Qt::CaseInsensitive) : info.completeBaseName();
    }
    // The name is one line, whatever an address decodes to.
    name = name.left(name.indexOf(u';')).simplified();
    if (name.isEmpty())
        return {};
    // A line break would split the row in the playlist file, and other
    // control characters would reach the room as they are.
    if (holdsControlCharacter(path)) {
        const QFileInfo info(path);
        sayNotAdded(info.path(), info.fileName().toUtf8(), "its name holds a control character");
        return {};
    }
    if (const int row = m_playlist.rowOfPath(path); row >= 0)
        return m_playlist.name(row);
    m_playlist.addItem(name + u';' + path);
    return name;
}

bool isStreamAddress(const QString& location)
{
    const QString text = location.trimmed();
    return text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

bool Library::remove(int index)
{
    return m_playlist.removeItem(index);
}

void Library::clear()
{
    m_playlist.clear();
}

bool Library::load(QString* reason)
{
    return loadOrCreateListFile(m_paths.programDir, AppPaths::kPlaylistName, m_playlist, reason);
}
