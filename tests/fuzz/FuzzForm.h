#pragma once

#include "FuzzInput.h"
#include "support/TestForm.h"

#include <QCoreApplication>

// The form the fuzzed lines reach: a short playlist, an owner, replies
// allowed, and an opening wait that does not sleep (the player is a fake,
// so there is nothing to wait for).
template <typename Form> void prepareForm(Form& t, const QString& owner)
{
    t.reset();
    t->player.setOpeningWait([](double) {});
    t->lbuser.setCaption(owner);
    t->chkChat.setValue(1);
    t->List2.addItems({QStringLiteral("Alpha Song;/music/Alpha Song.mp3"),
                       QStringLiteral("Beta Song;/music/Beta Song.mp3"),
                       QStringLiteral("Beta Remix;/music/Beta Remix.wma")});
    t->library.addSongs();
}

// What every command leaves true: the shown playlist matches its lines.
template <typename Form> void checkForm(Form& t)
{
    fuzzCheck(t->List1.count() == t->List2.count(), "one shown name per playlist line");
}

// Lets the timers due on the next turn (the search results) run.
inline void serveEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}
