// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// The one way out of the program into the chat room. The parts that say
// something take this instead of the scanner, so they neither know nor
// care whether the line is typed into a window or sent over TOC.
class ChatExit {
public:
    virtual ~ChatExit() = default;

    // The most a line may take, UTF-8 with its backslashes and double
    // quotes escaped, for the whole line to reach the room over TOC: a
    // server takes commands of 2,048 bytes, and the command's head, its
    // closing quote and NUL and a note of lines dropped need the rest.
    static constexpr qsizetype kLineBytes = 1920;

    // One finished line, routed by the chat settings.
    virtual void sendLine(const QString& text) = 0;
    // The font prefix followed by the text.
    virtual void post(const QString& text) = 0;
};
