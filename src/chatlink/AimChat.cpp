// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/AimChat.h"

#include "chatlink/AnsiText.h"

#include <algorithm>

using Hwnd = WindowSystem::Hwnd;

namespace {

// A buffer of `size` blanks that the window fills through a text message.
std::string blanks(std::intptr_t size)
{
    return std::string(std::size_t(std::max<std::intptr_t>(size, 0)), ' ');
}

void setText(WindowSystem& windows, Hwnd window, const QString& text)
{
    std::string bytes = AnsiText::toWindow(windows, text);
    windows.sendMessage(window, wm::SETTEXT, 0, bytes);
}

}  // namespace

namespace aimchat {

Hwnd findChatWindow(WindowSystem& windows)
{
    return windows.findWindow("aim_chatwnd");
}

Hwnd transcriptText(WindowSystem& windows)
{
    const Hwnd pane = windows.findChild(findChatWindow(windows), 0, "wndate32class");
    return windows.findChild(pane, 0, "ate32class");
}

Hwnd inputText(WindowSystem& windows)
{
    const Hwnd chat = findChatWindow(windows);
    const Hwnd transcriptPane = windows.findChild(chat, 0, "wndate32class");
    const Hwnd inputPane = transcriptPane ? windows.findChild(chat, transcriptPane, "wndate32class") : 0;
    return windows.findChild(inputPane, 0, "ate32class");
}

QString readChatText(WindowSystem& windows)
{
    const Hwnd transcript = transcriptText(windows);
    const std::intptr_t n = std::max<std::intptr_t>(windows.sendMessage(transcript, wm::GETTEXTLENGTH, 0, 0), 0);
    std::string buffer = blanks(n + 1);
    windows.sendMessage(transcript, wm::GETTEXT, std::uintptr_t(n + 1), buffer);
    return AnsiText::fromWindow(windows, std::string_view(buffer).substr(0, std::size_t(n)));
}

QStringList linesFrom(const QString& text, qsizetype from)
{
    static const QString lineBreak = QStringLiteral("<BR>");
    QStringList lines;
    qsizetype start = text.indexOf(lineBreak, std::max<qsizetype>(from, 0), Qt::CaseInsensitive);
    while (start >= 0) {
        const qsizetype next = text.indexOf(lineBreak, start + 1, Qt::CaseInsensitive);
        const qsizetype end = next < 0 ? text.size() : next;
        // From the "<BR>" on, without the line's final character.
        lines.append(text.mid(start, end - start - 1));
        start = next;
    }
    return lines;
}

QString stripTags(const QString& s)
{
    const qsizetype n = s.size();
    QString intermediate;
    intermediate.reserve(n);
    // The last character is never taken, and an unclosed "<" drops the rest.
    for (qsizetype i = 0; i <= n - 2; ++i) {
        if (s[i] == u'<') {
            const qsizetype close = s.indexOf(u'>', i);
            if (close < 0 || close > n - 2)
                break;
            i = close;
        }
        intermediate.append(s[i]);
    }
    return intermediate.left(n - 1).remove(u'>');
}

QString readWindowText(WindowSystem& windows, Hwnd window)
{
    const std::intptr_t n = std::max<std::intptr_t>(windows.sendMessage(window, wm::GETTEXTLENGTH, 0, 0), 0);
    std::string buffer = blanks(n);
    windows.sendMessage(window, wm::GETTEXT, std::uintptr_t(n + 1), buffer);
    return AnsiText::fromWindow(windows, buffer);
}

void typeChatText(WindowSystem& windows, const QString& text)
{
    setText(windows, inputText(windows), text);
    clickSendButton(windows);
}

void clickSendButton(WindowSystem& windows)
{
    const Hwnd chat = findChatWindow(windows);
    Hwnd button = windows.findChild(chat, 0, "_oscar_iconbtn");
    // A missing button ends the walk: asking for the child after none
    // would start over at the first button and click the wrong one.
    for (int i = 0; i < 4 && button; ++i)
        button = windows.findChild(chat, button, "_oscar_iconbtn");
    windows.sendMessage(button, wm::LBUTTONDOWN, 0, 0);
    windows.sendMessage(button, wm::KEYUP, vk::SPACE, 0);
    windows.sendMessage(button, wm::LBUTTONUP, 0, 0);
}

QString probeInputFormat(WindowSystem& windows)
{
    const Hwnd input = inputText(windows);
    setText(windows, input, QStringLiteral("l"));
    const QString html = readWindowText(windows, input);
    setText(windows, input, QString());
    return html;
}

}  // namespace aimchat
