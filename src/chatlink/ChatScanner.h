#pragma once

#include <QObject>
#include <QString>

class MainForm;

// chat1: reads the chat room once a second and is the one exit of every
// line the program says in the room.
class ChatScanner : public QObject {
    Q_OBJECT
public:
    explicit ChatScanner(MainForm& form);

    void scan_on();
    void scan_off();
    void SendChat(const QString& Text);
    // The HTML the chat input box puts around one typed letter.
    QString ProbeInputFormat();

Q_SIGNALS:
    // Every line handed to SendChat, before it is routed.
    void sendChatCalled(const QString& text);
    void aimchatscan(QString whosaid, QString whatsaid, QString datesaid);

private:
    MainForm& m_form;
};
