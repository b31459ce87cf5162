#include "app/Library.h"

#include "app/ListFile.h"
#include "app/MainForm.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSet>

const QStringList Library::kKinds = {
    QStringLiteral(".mp3"), QStringLiteral(".asx"), QStringLiteral(".asf"),
    QStringLiteral(".wma"), QStringLiteral(".wav"), QStringLiteral(".cda"),
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
        m_form.post(QStringLiteral("E</b>rror D</b>ir I</b>nvalid"));
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
    for (const QString& f : files) {
        // A name too short to carry an extension is never a duplicate.
        if (f.size() >= 4 && known.contains(f.chopped(4)))
            continue;
        for (const QString& kind : kKinds) {
            if (f.contains(kind))
                added.append(QString(f).remove(kind) + u';' + path + separator + f);
        }
    }
    m_form.List2.addItems(added);
    m_form.List1.clear();
    addSongs();
    m_form.post(QStringLiteral("A</b>dded D</b>ir - F</b>iles:") + QString::number(m_form.List1.count()));
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
    LoadOrCreateListFile(m_form.paths.programDir, AppPaths::kPlaylistName, m_form.List2);
}

QString fileSizeText(qint64 bytes)
{
    if (bytes < 1024)
        return QString::number(bytes) + QStringLiteral(" bytes");
    static const struct {
        qint64 unit;
        const char* name;
    } units[] = {{1073741824, " GB"}, {1048576, " MB"}, {1024, " KB"}};
    for (const auto& u : units) {
        if (bytes >= u.unit) {
            QString number = QString::number(double(bytes) / double(u.unit), 'f', 2);
            number.replace(u'.', QLocale::system().decimalPoint());
            return number + QLatin1String(u.name);
        }
    }
    return {};
}

QString GetFileSize(const QString& path)
{
    const QFileInfo info(path);
    return fileSizeText(info.isFile() ? info.size() : 0);
}
