// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/Values.h"

#include <QObject>

#include <functional>
#include <vector>

struct ChatTemplates;
class SettingsFile;
class UserInterface;

// "Chat Sends": edits five of the notice templates and the seven chat-send
// texts of the per-user store. The window shows the texts below; it calls
// open() each time it opens (they keep nothing between openings) and
// forwards its two buttons.
class ChatSendsEditor : public QObject {
    Q_OBJECT
public:
    ChatSendsEditor(ChatTemplates& templates, SettingsFile& settings, UserInterface& ui);

    static QString caption();  // "Chat Sends"
    static QString setAllCaption();  // "&Set Chatsends"
    static QString setCaption();  // "Set"
    static QString playLegend();  // the placeholders of the Playing text

    // The texts as the window edits them, before they are set.
    struct Texts {
        TextValue font;
        TextValue playing;
        TextValue ignored;
        TextValue unignored;
        TextValue playingTitle;
        TextValue notFound;
        TextValue autoRandomOn;
        TextValue autoRandomOff;
        TextValue paused;
        TextValue unpaused;
        TextValue stopped;
        TextValue shown;
    };
    Texts texts;

    // A text with its label, in the order the window shows them.
    struct Row {
        QString label;
        std::reference_wrapper<TextValue> text;
    };
    std::vector<Row> rows();

    // The chat-send text of a store key ("nf", "aron", ...); null for others.
    TextValue* chatSend(const QString& key);

    // Opening: the texts from the templates and the store, or the design
    // texts while the font prefix is empty.
    void open();
    // "&Set Chatsends": applies the templates, stores the chat sends, closes.
    void setAll();
    // "Set": applies the templates and closes; the store is left alone.
    void set();

private:
    void resetToDesign();
    void applyTemplates();
    void close();

    ChatTemplates& m_templates;
    SettingsFile& m_settings;
    UserInterface& m_ui;
};
