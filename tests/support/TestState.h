// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chatlink/WindowSystem.h"
#include "controls/ChatExit.h"
#include "controls/ChatTemplates.h"
#include "controls/Options.h"
#include "controls/UserInterface.h"
#include "player/MediaPlayer.h"

#include <QTemporaryDir>

// A player whose state the test sets; it records what it was told.
class FakeMediaPlayer : public MediaPlayer {
    Q_OBJECT
public:
    void setUrl(const QString& url) override
    {
        urls.append(current = url);
        setState(Playing);
    }
    QString url() const override { return current; }
    PlayState playState() const override { return state; }
    Duration duration() const override { return length; }
    void play() override { calls.append(QStringLiteral("play")); }
    void pause() override { calls.append(QStringLiteral("pause")); }
    void stop() override { calls.append(QStringLiteral("stop")); }
    qint64 position() const override { return 0; }
    void setPosition(qint64 ms) override { calls.append(QStringLiteral("seek %1").arg(ms)); }
    QString streamTitle() const override { return title; }
    int volume() const override { return loudness; }
    void setVolume(int volume) override { loudness = volume; }
    // The media set would not open.
    void fail()
    {
        setState(Stopped);
        Q_EMIT mediaError(current);
    }
    void setState(PlayState s)
    {
        state = s;
        Q_EMIT playStateChanged(s);
    }

    PlayState state = Undefined;
    int loudness = 50;
    Duration length = std::chrono::seconds(205);
    QString current, title;
    QStringList urls, calls;
};

// Records what the program asked of its windows; answers input boxes with
// what the test prepared, and the file dialog as cancelled.
class FakeUserInterface : public UserInterface {
public:
    void messageBox(const QString& text, const QString& title, Icon, Closed closed) override
    {
        messages.append(title.isEmpty() ? text : title + QStringLiteral(": ") + text);
        if (closed)
            closed();
    }
    void inputBox(const QString&, const QString&, const QString&, Answered answered) override { answered(inputAnswer); }
    void openFileName(Answered answered) override { answered(QString()); }
    void addTrayIcon() override { events.append(QStringLiteral("tray+")); }
    void removeTrayIcon() override { events.append(QStringLiteral("tray-")); }
    void minimizeMainWindow() override { events.append(QStringLiteral("min")); }
    void hideMainWindow() override { events.append(QStringLiteral("hide")); }
    void showMainWindow() override { events.append(QStringLiteral("show")); }
    void showForm(Form f) override { events.append(QStringLiteral("open%1").arg(int(f))); }
    void closeForm(Form f) override { events.append(QStringLiteral("close%1").arg(int(f))); }
    int closingGeometry() const override { return geometry; }
    void setClosingGeometry(int twips) override { geometry = refuseGeometry ? geometry : twips; }
    void fileNotWritten(const QString& text) override { notWritten.append(text); }
    void endProgram() override { events.append(QStringLiteral("end")); }

    QStringList messages, notWritten, events;
    QString inputAnswer;
    int geometry = 6000;
    bool refuseGeometry = false;
};

// A desktop on which no chat client runs.
class NoWindows : public WindowSystem {
public:
    Hwnd findWindow(std::string_view) override { return 0; }
    Hwnd findChild(Hwnd, Hwnd, std::string_view) override { return 0; }
    std::intptr_t sendMessage(Hwnd, unsigned, std::uintptr_t, std::intptr_t) override { return 0; }
    std::intptr_t sendMessage(Hwnd, unsigned, std::uintptr_t, std::string&) override { return 0; }
    void doEvents() override { }
};

// What every rig holds beside the parts: a folder of its own, the doubles,
// and the lines handed to the chat exit.
struct TestDoubles {
    QTemporaryDir dir;
    FakeMediaPlayer mediaPlayer;
    FakeUserInterface ui;
    QStringList sent;
};

// The owner's options and templates and the doubles a part is built on,
// without the main form. A test derives from it, adds the parts under test
// as members, and reads it like a form: "t->library", "t->player",
// "t.sent". Its chat exit keeps every line instead of sending it.
struct TestState : ChatExit, TestDoubles {
    Options options;
    ChatTemplates templates;
    void sendLine(const QString& text) override { sent.append(text); }
    void post(const QString& text) override { sendLine(templates.font.text() + text); }

    ChatExit& chat = *this;
};

// Gives a rig the arrow of a form: "t->x" is "t.x".
template <typename Rig> struct Alone : Rig {
    Rig* operator->() { return this; }
};
