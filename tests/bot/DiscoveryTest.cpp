// SPDX-License-Identifier: GPL-3.0-or-later
#include "BotTest.h"

#include "chatlink/AimChat.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// What start-up leaves: the advert on its way, nobody known, and the
// warning timer running.
struct StartedRig : Alone<InterpreterRig> {
    StartedRig() { discovery.awaitAdvert(); }
    void say(const QString& who, const QString& what, const QString& date = QStringLiteral("12:00"))
    {
        interpreter.handleLine(who, what, date);
    }
};

// The start-up advert as the room shows it back: without its tags.
QString returningAdvert()
{
    return aimchat::stripTags(OwnerDiscovery::advertLine(QStringLiteral("One "), QStringLiteral("Zero ")));
}

TEST(Discover, OnlyTheFirstLineAfterStartUpCanRevealTheOwner)
{
    const QString unknown = OwnerDiscovery::kUnknownOwner;
    const QString advert = returningAdvert();
    using Line = std::tuple<QString, QString, QString>;  // speaker, text, time field
    const std::pair<QList<Line>, QString> cases[] = {
        {{{u"Real Owner"_s, advert, u"12:00"_s}}, u"Real Owner"_s},
        // A line with markup in its time field is not a member's line: it is passed over.
        {{{u"Real Owner"_s, advert, u"<font color=red>"_s}, {u"Real Owner"_s, advert, u"0"_s}}, u"Real Owner"_s},
        {{{u""_s, advert, u"12:00"_s}, {u"Real Owner"_s, advert, u"12:00"_s}}, unknown},
        {{{u"Bob"_s, u"hello"_s, u"12:00"_s}, {u"Real Owner"_s, advert, u"12:00"_s}}, unknown},
        {{{u"Mallory"_s, u"look: "_s + OwnerDiscovery::advertMarker() + u"!"_s, u"12:00"_s},
          {u"Real Owner"_s, advert, u"12:00"_s}},
         u"Mallory"_s},
        // Waiting for the advert is no tag out: no tag line answers it.
        {{{u"Mallory"_s, u"[kkk] Finding SN"_s, u"12:00"_s}, {u"Real Owner"_s, advert, u"12:00"_s}}, unknown},
    };
    for (const auto& [lines, revealed] : cases) {
        StartedRig t;
        const QString row = std::get<0>(lines.first()) + u'/' + std::get<2>(lines.first());
        EXPECT_TRUE(t.discovery.warningTimer().isActive()) << qPrintable(row);
        for (const auto& [who, what, date] : lines)
            t.say(who, what, date);
        EXPECT_EQ(t.discovery.owner().text(), revealed) << qPrintable(row);
        EXPECT_EQ(t.sent,
                  revealed == unknown
                      ? QStringList()
                      : QStringList {t.templates.font.text() + u"found screen name ["_s + revealed + u']'})
            << qPrintable(row);
        EXPECT_EQ(t.discovery.stage(), OwnerDiscovery::Stage::Idle) << qPrintable(row);
        // The warning comes once, and only while the owner is unknown.
        t.discovery.warnIfUnknown();
        EXPECT_FALSE(t.discovery.warningTimer().isActive()) << qPrintable(row);
        EXPECT_EQ(t.ui.messages, revealed == unknown ? QStringList {OwnerDiscovery::kWarning} : QStringList())
            << qPrintable(row);
    }
}

TEST(Discover, FindSNPostsATagWhoseReturnNamesTheOwnerOnce)
{
    StartedRig t;
    t.say(u"Bob"_s, u"hi"_s);
    t.discovery.warnIfUnknown();
    t.discovery.findOwner();
    EXPECT_TRUE(t.discovery.warningTimer().isActive());
    const QString tagLine = t.sent.last();
    EXPECT_EQ(t.discovery.stage(), OwnerDiscovery::Stage::AwaitingTag);
    EXPECT_EQ(tagLine, u'[' + QString::number(t.discovery.tag()) + u"] Finding SN"_s);

    t.say(u"Owner Two"_s, tagLine + u"/compared after the slash cut"_s);
    t.say(u"Bob"_s, tagLine);
    EXPECT_EQ(t.discovery.owner().text(), u"Owner Two"_s);
    EXPECT_EQ(t.sent.last(), u"Found Screen Name: Owner Two"_s);

    // The tag's return ends the search: saying it again names nobody.
    t.say(u"Mallory"_s, tagLine);
    EXPECT_EQ(t.discovery.owner().text(), u"Owner Two"_s);

    // Once the program ends, no warning is due.
    t.discovery.shutdown();
    EXPECT_FALSE(t.discovery.warningTimer().isActive());
}

// Every command said by anyone but the owner, or not as a member's line,
// changes nothing. Names are told apart as the service tells them: letter
// case and blanks do not count, anything else does.
TEST_F(BotTest, NobodyButTheOwnerCommands)
{
    const QString music = t.dir.path() + "/music";
    QDir().mkpath(music);
    for (const QString& name : QStringList {"alpha", "stop"})
        QFile(music + u'/' + name + ".mp3").open(QIODevice::WriteOnly);
    fill({"alpha", "stop"}, music);
    const auto state = [&] {
        return t->library.playlist().names() + t->library.playlist().items() + t->player.searchResults().items()
            + ignored() + QDir(music).entryList() + t.mediaPlayer.urls + t.mediaPlayer.calls + t.ui.events
            + t.ui.messages
            + QStringList {QString::number(t->library.playlist().selectedRow()), t->discovery.owner().text(),
                           QString::number(t.unloaded)};
    };
    const QStringList lines
        = QStringLiteral("x bob|unx bob|p?|p alpha|r|r alpha|url a.org|ar|xar|cpl|rem a|clr|info|ver|drive \\|stop|"
                         "pause|unpause|next|prev|tray|show|min|end|del %1\\*|dir %1|found screen name|"
                         "[kkk] Finding SN|[%2] Finding SN|%3")
              .arg(QString(music).replace(u'/', u'\\'), QString::number(t->discovery.tag()),
                   OwnerDiscovery::advertMarker())
              .split(u'|');
    // Look-alikes: a zero-width or no-break space, a Cyrillic O, markup.
    const QStringList strangers
        = QStringLiteral("Bob||  |Owner Me\u200b|Owner\u00a0Me|\u041ewner Me|Owner_Me|<b>Owner Me</b>|Owner Me\t")
              .split(u'|');
    const QStringList before = state();
    for (const QString& line : lines) {
        for (const QString& who : strangers)
            say(who, line);
        for (const char* date : {"<font>", "FONT", "<FoNt size=2>"})
            owner(line, date);
    }
    // Nor does anyone while the owner is unknown, even named like the placeholder.
    t->discovery.owner().setText(OwnerDiscovery::kUnknownOwner);
    say(OwnerDiscovery::kUnknownOwner.trimmed(), "ver");
    EXPECT_TRUE(t.sent.isEmpty()) << qPrintable(t.sent.value(0));
    t->discovery.owner().setText(kOwner);
    EXPECT_EQ(state(), before);

    for (const char* same : {"owner me", "OwnerMe", " Owner Me ", "Owner  Me", "OWNER ME"}) {
        t.sent.clear();
        say(same, "ver");
        EXPECT_EQ(t.sent.size(), 1) << same;
    }
}

}  // namespace
