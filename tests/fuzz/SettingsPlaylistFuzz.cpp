#include "Fuzz.h"

// The playlist's bytes up to the first NUL, the settings' bytes after it,
// read at start, written at the end and read again: the rows come back
// (but for the start count, which moves to the end).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TestForm t;
    FuzzInput input(data, size);
    writeFile(t.paths.playlistFile(), input.until('\0'));
    writeFile(t.paths.settingsFile(), input.rest());
    QStringList playlist, settings;
    for (int round = 0; round < 2; ++round) {
        t.reset();
        t->Form_Load();
        settle(t);
        QStringList rows = t->lstsettings.items();
        rows.removeIf([](const QString& row) { return row.contains(QStringLiteral("[loads]")); });
        fuzzCheck(round == 0 || (t->List2.items() == playlist && rows == settings), "the rows come back");
        playlist = t->List2.items();
        settings = rows;
        t->Form_Unload();
    }
    return 0;
}
