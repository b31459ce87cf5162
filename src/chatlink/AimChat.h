// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chatlink/WindowSystem.h"

#include <QString>
#include <QStringList>

// The window work on the AIM chat window. Every function finds the windows
// again when it is called; a window that is not there answers nothing.
namespace aimchat {

// The whole transcript text.
QString readChatText(WindowSystem& windows);
// The lines of a transcript text that start at or after `from`, oldest
// first: each runs from its "<BR>" to the character before the next line's
// "<BR>" (before the text's last character, for the newest). Text before
// the first "<BR>" belongs to a line that started earlier.
QStringList linesFrom(const QString& text, qsizetype from);
// The text without its tags and without any ">".
QString stripTags(const QString& s);
// Types the text into the input box and presses send.
void typeChatText(WindowSystem& windows, const QString& text);
void clickSendButton(WindowSystem& windows);
// The HTML the input box puts around one typed letter.
QString probeInputFormat(WindowSystem& windows);
// A window's whole text.
QString readWindowText(WindowSystem& windows, WindowSystem::Hwnd window);

// The chat window and its parts.
WindowSystem::Hwnd findChatWindow(WindowSystem& windows);
WindowSystem::Hwnd transcriptText(WindowSystem& windows);
WindowSystem::Hwnd inputText(WindowSystem& windows);

}  // namespace aimchat
