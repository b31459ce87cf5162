// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ListBox.h"

#include <QObject>

class ChatExit;
class FormState;
class Player;
class UserInterface;

// "Select A Song": offers the names of several search results. While it is
// open the main form's "music" flag keeps a second one from opening.
class SongPicker : public QObject {
    Q_OBJECT
public:
    SongPicker(FormState& form, Player& player, ChatExit& chat, UserInterface& ui);

    static const QString kCaption;  // "Select A Song"

    ListBox List1;  // the names offered

    void open(const QStringList& names);
    // A click on a name plays it; "Cancel" says so in the room.
    void List1_Click(int index);
    void Cancel_Click();
    // The window closes, whichever way: the results are dropped, once.
    void Form_Unload();

private:
    void close();

    FormState& m_form;
    Player& m_player;
    ChatExit& m_chat;
    UserInterface& m_ui;
    bool m_open = false;
};
