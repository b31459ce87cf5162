// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class LocalRoom;
class QLineEdit;
class QTextBrowser;

// "Local Room": the chat room that stands in for a chat client's window.
// What the owner types here is said by the local member. Each line of the
// transcript is drawn on its own; the transcript itself is left as it is.
class LocalRoomWindow : public QWidget {
    Q_OBJECT
public:
    explicit LocalRoomWindow(LocalRoom& room, QWidget* parent = nullptr);

private:
    void showTranscript();
    void send();

    LocalRoom& m_room;
    QTextBrowser* m_transcript;
    QLineEdit* m_input;
    QString m_shown;  // the transcript as last drawn
};
