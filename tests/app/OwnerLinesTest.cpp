// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppTest.h"
#include "chatlink/LocalRoom.h"
#include "controls/ScreenName.h"
#include "support/TestForm.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <random>

namespace {

// The program in its local room with "me" as the local member, started and
// settled: the start line has come back and made "me" the owner.
struct RoomRig : SimForm {
    LocalRoom room {desktop, QStringLiteral("me")};

    RoomRig()
    {
        form->chat1.listenTo(room);
        form->player.setOpeningWait([](double) {});
        form->Form_Load();
    }
    // Lets the room's lines be handled, as the event loop would.
    void settle()
    {
        while (form->chat1.isBusy() || form->player.isBusy())
            QCoreApplication::processEvents();
    }
    // What the program said in the room since the last call, with its
    // markup and font prefix.
    QStringList said() { return std::exchange(sent, {}); }
    // Songs in the playlist, each an empty file; settled, with nothing said.
    void songs(const QStringList& names)
    {
        for (const QString& name : names)
            EXPECT_TRUE(writeFile(dir.filePath(name + QStringLiteral(".mp3"))));
        form->library.AddDir(dir.path());
        settle();
        said();
    }
};

QString generatedName(std::mt19937& random)
{
    // Pieces a hostile member might build a name from: the owner's letters
    // in other cases and spacings, markup, comments, entities, control,
    // zero-width and look-alike characters, the line's own separators.
    static const QStringList pieces
        = QStringLiteral("me|Me|M E|m|e| |<i>|</b>|<!--|-->|&#109;|&amp;|:|: |<BR>|\r|\t|\u2028|\u200b|\u00a0|\u0435|"
                         "\u041c|\u212a|x|<!-- (10:15:02 PM) -->")
              .split(u'|');
    QString name;
    for (int n = std::uniform_int_distribution(1, 4)(random); n > 0; --n)
        name += pieces[std::uniform_int_distribution<qsizetype>(0, pieces.size() - 1)(random)];
    return name;
}

// A line acts if and only if its speaker is the owner as the service
// compares names; the owner's own lines keep acting among the strangers'.
// The program's own line comes back first; a copy said after it names
// nobody, whether it copies the start line or the Find SN tag.
TEST(OwnerLines, OnlyTheOwnersOwnLinesActEachInOrderAndNoReplyReadBackActs)
{
    RoomRig t;
    t.room.sayAs(QStringLiteral("bob"), Discovery::advertMarker() + QStringLiteral(": One"));
    t.settle();
    EXPECT_EQ(t->lbuser.caption(), "me");
    ASSERT_TRUE(t.said().contains(t->txtFont.text() + QStringLiteral("found screen name [me]")));
    t->discovery.FindSN_Click();
    const QString tag = t.said().value(0);
    t.room.sayAs(QStringLiteral("bob"), tag);
    t.settle();
    EXPECT_EQ(t->lbuser.caption(), "me");
    EXPECT_TRUE(t.said().contains(QStringLiteral("Found Screen Name: me")));
    t.room.sayAs(QStringLiteral("bob"), QStringLiteral("ver"));
    t.settle();
    EXPECT_EQ(t.said(), QStringList());

    std::mt19937 random(2212);
    int owners = 0;
    for (int i = 0; i < 400; ++i) {
        const QString name = generatedName(random);
        const bool isOwner = ScreenNameKey(name) == QLatin1String("me");
        owners += isOwner;
        t.room.sayAs(name, QStringLiteral("ver"));
        t.room.say(QStringLiteral("ver"));
        t.settle();
        EXPECT_EQ(t.said().size(), isOwner ? 2 : 1) << qPrintable(name.toUtf8().toPercentEncoding(" "));
    }
    // The generator does make names of the owner's.
    EXPECT_GT(owners, 10);

    // Lines said within one turn are each handled, in order, each after the
    // work of the one before it (a search result is started before the next
    // line is read).
    t.songs({"alpha", "beta", "love one", "love two", "love three"});
    t.room.say(QStringLiteral("p alpha"));
    t.room.sayAs(QStringLiteral("bob"), QStringLiteral("p beta"));
    t.room.say(QStringLiteral("p beta"));
    t.room.say(QStringLiteral("p alpha"));
    t.room.say(QStringLiteral("ver"));
    t.room.say(QStringLiteral("ver"));
    t.settle();
    QStringList done = t.said().filter(QRegularExpression(QStringLiteral("Playing|Quillon 3.2")));
    done.replaceInStrings(QRegularExpression(QStringLiteral(".*(alpha|beta|Quillon).*")), QStringLiteral("\\1"));
    EXPECT_EQ(done, QStringList({"alpha", "beta", "alpha", "Quillon", "Quillon"}));

    // Every line the program posts comes back as the owner's: none of its
    // replies may read as a command of its own (here the picker takes the
    // three hits, so "p love" says one line).
    const std::pair<const char*, int> commands[]
        = {{"help", 2}, {"help p", 1}, {"help dir", 1}, {"help zz", 1}, {"q", 1},
           {"vol", 1},  {"p love", 1}, {"ver", 1},      {"info", 1},    {"p?", 1}};
    for (const auto& [command, replies] : commands) {
        t.room.say(QString::fromLatin1(command));
        t.settle();
        EXPECT_EQ(t.said().size(), replies) << command;
    }
}

}  // namespace
