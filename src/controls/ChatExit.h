#pragma once

#include <QString>

// The one way out of the program into the chat room. Parts that say
// something take this instead of the scanner, so they neither know nor
// care whether the line is typed into a window or sent over TOC.
class ChatExit {
public:
    virtual ~ChatExit() = default;

    // One finished line, routed by the chat settings.
    virtual void SendChat(const QString& Text) = 0;
    // The font prefix followed by the text.
    virtual void post(const QString& text) = 0;
};
