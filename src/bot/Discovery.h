// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class ChatExit;
class FormState;
class Player;
class UserInterface;

// Learns the owner's screen name from the room: a line Quillon posts comes
// back with its speaker, and that speaker is the owner. The state lives in
// the main form's txtNumber: "kkk" while the start-up advert is on its way,
// a tag number while a "Find SN" line is, and kIdle otherwise.
class Discovery : public QObject {
    Q_OBJECT
public:
    Discovery(FormState& form, ChatExit& chat, Player& player, UserInterface& ui);

    // Three control characters no chat line carries.
    static const QString kIdle;
    static const QString kWarning;

    // The start line's web address, a per-user setting.
    static QString webAddress();
    // What the returning start-up advert contains once its tags are gone.
    static QString advertMarker();

    // "Find SN" (both buttons): posts a tag and waits for it to come back.
    void FindSN_Click();

    // The two tests every chat line meets before the owner gate, then the
    // reset to idle. `said` is the text as it came, `whatsaid` the same
    // text cut at its first "/".
    void lineSeen(const QString& whosaid, const QString& said, const QString& whatsaid);

    // Warns once when no line has revealed the owner.
    void Timer2_Timer();
    QTimer Timer2;

private:
    FormState& m_form;
    ChatExit& m_chat;
    Player& m_player;
    UserInterface& m_ui;
};
