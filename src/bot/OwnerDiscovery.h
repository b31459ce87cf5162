// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/Values.h"

#include <QObject>
#include <QString>
#include <QTimer>

class ChatExit;
class Player;
class UserInterface;

// Learns the owner's screen name from the room: a line Quillon posts comes
// back with its speaker, and that speaker is the owner. It waits for the
// start-up advert, or for the tag of a "Find SN" line, or for nothing.
class OwnerDiscovery : public QObject {
    Q_OBJECT
public:
    enum class Stage { Idle, AwaitingAdvert, AwaitingTag };

    OwnerDiscovery(ChatExit& chat, Player& player, UserInterface& ui);

    // What the owner label shows until a line reveals the owner.
    static const QString kUnknownOwner;
    static const QString kWarning;

    // The program's mark in the lines it posts at start and at the end.
    static const QString kProgramMark;
    // The start line's web address, a per-user setting.
    static QString webAddress();
    // The start-up advert, posted once at start with the start count and
    // the playlist's size in words; its return names the owner.
    static QString advertLine(const QString& loads, const QString& files);
    // What the returning start-up advert contains once its tags are gone.
    static QString advertMarker();

    // The owner's screen name as shown, kUnknownOwner while none is known.
    TextValue& owner() { return m_owner; }
    const TextValue& owner() const { return m_owner; }
    Stage stage() const { return m_stage; }
    // The tag of the "Find SN" line out, while the stage is AwaitingTag.
    int tag() const { return m_tag; }

    // The start-up advert is about to be posted.
    void awaitAdvert() { m_stage = Stage::AwaitingAdvert; }
    // "Find SN" (both buttons): posts a tag and waits for it to come back.
    void findOwner();

    // The two tests every chat line meets before the owner gate, then the
    // return to idle. `said` is the text as it came, `whatsaid` the same
    // text cut at its first "/".
    void lineSeen(const QString& whosaid, const QString& said, const QString& whatsaid);

    // Warns once when no line has revealed the owner: the tick of the
    // warning timer, which runs four seconds after start-up or "Find SN".
    void warnIfUnknown();
    const QTimer& warningTimer() const { return m_warningTimer; }
    // The program ends: no warning comes any more.
    void shutdown();

private:
    QTimer m_warningTimer;
    ChatExit& m_chat;
    Player& m_player;
    UserInterface& m_ui;
    TextValue m_owner {kUnknownOwner};
    Stage m_stage = Stage::Idle;
    int m_tag = 0;
};
