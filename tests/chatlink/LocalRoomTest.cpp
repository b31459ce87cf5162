#include "support/SimForm.h"

#include "chatlink/LocalRoom.h"

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
    EXPECT_EQ(room.members(), (QStringList{"owner", "bob"}));
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
    EXPECT_EQ(t->lstusers.items(), QStringList{"owner"});

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
    EXPECT_TRUE(room.transcript().endsWith(QStringLiteral("<b>now \u00bb \u0412\u0441\u0451</b><FONT LANG=\"0\"></FONT>")));
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

} // namespace
