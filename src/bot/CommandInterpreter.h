// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "bot/RoomCommands.h"

#include <QObject>
#include <QString>

#include <functional>
#include <span>

class ChatExit;
struct ChatTemplates;
class Library;
struct Options;
class OwnerDiscovery;
class MediaPlayer;
class Player;
class UserInterface;
class WindowSystem;

// The handler of the room's lines: lets discovery see every line, obeys
// the owner's commands and answers in the room. It keeps nothing between
// calls but the member list it last read, so a line that arrives while a
// command waits for events is handled to its end inside that wait, and the
// waiting command then goes on.
class CommandInterpreter : public QObject {
    Q_OBJECT
public:
    // What the commands read and act on.
    struct Uses {
        const Options& options;
        const ChatTemplates& templates;
        ChatExit& chat;
        WindowSystem& windows;
        MediaPlayer& mediaPlayer;
        UserInterface& ui;
        Player& player;
        Library& library;
        OwnerDiscovery& discovery;
    };

    explicit CommandInterpreter(Uses uses);

    // One line of the room: the speaker, the text, and the line's time
    // field ("0" in bot mode).
    void handleLine(const QString& whosaid, QString whatsaid, const QString& datesaid);
    // The owner's text, past the owner test: what it commands is done and
    // answered in the room. The desktop's media keys come in here too, so
    // the room hears of them as of the owner's own commands.
    void obey(const QString& whatsaid);

    // When set, only the owner's lines that begin with it (letter case
    // aside) are commands, taken without it; the rest is chat. Empty: every
    // owner line is a command.
    QString prefix() const { return m_prefix; }
    // For this run; the caller has checked it.
    void setPrefix(const QString& prefix);
    // What is wrong with a prefix, for people; empty when it can be used.
    static QString prefixProblem(const QString& prefix);
    // The per-user store's prefix ([room] prefix).
    static QString storedPrefix();
    static const QString kPrefixGroup;  // "room"
    static const QString kPrefixKey;  // "prefix"
    static constexpr qsizetype kPrefixMax = 16;
    // Stores it and uses it from now on; the problem, and nothing done,
    // when it cannot be used.
    QString storePrefix(const QString& prefix);

    // help, vol, the queue and the choice among hits.
    RoomCommands commands;
    // The program ends: nothing waits for the owner any more.
    void shutdown() { commands.shutdown(); }

    // On the route to a TOC server, a command that would send more than
    // kBulkLines lines at once sends the first kBulkShown and one line
    // that counts the rest.
    static constexpr int kBulkLines = 5;
    static constexpr int kBulkShown = 3;

    // Reads the chat window's member list, as ignore does.
    void readMembers();
    const QStringList& members() const { return m_members; }

    // The machine texts of "info"; a test puts fixed texts here.
    std::function<QString()> ramText;
    std::function<QString()> uptimeText;

Q_SIGNALS:
    // The owner said "end": the program shuts down.
    void endRequested();

private:
    // Whether the tests after a command still see the line.
    enum class Flow { GoOn, Stop };
    // How a command's word is looked for in the text.
    enum class Match {
        Starts,  // the first characters, lower-cased, are the word
        StartsAsTyped,  // the first characters are the word, letter case and all
        Is,  // the whole text is the word, letter case and all
        IsAnyCase,  // the whole text, lower-cased, is the word
    };
    // What the text becomes for the command and every test after it.
    enum class Argument {
        None,  // it stays as it is
        Rest,  // what follows the word
        WithoutBlanks,  // what follows the word, its blanks taken out
    };
    struct Command {
        QLatin1String word;
        Match match;
        Argument argument;
        // Gets the text as the argument left it and as it was before.
        Flow (*run)(CommandInterpreter&, const QString& text, const QString& typed);
    };
    // The older commands, in the order they are tried.
    static std::span<const Command> commandTable();
    static bool matches(const QString& text, const Command& command);
    // Walks the table from the given row on.
    void obeyFrom(QString whatsaid, std::size_t first);

    Flow ignoreCommand(const QString& name, const QString& typed, bool unignore);
    void search(const QString& t);
    void playRandom();
    void deleteLine(const QString& path);
    void removeEntries(const QString& text);
    void clearTranscript();
    void infoLine();
    void driveLine(const QString& whatsaid);
    void step(int by);

    void send(const QString& line);
    // The font prefix, then the text.
    void sendNotice(const QString& text);

    Uses m_uses;
    QStringList m_members;
    QString m_prefix;
};
