// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class ChatExit;
class Playlist;
class Player;

// The commands that let the owner drive everything from the chat alone:
// "help", "vol", the play-next queue ("q", "unq", "skip") and the choice
// among several search hits by number. They are tested before the older
// commands, on the line as typed, and a match ends its handling.
class RoomCommands : public QObject {
    Q_OBJECT
public:
    RoomCommands(const Playlist& playlist, ChatExit& chat, Player& player);

    // The owner's line; true when it was one of these commands.
    bool handle(const QString& line);

    // Several hits wait for the owner's number: the first kChoices of them
    // are listed in one line. A choice plays the song, or queues it.
    enum class Then { Play, Queue };
    void offer(const QStringList& names, Then then = Then::Play);
    // A new search has been made: a pending choice is over.
    void endChoice();
    bool choicePending() const { return !m_choice.isEmpty(); }
    // A choice not made within a minute is over: endChoice() is the tick
    // of this timer.
    const QTimer& choiceTimer() const { return m_choiceTimer; }
    static constexpr int kChoices = 9;
    static constexpr int kChoiceMs = 60000;

    // The program ends: a pending choice is over, and no timer runs.
    void shutdown() { endChoice(); }

    // The command prefix the owner types, for the help lines.
    void setPrefix(const QString& prefix) { m_prefix = prefix; }

    // Every command with its short help, in at most two lines.
    static QStringList helpLines();
    // The help of one command word; empty for a word that is none.
    static QString helpOf(const QString& word);

    // How many bytes a line takes in a chat command, escaped; at most
    // ChatExit::kLineBytes reach the room whole.
    static qsizetype wireSize(const QString& line);
    // "head 1 a · 2 b … tail", the items shortened (and, if need be, the
    // last ones left out and counted) so that the line fits.
    static QString fitList(const QString& head, const QStringList& items, const QString& tail);

private:
    void help(const QString& word);
    void volume(const QString& argument);
    void queueSearch(const QString& text);
    void enqueue(const QString& name);
    void listQueue();
    void unqueue(const QString& argument);
    void choose(int number);

    const Playlist& m_playlist;
    ChatExit& m_chat;
    Player& m_player;
    QStringList m_choice;
    QTimer m_choiceTimer;
    Then m_then = Then::Play;
    QString m_prefix;
};
