// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <array>

// The seven editable reply texts ("chat sends"), kept in the per-user store
// under section "cs". A reply reads its text afresh each time, so an edit
// takes effect with the next reply.
struct ChatSend {
    QString key;  // the store key
    QString label;  // its label in the Chat Sends window
    QString formDefault;  // what the window shows while the key is absent
    QString replyDefault;  // what a reply says while the key is absent
    QString designText;  // what the window shows while the font prefix is empty
};

namespace ChatSends {

inline const QString kSection = QStringLiteral("cs");

// In the order the window loads and stores them: "nf", "aron", "aroff",
// "pause", "unpause", "stop", "show".
const std::array<ChatSend, 7>& all();
// The entry of a key; an unknown key gives an entry whose texts are empty.
const ChatSend& entry(const QString& key);

// The text a reply sends: the stored text, or the reply default.
QString replyText(const QString& key);
// The text the Chat Sends window shows: the stored text, or the form default.
QString formText(const QString& key);
void store(const QString& key, const QString& text);

}  // namespace ChatSends

// The Commands window: a fixed help text and an OK button.
struct CommandHelp {
    static QString caption();  // "Commands"
    static QString okCaption();  // "&OK"
    // The help lines, each ended by CR LF: the 25 of old, then the newer
    // commands.
    static QString helpText();
};
