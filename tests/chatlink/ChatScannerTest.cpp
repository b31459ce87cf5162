// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/ChatScanner.h"
#include "chatlink/LocalRoom.h"
#include "chatlink/SimDesktop.h"
#include "support/TestState.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <utility>

namespace {

using Lines = std::vector<std::string>;

// The scanner on a simulated desktop whose transcript stamps "10:15:02 PM";
// it keeps every line it reports.
struct ScannerRig : TestState {
    SimDesktop desktop;
    ChatScanner scanner {options, templates, desktop, ui};
    SimDesktop::AimChat chat = desktop.openAimChat("me");
    Lines said;

    ScannerRig()
    {
        desktop.clock = [] { return std::string("10:15:02 PM"); };
        QObject::connect(&scanner, &ChatScanner::sendChatCalled, [this](const QString& text) { sent.append(text); });
        QObject::connect(&scanner, &ChatScanner::lineReceived,
                         [this](const QString& who, const QString& what, const QString& when) {
                             // A tick from inside a line's work must wait for it.
                             EXPECT_TRUE(scanner.isBusy());
                             said.push_back((who + " | " + what + " | " + when).toStdString());
                         });
    }
    void setTranscript(std::string html) { desktop.sendMessage(chat.transcript, wm::SETTEXT, 0, html); }
    void append(const std::string& html) { setTranscript(desktop.textOf(chat.transcript) + html); }
    // The lines reported by the next tick (the lines after its first go
    // one a turn of the event loop).
    Lines tick()
    {
        scanner.lookForNewLines();
        while (scanner.isBusy())
            QCoreApplication::processEvents();
        return std::exchange(said, {});
    }
};

// Every line added is reported once, in order, as speaker, text and time
// field; lines there before scanning starts, or said while it is off, never.
TEST(ChatScanner, ReportsEveryLineAddedOnceInOrderAndRoutesWhatItSendsByTheCheckBoxes)
{
    const std::pair<const char*, Lines> cases[] = {
        // The final ">" goes with the last line, the unclosed tag with the tags.
        {"<BR><!-- (10:15:02 PM) --><B>alice</B>: !play a:b</FONT></BODY>", {"alice | !play a:b | {10:15:02 PM}"}},
        // Plain text at the end loses two characters; with no time comment
        // the field runs over the line from its sixth character, and a line
        // the client did not stamp has no speaker.
        {"<BR>alice: hello", {" | hel | {lice: hel}"}},
        // A line break in any letter case; entities stay, stray ">" go.
        {"<br><!-- (1:00:01 AM) --><B>dave</B>: a &amp; b > c</FONT>", {"dave | a &amp; b  c | {1:00:01 AM}"}},
        // A member's raw markup that makes a line of its own, with a time
        // comment that is no time: nobody said the second line.
        {"<BR><!-- (1:00:03 AM) --><B>eve</B>: x<BR><!-- (me) --><B>me</B>: end</FONT>",
         {"eve |  | {1:00:03 AM}", " | end | {me}"}},
    };
    Alone<ScannerRig> t;
    t.setTranscript("<BR><B>bob</B>: earlier</FONT>");
    t->scanner.startScanning();
    EXPECT_EQ(t.tick(), Lines {});
    EXPECT_EQ(t.desktop.textOf(0), "");
    for (const auto& [line, expected] : cases) {
        t.append(line);
        EXPECT_EQ(t.tick(), expected);
    }
    // A line longer than one look reads has no line break in the tail:
    // there is no line to report, and the look says it missed some.
    t.append("<BR>" + std::string(600, 'x'));
    EXPECT_EQ(t.tick(), Lines {});
    EXPECT_EQ(t.tick(), Lines {});

    const auto line = [](const std::string& who, const std::string& what) {
        return "<BR><!-- (2:00:00 AM) --><B>" + who + "</B>: " + what + "</FONT>";
    };
    // Three lines within one second, two of them the same words: each is
    // a line of its own, by its place.
    t.append(line("me", "next") + line("bob", "hi") + line("me", "next"));
    EXPECT_EQ(t.tick(), (Lines {"me | next | {2:00:00 AM}", "bob | hi | {2:00:00 AM}", "me | next | {2:00:00 AM}"}));
    EXPECT_EQ(t.tick(), Lines {});
    // Exactly one look's worth, beginning as the last look ended: all new.
    std::string look;
    for (int i = 0; i < 9; ++i)
        look += line("me", "next");
    look += line("me", std::string(34, 'z'));
    ASSERT_EQ(qsizetype(look.size()), ChatScanner::kTailLength);
    t.append(look);
    testing::internal::CaptureStderr();
    EXPECT_EQ(t.tick().size(), 10u);
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("skipped"), std::string::npos);

