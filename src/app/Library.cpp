// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Library.h"

#include "app/ListFile.h"
#include "controls/ChatExit.h"
#include "controls/FormState.h"

#include "controls/LogLine.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <dirent.h>
#endif

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
    logLine(stderr, LogLevel::Warning,
            QStringLiteral("quillon: not added to the playlist, %1: %2/%3")
                .arg(QLatin1String(why), dir, escapedName(name)));
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

void Library::addSongs()
{
    QStringList names;
    names.reserve(m_form.List2.count());
    for (const QString& line : m_form.List2.items())
        names.append(line.left(line.indexOf(u';')));
    m_form.List1.addItems(names);
}

void Library::AddDir(const QString& dir)
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
    const QSet<QString> known(m_form.List1.items().cbegin(), m_form.List1.items().cend());
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
    m_form.List2.addItems(added);
    m_form.List1.clear();
    addSongs();
    m_chat.post(QStringLiteral("A</b>dded D</b>ir - F</b>iles:") + QString::number(m_form.List1.count()));
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
    const QString tail = u';' + path;
    for (const QString& line : m_form.List2.items()) {
        if (line.endsWith(tail))
            return line.left(line.indexOf(u';'));
    }
    m_form.List2.addItem(name + tail);
    m_form.List1.addItem(name);
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
    if (!m_form.List2.removeItem(index))
        return false;
    m_form.List1.removeItem(index);
    return true;
}

void Library::clear()
{
    m_form.List1.clear();
    m_form.List2.clear();
}

void Library::load()
{
    LoadOrCreateListFile(m_paths.programDir, AppPaths::kPlaylistName, m_form.List2);
}
