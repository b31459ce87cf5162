// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/ChatExit.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

struct ChatTemplates;
struct Options;
class UserInterface;
class WindowSystem;

class LocalRoom;

// scanner: reads the chat room and is the one exit of every line the program
// says in the room. Every line added to the room while scanning is on is
// reported once, oldest first; a line is new by its place in the
// transcript, not by its text, so the same words said twice are two lines.
class ChatScanner : public QObject, public ChatExit {
    Q_OBJECT
public:
    ChatScanner(const Options& options, const ChatTemplates& templates, WindowSystem& windows, UserInterface& ui);

    // How much of the end of the transcript one look reads.
    static constexpr qsizetype kTailLength = 500;

    // Lines already in the room when scanning starts are never reported.
    void startScanning();
    void stopScanning();
    // The program ends: nothing more is read or reported.
    void shutdown() { stopScanning(); }
    bool isScanning() const { return m_scanning; }
    // One look at the room: reports what was added since the last look.
    // The timer calls it every second while scanning a window that belongs
    // to another program.
    void lookForNewLines();
    // A room of our own hands over each line as it is added, so nothing
    // polls it; without such a room the chat window is read every second.
    void listenTo(LocalRoom& room);
    // While `busy` answers true, no further line is reported: the work an
    // earlier line asked for comes first.
    void holdLinesWhile(std::function<bool()> busy) { m_busy = std::move(busy); }
    static constexpr int kHeldLineRetryMs = 10;
    // Whether lines read are still to be reported (they go one a turn of
    // the event loop) or one is being handled.
    bool isBusy() const { return !m_waiting.isEmpty() || m_reporting > 0; }

    void sendLine(const QString& text) override;
    void post(const QString& text) override;
    // The HTML the chat input box puts around one typed letter.
    QString probeInputFormat();
    // The "Chat Scan" box was clicked.
    void onScanChatClicked();

    // Where lines go while the TOC bot is in use; the text has its
    // backslashes and double quotes escaped with a backslash already.
    // Without a route such lines are dropped.
    void setTocRoute(std::function<void(const QString&)> route) { m_tocRoute = std::move(route); }

Q_SIGNALS:
    // Every line handed to SendChat, before it is routed.
    void sendChatCalled(const QString& text);
    // A new line in the room: its speaker, its text and its time field. A
    // line without the client's time stamp has no speaker.
    void lineReceived(const QString& whosaid, const QString& whatsaid, const QString& datesaid);

private:
    // One line as the transcript holds it, from its "<BR>" on: split into
    // speaker, text and time field, and reported.
    void report(const QString& line);
    // Reports the oldest line waiting; the rest follow, one a turn of the
    // event loop, each after the work of the one before.
    void reportNext();
    void lineAdded(const QString& html);

    const Options& m_options;
    const ChatTemplates& m_templates;
    WindowSystem& m_windows;
    UserInterface& m_ui;
    QTimer m_scanTimer;
    std::function<void(const QString&)> m_tocRoute;
    bool m_scanning = false;
    bool m_listening = false;
    QTimer m_nextLine;
    std::function<bool()> m_busy;
    int m_reporting = 0;
    QStringList m_waiting;
    // The end of the transcript as the last look saw it, and its length.
    QString m_seenTail;
    qsizetype m_seenLength = 0;
};
