#pragma once

#include "app/MainForm.h"
#include "bot/Discovery.h"
#include "support/TestForm.h"
#include "ScriptedDesktop.h"

#include <QSettings>

// The chat-send texts live in the per-user store, which every test of one
// program shares: each test starts without any.
inline void forgetChatSends()
{
    QSettings(QStringLiteral("quillon"), QStringLiteral("quillon")).remove(QStringLiteral("cs"));
}

inline const QString kOwner = QStringLiteral("Owner Me");

// Makes the form know its owner, as a finished discovery leaves it.
inline void knowOwner(MainForm& form, const QString& owner = kOwner)
{
    form.lbuser.setCaption(owner);
    form.txtNumber.setText(Discovery::kIdle);
}

// Playlist lines "name;path" for the names, with List1 filled to match.
inline void fillPlaylist(MainForm& form, const QStringList& names, const QString& dir = QStringLiteral("/music"))
{
    for (const QString& name : names)
        form.List2.addItem(name + u';' + dir + u'/' + name + QStringLiteral(".mp3"));
    form.library.addSongs();
}

// A line said in the room, delivered the way the chat scanner delivers it.
inline void say(MainForm& form, const QString& who, const QString& what, const QString& date = QStringLiteral("12:00"))
{
    Q_EMIT form.chat1.aimchatscan(who, what, date);
}

// A main form on a desktop where the chat window runs.
using BotForm = BasicTestForm<ScriptedDesktop>;
