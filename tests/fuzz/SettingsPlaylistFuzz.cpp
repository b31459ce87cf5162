// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fuzz.h"

#include "chatlink/AnsiText.h"

// The playlist's bytes up to the first NUL, the settings' bytes after it,
// read at start, written at the end and read again: the rows come back
// (but for the start count, which moves to the end). Every playlist line
// that is UTF-8 is written back as the same bytes, any other line as its
// Windows-1252 characters in UTF-8.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TestForm t;
    FuzzInput input(data, size);
    const QByteArray playlistBytes = input.until('\0');
    QByteArray expected;
    for (QByteArray& line : playlistBytes.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            expected += (line.isValidUtf8() ? line : AnsiText::fromAnsi(line.toStdString()).toUtf8()) + "\r\n";
    }
    fuzzCheck(writeFile(t.paths.playlistFile(), playlistBytes) && writeFile(t.paths.settingsFile(), input.rest()),
              "the files are written whole");
    QStringList playlist, settings;
    for (int round = 0; round < 2; ++round) {
        t.reset();
        t->startUp();
        settle(t);
        QStringList rows = t->settings.rows().items();
        rows.removeIf([](const QString& row) { return row.contains(QStringLiteral("[loads]")); });
        fuzzCheck(round == 0 || (t->library.playlist().items() == playlist && rows == settings), "the rows come back");
        playlist = t->library.playlist().items();
        settings = rows;
        t->shutDown();
        fuzzCheck(readFile(t.paths.playlistFile()) == expected, "each line keeps its meaning, UTF-8 its bytes");
    }
    return 0;
}
