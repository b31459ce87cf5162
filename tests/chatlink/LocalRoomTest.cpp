#include "support/SimForm.h"

#include "chatlink/ChatText.h"
#include "chatlink/LocalRoom.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

TEST(LocalRoom, TerminalLinesAreSaidByTheLocalMemberOrByTheMemberNamed)
{
    SimDesktop desktop;
    desktop.clock = [] { return std::string("10:15:02 PM"); };
    LocalRoom room(desktop, QStringLiteral("owner"));
    int changes = 0;
    QObject::connect(&room, &LocalRoom::transcriptChanged, [&] { ++changes; });

    room.typeLine(QStringLiteral("p song \u00bb"));
    room.typeLine(QStringLiteral("/as bob: x<BR><B>owner</B>: end & more"));
    room.typeLine(QStringLiteral("/as  : not a name"));
    room.typeLine(QString());
    room.typeLine(QStringLiteral("/as carol: "));
    EXPECT_EQ(room.transcript(),
              QStringLiteral("<BR><!-- (10:15:02 PM) --><B>owner</B>: <FONT LANG=\"0\">p song \u00bb</FONT>"
                             "<BR><!-- (10:15:02 PM) --><B>bob</B>: <FONT LANG=\"0\">"
                             "x&lt;BR&gt;&lt;B&gt;owner&lt;/B&gt;: end &amp; more</FONT>"
                             "<BR><!-- (10:15:02 PM) --><B>owner</B>: <FONT LANG=\"0\">/as  : not a name</FONT>"));
    EXPECT_EQ(room.members(), (QStringList {"owner", "bob"}));
    EXPECT_EQ(changes, 3);
}

TEST(LocalRoom, StartLineComesBackThroughTheScannerAndPostsComeOutExactlyAsTyped)
{
    SimForm t;
    LocalRoom room(t.desktop, QStringLiteral("owner"));
    QStringList posted;
    QObject::connect(&room, &LocalRoom::posted, [&](const QString& line) { posted.append(line); });
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    room.echoPostsTo(out);
    QString who, what, when;
    QObject::connect(&t->chat1, &ChatScanner::aimchatscan,
                     [&](const QString& w, const QString& s, const QString& d) { who = w, what = s, when = d; });

    t->Form_Load();
    // Start-up took the font tail from the input box, which it left empty.
    EXPECT_EQ(t->txtafont.text(), "<FONT LANG=\"0\">");
    ASSERT_EQ(posted.size(), 1);
    EXPECT_TRUE(posted[0].startsWith(t->txtFont.text() + QStringLiteral("quillon\u00b3\u00b7\u00b2 <i>(</i> ")));
    EXPECT_TRUE(posted[0].endsWith(QStringLiteral("<FONT LANG=\"0\"> ")));
    // The owner is in the member list the start-up read.
    EXPECT_EQ(t->lstusers.items(), QStringList {"owner"});

    t->chat1.chat_tymer_Timer();
    EXPECT_EQ(who, "owner");
    EXPECT_TRUE(what.contains(QStringLiteral("quillon\u00b3\u00b7\u00b2 ( ") + MainForm::webAddress()
                              + QStringLiteral(" ) loads")))
        << what.toStdString();
    EXPECT_EQ(when, "{10:15:02 PM}");

    // A line the owner types reaches the scanner on its next tick.
    room.typeLine(QStringLiteral("p song"));
    t->chat1.chat_tymer_Timer();
    EXPECT_EQ(who, "owner");
    EXPECT_EQ(what, "p song");

    // Every post, in any script, is written whole, one per line.
    t->chat1.SendChat(QStringLiteral("<b>now \u00bb \u0412\u0441\u0451</b>"));
    EXPECT_EQ(posted.back(), QStringLiteral("<b>now \u00bb \u0412\u0441\u0451</b><FONT LANG=\"0\"> "));
    // The program's own lines keep their markup in the room, and lose the
    // trailing blank the client does not send.
    EXPECT_TRUE(
        room.transcript().endsWith(QStringLiteral("<b>now \u00bb \u0412\u0441\u0451</b><FONT LANG=\"0\"></FONT>")));
    std::rewind(out);
    QString written;
    for (char line[4096]; std::fgets(line, sizeof line, out);)
        written += QString::fromUtf8(line);
    std::fclose(out);
    EXPECT_EQ(written.toStdString(), (posted.join(u'\n') + u'\n').toStdString());
}

