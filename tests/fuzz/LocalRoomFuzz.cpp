#include "Fuzz.h"

#include "app/HeadlessFrontEnd.h"
#include "chatlink/LocalRoom.h"

#include <unistd.h>

// The input is what is typed at the terminal of a headless run: each line
// is said in the local room and read by the next tick; the end of the input
// shuts the program down.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A pipe holds 64 KiB before a write would block.
    const QByteArray typed = FuzzInput(data, std::min<std::size_t>(size, 60000)).rest();
    static SimForm t;
    t.reset();
    t->player.setOpeningWait([](double) {});
    LocalRoom room(t.desktop, QStringLiteral("me"));
    int terminal[2];
    fuzzCheck(::pipe(terminal) == 0, "a terminal pipe");
    const int savedInput = ::dup(STDIN_FILENO);
    ::dup2(terminal[0], STDIN_FILENO);
    ::close(terminal[0]);
    fuzzCheck(::write(terminal[1], typed.constData(), typed.size()) == typed.size(), "the input fits the pipe");
    ::close(terminal[1]);

    int lines = 0;
    {
        HeadlessFrontEnd frontEnd;
        QObject::connect(&frontEnd, &HeadlessFrontEnd::lineRead, &room, [&](const QString& line) {
            ++lines;
            room.typeLine(line);
            t->chat1.chat_tymer_Timer();
        });
        t->Form_Load();
        t->chat1.chat_tymer_Timer();
        frontEnd.attach(*t);
        for (int turns = 0; !t->isUnloaded() && turns < 100000; ++turns)
            QCoreApplication::processEvents();
    }
    ::dup2(savedInput, STDIN_FILENO);
    ::close(savedInput);

    fuzzCheck(t->isUnloaded(), "the end of the input shuts the program down");
    fuzzCheck(lines == typed.count('\n') + (typed.isEmpty() || typed.endsWith('\n') ? 0 : 1),
              "one line per line end, and the unfinished last line");
    settle(t);
    return 0;
}
