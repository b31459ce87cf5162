#pragma once

#include "controls/ChatExit.h"
#include "controls/FormState.h"
#include "support/FakeMediaPlayer.h"
#include "support/FakeUserInterface.h"

#include <QStringList>
#include <QTemporaryDir>

// A chat exit that keeps every line instead of sending it.
class RecordingChatExit : public ChatExit {
public:
    explicit RecordingChatExit(const FormState& form) : m_form(form) { }
    void SendChat(const QString& Text) override { sent.append(Text); }
    void post(const QString& text) override { SendChat(m_form.txtFont.text() + text); }

    QStringList sent;

private:
    const FormState& m_form;
};

// The holders and the doubles a Part is built on, without the main form.
// A test derives from it, adds the Part under test as a member, and reads
// it like a form: "t->List1", "t->player", "t.sent".
struct TestState : FormState {
    QTemporaryDir dir;
    FakeMediaPlayer wmp;
    FakeUserInterface ui;
    RecordingChatExit chat {*this};
    QStringList& sent = chat.sent;
};

// Gives a rig the arrow of a form: "t->x" is "t.x".
template <typename Rig> struct Alone : Rig {
    Rig* operator->() { return this; }
};
