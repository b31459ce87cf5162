#pragma once

#include "app/AppPaths.h"
#include "app/Library.h"
#include "bot/CommandInterpreter.h"
#include "bot/Discovery.h"
#include "chatlink/SimDesktop.h"
#include "player/Player.h"
#include "support/NoWindows.h"
#include "support/TestState.h"

#include <QDir>
#include <QSettings>

#include <gtest/gtest.h>

inline const QString kOwner = QStringLiteral("Owner Me");

// The command interpreter over the holders and the Parts it acts on, with
// doubles for the rest: no main form, no scanner, no TOC client. "end"
// only marks the program as unloaded.
template <typename Desktop> struct BasicInterpreterRig : TestState {
    AppPaths paths {dir.path() + QStringLiteral("/data"), dir.path() + QStringLiteral("/config")};
    Desktop desktop;
    Player player {*this, wmp, chat};
    Library library {*this, chat, paths};
    Discovery discovery {*this, chat, player, ui};
    CommandInterpreter interpreter {*this, {chat, desktop, wmp, ui, player, library, discovery}};

    BasicInterpreterRig()
    {
        QDir().mkpath(paths.programDir);
        QObject::connect(&interpreter, &CommandInterpreter::endRequested, [this] { m_unloaded = true; });
    }
    bool isUnloaded() const { return m_unloaded; }
    BasicInterpreterRig* operator->() { return this; }

private:
    bool m_unloaded = false;
};

using InterpreterRig = BasicInterpreterRig<NoWindows>;

// Chat clients on a simulated desktop; every transcript line shows the
// time "10:15:02 PM".
struct SimInterpreterRig : BasicInterpreterRig<SimDesktop> {
    SimInterpreterRig()
    {
        desktop.clock = [] { return std::string("10:15:02 PM"); };
    }
};

// The interpreter (or a whole form) whose owner is known, as a finished
// discovery leaves it.
template <typename Form = InterpreterRig> class BotTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        forgetChatSends();
        t->lbuser.setCaption(kOwner);
        t->txtNumber.setText(Discovery::kIdle);
    }
    // The chat-send texts live in the per-user store that every test shares.
    static void forgetChatSends()
    {
        QSettings(QStringLiteral("quillon"), QStringLiteral("quillon")).remove(QStringLiteral("cs"));
    }
    // A line said in the room, handed to the chat-line handler.
    void say(const QString& who, const QString& what, const QString& date = QStringLiteral("12:00"))
    {
        t->interpreter.chat1_aimchatscan(who, what, date);
    }
    void owner(const QString& what, const QString& date = QStringLiteral("12:00")) { say(kOwner, what, date); }
    QString P() { return t->txtFont.text(); }
    // Playlist lines "name;dir/name.mp3", with List1 filled to match.
    void fill(const QStringList& names, const QString& dir = QStringLiteral("/music"))
    {
        for (const QString& name : names)
            t->List2.addItem(name + u';' + dir + u'/' + name + QStringLiteral(".mp3"));
        t->library.addSongs();
    }

    Form t;
};