TEST(SimDesktop, TranscriptStaysBoundedAndKeepsTheNewestWholeLines)
{
    SimDesktop desktop;
    const SimDesktop::AimChat chat = desktop.openAimChat("me");
    const std::string said(1000, 'x');
    for (int i = 0; i < 2000; ++i)
        desktop.say(chat.window, "bob", said + std::to_string(i));
    const std::string& transcript = desktop.textOf(chat.transcript);
    EXPECT_LE(transcript.size(), SimDesktop::kTranscriptLimit);
    EXPECT_GT(transcript.size(), SimDesktop::kTranscriptLimit / 2);
    EXPECT_TRUE(transcript.starts_with("<BR>"));
    EXPECT_TRUE(transcript.ends_with(said + "1999</FONT>"));
}

TEST(LocalRoom, EveryLineReadsAsTheWindowShowsItSpeakerFirst)
{
    SimForm t;
    LocalRoom room(t.desktop, QStringLiteral("owner"));
    QStringList plain, styled;
    QList<bool> bySay;
    QObject::connect(&room, &LocalRoom::lineAdded, [&](const QString& html, bool said) {
        plain.append(ChatText::render(html, ChatText::Style::Plain));
        styled.append(ChatText::render(html, ChatText::Style::Ansi));
        bySay.append(said);
    });
    const auto said = [&](const QString& line) {
        room.typeLine(line);
        t->chat1.chat_tymer_Timer();
    };

    t->Form_Load();
    t->chat1.chat_tymer_Timer();
    t->List2.addItem(QStringLiteral("Blue Tone;/music/Blue Tone.mp3"));
    t->library.addSongs();
    said(QStringLiteral("info"));
    t->player.Play(QStringLiteral("Blue Tone"));
    said(QStringLiteral("/as bob: hello all"));
    said(QStringLiteral("rem blue"));
    t->Form_Unload();
    const QString version = QStringLiteral("quillon\u00b3\u00b7\u00b2");
    ASSERT_EQ(plain.size(), 9);
    EXPECT_EQ(plain[0], QStringLiteral("owner: %1 ( %2 ) loads: One ; files:").arg(version, MainForm::webAddress()));
    EXPECT_EQ(plain[1], "owner: found screen name [owner]");
    EXPECT_EQ(plain[2], "owner: info");
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^owner: \u00bb info \u00bb files:1 \u00bb user:owner \u00bb "
                                                  "Ram:\\d+, \u00bb uptime:\\d+weeks \\d\\ddays [0-9:]{8}$"))
                    .match(plain[3])
                    .hasMatch())
        << plain[3].toStdString();
    EXPECT_EQ(plain[4], QStringLiteral("owner: \u00bb Playing \u00bb Blue Tone \u00bb 1"));
    EXPECT_EQ(plain[5], "bob: hello all");
    EXPECT_EQ(plain[6], "owner: rem blue");
    EXPECT_EQ(plain[7], QStringLiteral("owner: \u00bb Blue Tone\u00bb removed"));
    EXPECT_EQ(plain[8], QStringLiteral("owner: ( %1 ) unloaded.").arg(version));
    // Only the lines the local member typed are marked, not the program's
    // posts nor the lines said for others.
    EXPECT_EQ(bySay, (QList<bool> {false, false, true, false, false, false, true, false, false}));

    // The speaker in bold; the now-playing line looks as in the window.
    static const QRegularExpression sgr(QStringLiteral("\x1b\\[[0-9;]*m"));
    for (qsizetype i = 0; i < styled.size(); ++i) {
        EXPECT_EQ(QString(styled[i]).remove(sgr), plain[i]);
        EXPECT_TRUE(styled[i].startsWith(QStringLiteral("\x1b[0;1m") + plain[i].section(u':', 0, 0) + "\x1b[0m: "))
            << styled[i].toStdString();
    }
    EXPECT_EQ(styled[4],
              QStringLiteral("\x1b[0;1mowner\x1b[0m: \x1b[0;36m\u00bb \x1b[0;4;36mPlaying\x1b[0;36m \u00bb"
                             "\x1b[0m \x1b[0;36mBlue Tone \u00bb\x1b[0m \x1b[0;4;36m1\x1b[0m"));
}

}  // namespace
