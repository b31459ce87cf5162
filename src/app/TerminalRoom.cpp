// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TerminalRoom.h"

#include "app/Terminal.h"
#include "chatlink/LocalRoom.h"

namespace TerminalRoom {

Choice choose(std::optional<Form> forced)
{
    const bool toTerminal = isTerminal(StandardStream::Output);
    Choice choice;
    choice.form = forced.value_or(toTerminal ? Form::Text : Form::Raw);
    const bool colour = toTerminal && qEnvironmentVariableIsEmpty("NO_COLOR")
        && qEnvironmentVariable("TERM") != QLatin1String("dumb");
    choice.style = colour ? ChatText::Style::Ansi : ChatText::Style::Plain;
    choice.leaveOutOwnLines = isTerminal(StandardStream::Input);
    return choice;
}

void show(LocalRoom& room, std::FILE* stream, const Choice& choice)
{
    if (choice.form == Form::Raw) {
        room.echoPostsTo(stream);
        return;
    }
    QObject::connect(&room, &LocalRoom::lineAdded, &room, [stream, choice](const QString& html, bool bySay) {
        if (bySay && choice.leaveOutOwnLines)
            return;
        const QByteArray bytes = ChatText::render(html, choice.style).toUtf8() + '\n';
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
        std::fflush(stream);
    });
}

}  // namespace TerminalRoom
