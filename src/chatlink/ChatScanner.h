#pragma once

#include "controls/ChatExit.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class FormState;
class UserInterface;
class WindowSystem;

// chat1: reads the chat room once a second and is the one exit of every
// line the program says in the room.
class ChatScanner : public QObject, public ChatExit {
    Q_OBJECT
public:
    ChatScanner(FormState& form, WindowSystem& windows, UserInterface& ui);

    // The last line already reported, the line read on the latest tick, and
    // the transcript tail when scanning was last switched on.
    QString oldlastlyne;
    QString newlastlyne;
    QString fyrsttalk;

    void scan_on();
    void scan_off();
    bool isScanning() const { return chat_tymer.isActive(); }
    // One look at the room; the timer calls it every second while scanning.
    void chat_tymer_Timer();

    void SendChat(const QString& Text) override;
    void post(const QString& text) override;
    // The HTML the chat input box puts around one typed letter.
    QString ProbeInputFormat();
    // The main form's "Chat Scan" box was clicked.
    void chkScan_Click();

    // Where lines go while the TOC bot is in use; the text has its
    // backslashes and double quotes escaped with a backslash already.
    // Without a route such lines are dropped.
    void setTocRoute(std::function<void(const QString&)> route) { m_tocRoute = std::move(route); }

Q_SIGNALS:
    // Every line handed to SendChat, before it is routed.
    void sendChatCalled(const QString& text);
    // A new line in the room: its speaker, its text and its time field.
    void aimchatscan(const QString& whosaid, const QString& whatsaid, const QString& datesaid);

private:
    FormState& m_form;
    WindowSystem& m_windows;
    UserInterface& m_ui;
    QTimer chat_tymer;
    std::function<void(const QString&)> m_tocRoute;
};
