// SPDX-License-Identifier: GPL-3.0-or-later
#include "bot/ChatSends.h"

#include "controls/Notice.h"
#include "controls/UserStore.h"

namespace {

QString designText(const QString& head, const QString& word)
{
    return Notice::pair(head, word) + QStringLiteral("</U> ");
}

}  // namespace

namespace ChatSends {

const std::array<ChatSend, 7>& all()
{
    static const std::array<ChatSend, 7> sends = {{
        {QStringLiteral("nf"), QStringLiteral("Not found:"), QStringLiteral("<b>N</b>ot<b>F</b>ound"),
         QStringLiteral("Nothing found"), designText(QStringLiteral("Error"), QStringLiteral("Nothing Found"))},
        {QStringLiteral("aron"), QStringLiteral("AR ON:"), QStringLiteral("On random on"),
         QStringLiteral("Auto random on"), designText(QStringLiteral("Auto Random"), QStringLiteral("Enabled"))},
        {QStringLiteral("aroff"), QStringLiteral("AR OFF:"), QStringLiteral("Auto random off"),
         QStringLiteral("Auto random off"), designText(QStringLiteral("Auto Random"), QStringLiteral("Disabled"))},
        {QStringLiteral("pause"), QStringLiteral("Pause:"), QStringLiteral("Paused"), QStringLiteral("Paused."),
         designText(QStringLiteral("Media"), QStringLiteral("Paused"))},
        {QStringLiteral("unpause"), QStringLiteral("Unpause:"), QStringLiteral("Unpaused."),
         QStringLiteral("Unpaused."), designText(QStringLiteral("Media"), QStringLiteral("Unpaused"))},
        {QStringLiteral("stop"), QStringLiteral("Stop:"), QStringLiteral("Stopped"), QStringLiteral("Stopped."),
         designText(QStringLiteral("Media"), QStringLiteral("Stopped"))},
        {QStringLiteral("show"), QStringLiteral("Show:"), QStringLiteral("showing"), QStringLiteral("Showing"),
         designText(QStringLiteral("Media"), QStringLiteral("Stopped"))},
    }};
    return sends;
}

const ChatSend& entry(const QString& key)
{
    static const ChatSend none;
    for (const ChatSend& send : all()) {
        if (send.key == key)
            return send;
    }
    return none;
}

QString replyText(const QString& key)
{
    return readSetting(kSection, key, entry(key).replyDefault);
}

QString formText(const QString& key)
{
    return readSetting(kSection, key, entry(key).formDefault);
}

void store(const QString& key, const QString& text)
{
    writeSetting(kSection, key, text);
}

}  // namespace ChatSends

QString CommandHelp::caption()
{
    return QStringLiteral("Commands");
}

QString CommandHelp::okCaption()
{
    return QStringLiteral("&OK");
}

QString CommandHelp::helpText()
{
    static const char* const lines[] = {
        "p file - play file",
        "rem file - remove file",
        "del c:\\test.exe - delete file",
        "info - info about you",
        "p? - currently playing",
        "r - random",
        "r string - radom song with string",
        "end - end program",
        "pause - pause",
        "unpause - unpause",
        "stop - stop file",
        "show - show iface",
        "tray - send to tray",
        "min - minimize iface",
        "ver - scroll version",
        "clr - clear chat",
        "cpl - clear playlist",
        "ar - auto random (when file stops)",
        "xar - no auto random",
        "dir - add directory to playlist",
        "url - play url",
        "x - ignore user",
        "unx - unignore user",
        "next - play next file",
        "perv - play last file",
        "skip - end the song, the queue's next plays",
        "q file - queue file",
        "q - list the queue",
        "unq N - take place N off the queue",
        "vol N - set the volume, 0 to 100",
        "help word - one command's help",
        "1 to 9 - choose among files found",
    };
    QString text;
    for (const char* line : lines)
        text += QLatin1String(line) + QStringLiteral("\r\n");
    return text;
}
