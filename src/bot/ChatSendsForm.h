// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/Values.h"

#include <QObject>

struct ChatTemplates;
class SettingsFile;
class UserInterface;

// frmChat, "Chat Sends": edits the five templates of the main form and the
// seven chat-send texts of the per-user store. The window shows these
// boxes; it calls Form_Load each time it opens (the boxes keep nothing
// between openings) and forwards its two buttons.
class ChatSendsForm : public QObject {
    Q_OBJECT
public:
    ChatSendsForm(ChatTemplates& templates, SettingsFile& settings, UserInterface& ui);

    static QString caption();  // "Chat Sends"
    static QString setAllCaption();  // "&Set Chatsends" (skinButton1)
    static QString setCaption();  // "Set" (Label5)
    static QString playLegend();  // the placeholders of the Playing box
    // The label shown beside a box ("Pre HTML:", "Playing:", ...), by the
    // box's name; empty for an unknown name.
    static QString labelOf(const QString& boxName);

    // The five template boxes.
    TextValue txtFont;
    TextValue txtPlay;
    TextValue Text1;  // ignore
    TextValue Text2;  // unignore
    TextValue txtPlaying;
    // The seven chat-send boxes.
    TextValue txtNF;
    TextValue txtARANe;
    TextValue txtARo;
    TextValue txtPause;
    TextValue txtUnpaused;
    TextValue txtStop;
    TextValue txtShow;

    // The chat-send box of a store key ("nf", "aron", ...); null for others.
    TextValue* chatSendBox(const QString& key);

    // Opening: the boxes from the main form and the store, or the design
    // texts while the main form's font prefix is empty.
    void Form_Load();
    // "&Set Chatsends": applies the templates, stores the chat sends, closes.
    void skinButton1_Click();
    // "Set": applies the templates and closes; the store is left alone.
    void Label5_Click();

private:
    void resetToDesign();
    void applyTemplates();
    void close();

    ChatTemplates& m_templates;
    SettingsFile& m_settings;
    UserInterface& m_ui;
};
