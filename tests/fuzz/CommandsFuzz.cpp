// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fuzz.h"

// Each input line is said in the room: by the owner when its first byte is
// odd, else by a stranger, whose lines must change nothing.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static TestForm t;
    prepareForm(t);
    FuzzInput input(data, size);
    while (!input.atEnd()) {
        const bool byOwner = input.byte() & 1;
        const QString text = QString::fromUtf8(input.until('\n'));
        const QStringList rows = t->library.playlist().items(), sentBefore = t.sent;
        t->interpreter.handleLine(byOwner ? QStringLiteral("Boss") : QStringLiteral("stranger"), text,
                                  QStringLiteral("{10:15:02 PM}"));
        settle(t);
        if (!byOwner)
            fuzzCheck(t->library.playlist().items() == rows && t.sent == sentBefore,
                      "a stranger's line changes nothing");
    }
    return 0;
}
