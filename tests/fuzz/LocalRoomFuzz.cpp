// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fuzz.h"

#include <QDeadlineTimer>

#include "app/HeadlessFrontEnd.h"
#include "chatlink/LocalRoom.h"
#include "controls/ScreenName.h"

#include <unistd.h>

namespace {

struct Room {
    SimForm& t;
    LocalRoom room {t.desktop, QStringLiteral("me")};

    explicit Room(SimForm& form) : t(form)
    {
        t.reset();
        t->player.setOpeningTime(std::chrono::milliseconds(0));
        t->scanner.listenTo(room);
    }
    void settle()
    {
        for (int turns = 0; (t->scanner.isBusy() || t->player.isBusy()) && turns < 100000; ++turns)
            QCoreApplication::processEvents();
    }
};

// The input is what is typed at the terminal of a headless run: each line
// is said in the local room; the end of the input shuts the program down
// once every line before it has been handled.
void typeAtTheTerminal(SimForm& t, const QByteArray& typed)
{
    Room r(t);
    int terminal[2];
    fuzzCheck(::pipe(terminal) == 0, "a terminal pipe");
    const int savedInput = ::dup(STDIN_FILENO);
    ::dup2(terminal[0], STDIN_FILENO);
    ::close(terminal[0]);
    fuzzCheck(::write(terminal[1], typed.constData(), typed.size()) == typed.size(), "the input fits the pipe");
    ::close(terminal[1]);

    int lines = 0;
    bool ended = false;
    {
        HeadlessFrontEnd frontEnd;
        QObject::connect(&frontEnd, &HeadlessFrontEnd::lineRead, &r.room, [&](const QString& line) {
            fuzzCheck(!t->isUnloaded(), "no line is said after the shut-down");
            ++lines;
            r.room.typeLine(line);
        });
        QObject::connect(&t->interpreter, &CommandInterpreter::endRequested, [&] { ended = true; });
        t->startUp();
        frontEnd.attach(*t);
        // Lines are said one at a time, as the program comes to rest.
        const QDeadlineTimer deadline(60000);
        while (!t->isUnloaded() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    ::dup2(savedInput, STDIN_FILENO);
    ::close(savedInput);

    fuzzCheck(t->isUnloaded(), "the end of the input shuts the program down");
    const auto typedLines = typed.count('\n') + (typed.isEmpty() || typed.endsWith('\n') ? 0 : 1);
    fuzzCheck(lines == typedLines || (ended && lines < typedLines),
              "one line per line end, and the unfinished last line, until one says \"end\"");
    fuzzCheck(!t->scanner.isBusy(), "every line is handled before the shut-down");
    settle(t);
}

// Each line of the input is a member's name: that member's "ver" is
// answered if and only if the name is the owner's as the service compares
// names, and the owner's own "ver" is answered whoever spoke before.
void speakAsEveryName(SimForm& t, const QByteArray& names)
{
    Room r(t);
    t->startUp();
    r.settle();
    fuzzCheck(t->discovery.owner().text() == QLatin1String("me"), "the start line makes the local member the owner");
    for (const QByteArray& bytes : names.split('\n')) {
        const QString name = QString::fromUtf8(bytes);
        t.sent.clear();
        r.room.sayAs(name, QStringLiteral("ver"));
        r.settle();
        const bool answered = !t.sent.isEmpty();
        fuzzCheck(answered == sameScreenName(name, QStringLiteral("me")),
                  "a line acts if and only if its speaker is the owner");
        t.sent.clear();
        r.room.say(QStringLiteral("ver"));
        r.settle();
        fuzzCheck(t.sent.size() == 1, "the owner is answered");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A pipe holds 64 KiB before a write would block; each line takes a
    // turn or more of the event loop.
    QByteArray typed = FuzzInput(data, std::min<std::size_t>(size, 60000)).rest();
    if (const QList<QByteArray> lines = typed.split('\n'); lines.size() > 300)
        typed = lines.mid(0, 300).join('\n') + '\n';
    static SimForm t;
    typeAtTheTerminal(t, typed);
    speakAsEveryName(t, typed.left(4000));
    return 0;
}
