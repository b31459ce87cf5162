// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TerminalRoom.h"
#include "app/AppTest.h"

#include <cstdlib>
#include <fcntl.h>

// Each standard stream is told a terminal from a pipe on its own: output
// to a terminal is shown as text, styled, and input from one is not shown
// again; a pipe on either side changes only what that side decides.
TEST(TerminalRoom, EachStreamIsToldATerminalFromAPipeOnItsOwn)
{
    const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    const QByteArray terminalName = ::ptsname(terminal);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);

    enum Seen { TextForm = 1, Styled = 2, OwnLinesLeftOut = 4 };
    for (const bool inputIsTerminal : {false, true}) {
        for (const bool outputIsTerminal : {false, true}) {
            SCOPED_TRACE(testing::Message() << "input " << inputIsTerminal << ", output " << outputIsTerminal);
            const int status = inChild([&] {
                const int side = ::open(terminalName.constData(), O_RDWR | O_NOCTTY);
                if (side < 0 || ::dup2(inputIsTerminal ? side : pipeEnds[0], STDIN_FILENO) < 0
                    || ::dup2(outputIsTerminal ? side : pipeEnds[1], STDOUT_FILENO) < 0)
                    return 100;
                qputenv("TERM", "xterm");
                qunsetenv("NO_COLOR");
                const TerminalRoom::Choice choice = TerminalRoom::choose(std::nullopt);
                return (choice.form == TerminalRoom::Form::Text ? TextForm : 0)
                    | (choice.style == ChatText::Style::Ansi ? Styled : 0)
                    | (choice.leaveOutOwnLines ? OwnLinesLeftOut : 0);
            });
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status),
                      (outputIsTerminal ? TextForm | Styled : 0) | (inputIsTerminal ? OwnLinesLeftOut : 0));
        }
    }
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    ::close(terminal);
}
