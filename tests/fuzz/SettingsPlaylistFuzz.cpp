#include "FuzzForm.h"

#include <QFile>

namespace {

void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    fuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the file can be written");
    fuzzCheck(file.write(bytes) == bytes.size(), "written whole");
}

// The start counts itself in the "[loads]" row, which is then written last.
QStringList withoutLoads(const QStringList& rows)
{
    QStringList kept;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(kept),
                 [](const QString& row) { return !row.contains(QStringLiteral("[loads]")); });
    return kept;
}

}  // namespace

// The playlist's bytes up to the first NUL, the settings' bytes after it,
// read at start, written at the end and read again: the rows come back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TestForm t;
    FuzzInput input(data, size);
    write(t.paths.playlistFile(), input.until('\0'));
    write(t.paths.settingsFile(), input.rest());

    t.reset();
    t->Form_Load();
    const QStringList playlist = t->List2.items();
    const QStringList settings = t->lstsettings.items();
    checkForm(t);
    t->Form_Unload();

    t.reset();
    t->Form_Load();
    fuzzCheck(t->List2.items() == playlist, "the playlist comes back");
    fuzzCheck(withoutLoads(t->lstsettings.items()) == withoutLoads(settings), "the settings come back");
    checkForm(t);
    return 0;
}