    // Lines said while scanning is off are never reported.
    t->scanner.stopScanning();
    t.append(line("me", "while off"));
    t->scanner.startScanning();
    EXPECT_EQ(t.tick(), Lines {});

    // The client drops its oldest lines as the transcript grows: the new
    // ones are still found, each once, however alike the old ones were.
    std::string full = t.desktop.textOf(t.chat.transcript);
    for (int i = 0; i < 20; ++i)
        full += line("me", "next");
    t.setTranscript(full);
    t.tick();
    // One more of them leaves the tail as it was: still a new line.
    full += line("me", "next");
    t.setTranscript(full);
    EXPECT_EQ(t.tick(), Lines {"me | next | {2:00:00 AM}"});
    // By as much as is added, so its length stays the same.
    t.setTranscript(full.substr(98) + line("carol", "one") + line("carol", "two"));
    EXPECT_EQ(t.tick(), (Lines {"carol | one | {2:00:00 AM}", "carol | two | {2:00:00 AM}"}));

    // More than one look holds: what the tail holds is reported.
    std::string burst;
    for (int i = 0; i < 30; ++i)
        burst += line("dave", std::to_string(i));
    t.append(burst);
    testing::internal::CaptureStderr();
    const Lines reported = t.tick();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("the older ones were skipped"), std::string::npos);
    ASSERT_FALSE(reported.empty());
    EXPECT_LT(reported.size(), 30u);
    EXPECT_EQ(reported.back(), "dave | 29 | {2:00:00 AM}");

    // What is sent goes where the check boxes route it, with quotes escaped
    // for TOC only.
    // AOL windows with only some of a room's parts are passed over.
    const SimDesktop::AolClient client = t.desktop.openAolClient({"&What's New in AOL 7.0"});
    for (const auto& parts : {std::vector<const char*> {"_AOL_Listbox", "_AOL_Static"},
                              {"_AOL_Combobox", "_AOL_Listbox", "_AOL_Static", "_AOL_Icon"}}) {
        const SimDesktop::Hwnd partial = t.desktop.addAolChild(client);
        for (const char* part : parts)
            t.desktop.createWindow(partial, part);
    }
    const SimDesktop::AolRoom aol = t.desktop.addAolRoom(client);
    Lines out;
    t->scanner.setTocRoute([&](const QString& text) { out.push_back("toc " + text.toStdString()); });
    QObject::connect(&t.desktop, &SimDesktop::inputSent,
                     [&](SimDesktop::Hwnd, const std::string& text) { out.push_back("aim " + text); });
    QObject::connect(&t.desktop, &SimDesktop::aolLinePosted,
                     [&](SimDesktop::Hwnd, const std::string& text) { out.push_back("aol " + text); });
    // The input box's own HTML round the probe letter comes back whole.
    EXPECT_EQ(t->scanner.probeInputFormat(), QStringLiteral("<FONT LANG=\"0\">l</FONT>"));
    t->templates.inputClose.setText(QStringLiteral("<FONT LANG=\"0\">"));

    // Backslashes are escaped first, so the ones put before quotes stay single.
    const QString text = QStringLiteral("<b>say \\\"hi\" C:\\ \u00bb</b>");
    // The chat, bot and send-to-AOL boxes, and what goes where.
    const std::tuple<int, int, int, Lines> routes[] = {
        {0, 1, 1, {}},
        {1, 0, 1, {"aol <b>say \\\"hi\" C:\\ \xc2\xbb</b>"}},
        {1, 0, 0, {"aim <b>say \\\"hi\" C:\\ \xc2\xbb</b><FONT LANG=\"0\"> "}},
        {1, 1, 1, {"toc <b>say \\\\\\\"hi\\\" C:\\\\ \xc2\xbb</b>"}},
    };
    for (const auto& [chat, bot, sendAol, expected] : routes) {
        SCOPED_TRACE(testing::Message() << "chat " << chat << " bot " << bot << " aol " << sendAol);
        out.clear(), t.sent.clear();
        t->options.chatSend.setValue(chat);
        t->options.useBot.setValue(bot);
        t->options.sendOnAol.setValue(sendAol);
        t->scanner.sendLine(text);
        EXPECT_EQ(out, expected);
        // Even a blocked line reaches the chat exit.
        EXPECT_EQ(t.sent, QStringList {text});
    }

    // What the owner had begun in the AOL box comes back whole, less its
    // hint; a key other than Return sends nothing, and a client that is not
    // AOL 5 clears only the first box.
    t->options.useBot.setValue(false);
    std::string draft = "half typed Chat Input", second = "second box";
    t.desktop.sendMessage(aol.edit, wm::SETTEXT, 0, draft);
    t.desktop.sendMessage(aol.edit, wm::CHAR, 'd', 0);
    t.desktop.sendMessage(aol.input, wm::SETTEXT, 0, second);
    t->scanner.sendLine(text);
    EXPECT_EQ(t.desktop.textOf(aol.edit), "half typed ");
    EXPECT_EQ(t.desktop.textOf(aol.input), "second box");

    // The ignore button with nobody chosen in a full room ignores nobody;
    // with a member chosen, that member.
    for (int i = 0; i < 30; ++i)
        t.desktop.addMember(t.chat.window, "bob" + std::to_string(i));
    const auto ignore = [&] {
        for (const unsigned message : {wm::LBUTTONDOWN, wm::LBUTTONUP})
            t.desktop.sendMessage(t.chat.ignoreButton, message, 0, 0);
    };
    ignore();
    EXPECT_FALSE(t.desktop.isIgnored(t.chat.window, "bob0"));
    t.desktop.sendMessage(t.chat.memberList, lb::SETCURSEL,
                          std::uintptr_t(t.desktop.sendMessage(t.chat.memberList, lb::GETCOUNT, 0, 0) - 1), 0);
    ignore();
    EXPECT_TRUE(t.desktop.isIgnored(t.chat.window, "bob29"));

    // With no TOC client the bot's line is dropped, not sent elsewhere.
    t->options.useBot.setValue(true);
    t->scanner.setTocRoute({});
    out.clear();
    t->scanner.sendLine(text);
    EXPECT_EQ(out, Lines {});
}

