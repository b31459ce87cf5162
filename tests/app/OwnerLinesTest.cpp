// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppTest.h"
#include "chatlink/LocalRoom.h"
#include "controls/ScreenName.h"
#include "support/TestForm.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <random>

namespace {

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
    // The program in its local room with "me" as the local member.
    SimForm t;
    LocalRoom room {t.desktop, QStringLiteral("me")};
    t->scanner.listenTo(room);
    t->player.setOpeningTime(std::chrono::milliseconds(0));
    t->startUp();
    // Lets the room's lines be handled, as the event loop would.
    const auto settle = [&] {
        while (t->scanner.isBusy() || t->player.isBusy())
            QCoreApplication::processEvents();
    };
    // What the program said in the room since the last call, with its
    // markup and font prefix.
    const auto said = [&] { return std::exchange(t.sent, {}); };

    room.sayAs(QStringLiteral("bob"), OwnerDiscovery::advertMarker() + QStringLiteral(": One"));
    settle();
    EXPECT_EQ(t->discovery.owner().text(), "me");
    ASSERT_TRUE(said().contains(t->templates.font.text() + QStringLiteral("found screen name [me]")));
    t->discovery.findOwner();
    const QString tag = said().value(0);
    room.sayAs(QStringLiteral("bob"), tag);
    settle();
    EXPECT_EQ(t->discovery.owner().text(), "me");
    EXPECT_TRUE(said().contains(QStringLiteral("Found Screen Name: me")));
    room.sayAs(QStringLiteral("bob"), QStringLiteral("ver"));
    settle();
    EXPECT_EQ(said(), QStringList());

    std::mt19937 random(2212);
    int owners = 0;
    for (int i = 0; i < 400; ++i) {
        const QString name = generatedName(random);
        const bool isOwner = screenNameKey(name) == QLatin1String("me");
        owners += isOwner;
        room.sayAs(name, QStringLiteral("ver"));
        room.say(QStringLiteral("ver"));
        settle();
        EXPECT_EQ(said().size(), isOwner ? 2 : 1) << qPrintable(name.toUtf8().toPercentEncoding(" "));
    }
    // The generator does make names of the owner's.
    EXPECT_GT(owners, 10);

    // Lines said within one turn are each handled, in order, each after the
    // work of the one before it (a search result is started before the next
    // line is read).
    for (const char* song : {"alpha", "beta", "love one", "love two", "love three"})
        ASSERT_TRUE(writeFile(t.dir.filePath(QString::fromLatin1(song) + QStringLiteral(".mp3"))));
    t->library.addFolder(t.dir.path());
    settle();
    said();
    room.say(QStringLiteral("p alpha"));
    room.sayAs(QStringLiteral("bob"), QStringLiteral("p beta"));
    room.say(QStringLiteral("p beta"));
    room.say(QStringLiteral("p alpha"));
    room.say(QStringLiteral("ver"));
    room.say(QStringLiteral("ver"));
    settle();
    QStringList done = said().filter(QRegularExpression(QStringLiteral("Playing|Quillon 3.2")));
    done.replaceInStrings(QRegularExpression(QStringLiteral(".*(alpha|beta|Quillon).*")), QStringLiteral("\\1"));
    EXPECT_EQ(done, QStringList({"alpha", "beta", "alpha", "Quillon", "Quillon"}));

    // Every line the program posts comes back as the owner's: none of its
    // replies may read as a command of its own (here the picker takes the
    // three hits, so "p love" says one line).
    const std::pair<const char*, int> commands[]
        = {{"help", 2}, {"help p", 1}, {"help dir", 1}, {"help zz", 1}, {"q", 1},
           {"vol", 1},  {"p love", 1}, {"ver", 1},      {"info", 1},    {"p?", 1}};
    for (const auto& [command, replies] : commands) {
        room.say(QString::fromLatin1(command));
        settle();
        EXPECT_EQ(said().size(), replies) << command;
    }
}

}  // namespace
