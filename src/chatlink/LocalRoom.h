// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chatlink/SimDesktop.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdio>

// The chat room on a desktop where no chat client runs: an AIM chat window
// on the simulated desktop, where the owner (the local member) and anyone
// the owner speaks for say lines, and where the program posts its own.
class LocalRoom : public QObject {
    Q_OBJECT
public:
    // Opens the room's chat window on the desktop.
    LocalRoom(SimDesktop& desktop, QString localMember, QObject* parent = nullptr);
    ~LocalRoom() override;

    const QString& localMember() const { return m_localMember; }
    SimDesktop::AimChat window() const { return m_chat; }

    // A line said by the local member.
    void say(const QString& text);
    // A line said by another member, who joins the room with it.
    void sayAs(const QString& member, const QString& text);
    // A line typed at a terminal: "/as NAME: TEXT" is said by NAME, any
    // other line by the local member.
    void typeLine(const QString& line);

    // The transcript as the chat window holds it (HTML).
    QString transcript() const;
    // Writes every posted line to the stream, one per line, as it is posted.
    void echoPostsTo(std::FILE* stream);

    // The name of the user running the program.
    static QString loginName();

Q_SIGNALS:
    void transcriptChanged();
    // A line the program typed into the input box and sent, exactly as typed.
    void posted(const QString& line);
    // A new line of the transcript, as the window holds it (HTML, without
    // the "<BR>" before it); `bySay` for a line of the local member's own
    // (say), false for the program's posts and the lines of others.
    void lineAdded(const QString& html, bool bySay);

private:
    SimDesktop& m_desktop;
    QString m_localMember;
    SimDesktop::AimChat m_chat;
    bool m_saying = false;
};
