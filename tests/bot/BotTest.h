#pragma once

#include "app/MainForm.h"
#include "bot/Discovery.h"
#include "support/TestForm.h"

#include <QSettings>

#include <gtest/gtest.h>

inline const QString kOwner = QStringLiteral("Owner Me");

// A main form whose owner is known, as a finished discovery leaves it.
template <typename Form = TestForm>
class BotTest : public ::testing::Test {
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
    // A line said in the room, delivered the way the chat scanner delivers it.
    void say(const QString& who, const QString& what, const QString& date = QStringLiteral("12:00"))
    {
        Q_EMIT t->chat1.aimchatscan(who, what, date);
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
