// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/AppPaths.h"
#include "app/Library.h"
#include "app/SettingsFile.h"
#include "bot/ChatSendsEditor.h"
#include "bot/CommandInterpreter.h"
#include "bot/OwnerDiscovery.h"
#include "chatlink/SimDesktop.h"
#include "player/Player.h"
#include "player/SongFile.h"
#include "support/FreshSettings.h"
#include "support/QtPrinters.h"
#include "support/TestState.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

inline const QString kOwner = QStringLiteral("Owner Me");

// The interpreter over the parts it reads and acts on, with doubles
// for the rest, and the owner in a chat window with three other members.
struct InterpreterRig : TestState {
    OwnSettings ownSettings {dir.path() + QStringLiteral("/store")};
    AppPaths paths {dir.path() + QStringLiteral("/data"), dir.path() + QStringLiteral("/config")};
    SimDesktop desktop;
    SimDesktop::AimChat chatWindow = desktop.openAimChat("Owner Me");
    Library library {chat, paths};
    Player player {library.playlist(), templates, options.autoRandom, mediaPlayer, chat};
    OwnerDiscovery discovery {chat, player, ui};
    CommandInterpreter interpreter {{options, templates, chat, desktop, mediaPlayer, ui, player, library, discovery}};
    SettingsFile settings {templates, paths};
    ChatSendsEditor chatSends {templates, settings, ui};
    QStringList offered;  // the names the song picker was given
    bool unloaded = false;  // "end" was obeyed

    InterpreterRig()
    {
        QDir().mkpath(paths.programDir);
        for (const char* member : {"Bob", "Bobby", "Carol Ann"})
            desktop.addMember(chatWindow.window, member);
        QObject::connect(&interpreter, &CommandInterpreter::endRequested, [this] { unloaded = true; });
        QObject::connect(&player, &Player::songsOffered, [this](const QStringList& names) { offered = names; });
    }
};

// The owner known, as a finished discovery leaves it.
class BotTest : public ::testing::Test {
protected:
    void SetUp() override { t->discovery.owner().setText(kOwner); }
    void say(const QString& who, const QString& what, const QString& date = QStringLiteral("12:00"))
    {
        t->interpreter.handleLine(who, what, date);
        // A song's file is looked at off the main thread: the line's work
        // is done once its song has been announced.
        while (t->player.isStarting())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    void owner(const QString& what, const QString& date = QStringLiteral("12:00")) { say(kOwner, what, date); }
    QString fontPrefix() { return t->templates.font.text(); }
    // Songs open at once, and every song's file is there to play.
    void everySongPlays()
    {
        t.player.setOpeningTime(std::chrono::milliseconds(0));
        t.player.setFileCheck([](const QString&) { return QtFuture::makeReadyFuture(SongFile()); });
    }
    // Playlist rows "name;dir/name.mp3".
    void fill(const QStringList& names, const QString& dir = QStringLiteral("/music"))
    {
        for (const QString& name : names)
            t->library.playlist().addItem(name + u';' + dir + u'/' + name + QStringLiteral(".mp3"));
    }
    QStringList ignored()
    {
        QStringList members {QStringLiteral("Owner Me"), QStringLiteral("Bob"), QStringLiteral("Bobby"),
                             QStringLiteral("Carol Ann")};
        members.removeIf([&](const QString& m) { return !t.desktop.isIgnored(t.chatWindow.window, m.toStdString()); });
        return members;
    }

    Alone<InterpreterRig> t;
};
