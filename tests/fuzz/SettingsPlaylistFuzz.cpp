#include "FuzzForm.h"

// The start counts itself in the "[loads]" row, which is then written last.
static QStringList withoutLoads(QStringList rows)
{
    rows.removeIf([](const QString& row) { return row.contains(QStringLiteral("[loads]")); });
    return rows;
}

// The playlist's bytes up to the first NUL, the settings' bytes after it,
// read at start, written at the end and read again: the rows come back.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TestForm t;
    FuzzInput input(data, size);
    writeFile(t.paths.playlistFile(), input.until('\0'));
    writeFile(t.paths.settingsFile(), input.rest());

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