// Each room on a desktop hears its own window, however many follow the
// desktop and in whatever order they come and go.
TEST(LocalRoom, RoomsOnOneDesktopEachHearTheirOwnWindowAndOutliveOneAnother)
{
    SimDesktop desktop;
    desktop.clock = [] { return std::string("10:15:02 PM"); };
    std::optional<LocalRoom> first(std::in_place, desktop, QStringLiteral("one"));
    LocalRoom second {desktop, QStringLiteral("two")};
    QStringList heard;
    for (LocalRoom* room : {&*first, &second}) {
        QObject::connect(room, &LocalRoom::lineAdded, [&heard, room](const QString& html, bool bySay) {
            heard.append(room->localMember() + u' ' + html + (bySay ? QStringLiteral(" (said)") : QString()));
        });
    }
    first->say(QStringLiteral("a"));
    second.say(QStringLiteral("b"));
    first.reset();
    second.sayAs(QStringLiteral("bob"), QStringLiteral("c"));
    const auto line = [](const char* who, const char* text) {
        return QStringLiteral("<!-- (10:15:02 PM) --><B>%1</B>: <FONT LANG=\"0\">%2</FONT>")
            .arg(QLatin1String(who), QLatin1String(text));
    };
    EXPECT_EQ(heard,
              (QStringList {QStringLiteral("one ") + line("one", "a") + QStringLiteral(" (said)"),
                            QStringLiteral("two ") + line("two", "b") + QStringLiteral(" (said)"),
                            QStringLiteral("two ") + line("bob", "c")}));
}

}  // namespace
