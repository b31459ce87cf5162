// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/TextList.h"

#include <QObject>

class ChatExit;
class Player;
class UserInterface;

// "Select A Song": offers the names of several search results. While it is
// open the player offers no others.
class SongPicker : public QObject {
    Q_OBJECT
public:
    SongPicker(Player& player, ChatExit& chat, UserInterface& ui);

    static const QString kCaption;  // "Select A Song"

    // The names offered.
    TextList& names() { return m_names; }
    bool isOpen() const;

    void open(const QStringList& names);
    // A click on a name plays it; "Cancel" says so in the room.
    void pick(int index);
    void cancel();
    // The window closes, whichever way: the results are dropped, once.
    void onClosed();

private:
    void close();

    TextList m_names;
    Player& m_player;
    ChatExit& m_chat;
    UserInterface& m_ui;
};
