#include "BotForm.h"

#include "app/UserStore.h"
#include "bot/ChatSends.h"

#include <gtest/gtest.h>

namespace {

class ChatSendsWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        forgetChatSends();
        knowOwner(*t);
    }
    void owner(const QString& text) { say(*t, kOwner, text); }
    ChatSendsForm& frmChat() { return t->frmChat; }

    TestForm t;
};

TEST_F(ChatSendsWindow, OpeningShowsTheTemplatesAndTheFormDefaults)
{
    SaveSetting(QStringLiteral("cs"), QStringLiteral("unpause"), QStringLiteral("Going again"));
    frmChat().Form_Load();
    EXPECT_EQ(frmChat().txtFont.text(), t->txtFont.text());
    EXPECT_EQ(frmChat().txtPlay.text(), t->txtPlay.text());
    EXPECT_EQ(frmChat().Text1.text(), t->txtIgnore.text());
    EXPECT_EQ(frmChat().Text2.text(), t->txtUnignore.text());
    EXPECT_EQ(frmChat().txtPlaying.text(), t->txtPlaying.text());
    EXPECT_EQ(frmChat().txtNF.text(), "<b>N</b>ot<b>F</b>ound");
    EXPECT_EQ(frmChat().txtARANe.text(), "On random on");
    EXPECT_EQ(frmChat().txtARo.text(), "Auto random off");
    EXPECT_EQ(frmChat().txtPause.text(), "Paused");
    EXPECT_EQ(frmChat().txtUnpaused.text(), "Going again");
    EXPECT_EQ(frmChat().txtStop.text(), "Stopped");
    EXPECT_EQ(frmChat().txtShow.text(), "showing");
}

TEST_F(ChatSendsWindow, SettingWithoutEditsStoresTheFormDefaultsWhichRepliesThenUse)
{
    owner(QStringLiteral("pause"));
    EXPECT_EQ(t.sent.last(), t->txtFont.text() + "Paused.");

    const QString font = t->txtFont.text();
    frmChat().Form_Load();
    frmChat().skinButton1_Click();
    EXPECT_EQ(t->txtFont.text(), font);
    EXPECT_EQ(GetSetting(QStringLiteral("cs"), QStringLiteral("pause")), "Paused");
    EXPECT_EQ(GetSetting(QStringLiteral("cs"), QStringLiteral("show")), "showing");
    EXPECT_EQ(t.ui.events, QStringList{QStringLiteral("close%1").arg(int(UserInterface::Form::Chat))});

    owner(QStringLiteral("pause"));
    EXPECT_EQ(t.sent.last(), font + "Paused");
    owner(QStringLiteral("show"));
    EXPECT_EQ(t.sent.last(), font + "showing");
}

TEST_F(ChatSendsWindow, AnEmptyPrefixShowsAndThenStoresTheDesignTexts)
{
    SaveSetting(QStringLiteral("cs"), QStringLiteral("stop"), QStringLiteral("Halted"));
    t->txtFont.setText(QString());
    frmChat().Form_Load();
    EXPECT_EQ(frmChat().txtFont.text(), "</B></i></u>");
    EXPECT_EQ(frmChat().txtPlay.text(), "<b>P</b>laying [%s / %n] [%kb Kb/s] [%mb] [%mode]");
    EXPECT_EQ(frmChat().Text1.text(), "<b>I</b>gnored [%p]");
    const QString stopDesign = QStringLiteral("<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Media</U> <FONT "
                                              "COLOR=#0080ff>\u00bb<FONT COLOR=#000000> <U><FONT "
                                              "COLOR=#0080c0>Stopped</U> ");
    EXPECT_EQ(frmChat().txtStop.text(), stopDesign);
    EXPECT_EQ(frmChat().txtShow.text(), stopDesign);

    frmChat().skinButton1_Click();
    EXPECT_EQ(GetSetting(QStringLiteral("cs"), QStringLiteral("stop")), stopDesign);
    EXPECT_EQ(t->txtFont.text(), "</B></i></u>");
    EXPECT_EQ(t->txtIgnore.text(), "<b>I</b>gnored [%p]");
}

TEST_F(ChatSendsWindow, SetAppliesTheTemplatesButNeverTheStore)
{
    frmChat().Form_Load();
    frmChat().txtPlaying.setText(QStringLiteral("Now: %s"));
    frmChat().txtPause.setText(QStringLiteral("Hold on"));
    frmChat().Label5_Click();
    EXPECT_EQ(t->txtPlaying.text(), "Now: %s");
    EXPECT_TRUE(t->lstsettings.items().contains(QStringLiteral("[playing]:Now: %s")));
    EXPECT_EQ(GetSetting(QStringLiteral("cs"), QStringLiteral("pause"), QStringLiteral("absent")), "absent");
    EXPECT_EQ(t.ui.events, QStringList{QStringLiteral("close%1").arg(int(UserInterface::Form::Chat))});

    // The edited box is gone with the window.
    frmChat().Form_Load();
    EXPECT_EQ(frmChat().txtPause.text(), "Paused");
}

TEST_F(ChatSendsWindow, SettingRecordsTheFiveTemplatesInOrder)
{
    frmChat().Form_Load();
    frmChat().Text2.setText(QStringLiteral("back: %p"));
    frmChat().skinButton1_Click();
    QStringList keys;
    for (const QString& row : t->lstsettings.items())
        keys.append(row.section(u':', 0, 0));
    const QStringList expected = {QStringLiteral("[font]"), QStringLiteral("[play]"), QStringLiteral("[ignore]"),
                                  QStringLiteral("[unignore]"), QStringLiteral("[playing]")};
    EXPECT_EQ(keys.mid(keys.size() - 5), expected);
    EXPECT_EQ(t->txtUnignore.text(), "back: %p");
}

TEST(ChatSendTexts, RepliesReadTheStoreEachTime)
{
    forgetChatSends();
    EXPECT_EQ(ChatSends::replyText(QStringLiteral("nf")), "Nothing found");
    EXPECT_EQ(ChatSends::formText(QStringLiteral("nf")), "<b>N</b>ot<b>F</b>ound");
    SaveSetting(QStringLiteral("cs"), QStringLiteral("nf"), QStringLiteral("nope"));
    EXPECT_EQ(ChatSends::replyText(QStringLiteral("nf")), "nope");
    forgetChatSends();
}

TEST(CommandHelp, HasTwentyFiveLinesEachEndedByCrLf)
{
    const QString help = CommandsForm::helpText();
    ASSERT_TRUE(help.endsWith(QStringLiteral("\r\n")));
    const QStringList lines = help.chopped(2).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 25);
    EXPECT_EQ(help.count(u'\n'), 25);
    EXPECT_EQ(help.count(u'\r'), 25);
    EXPECT_EQ(lines.first(), "p file - play file");
    EXPECT_EQ(lines.at(2), "del c:\\test.exe - delete file");
    EXPECT_EQ(lines.at(6), "r string - radom song with string");
    EXPECT_EQ(lines.last(), "perv - play last file");
}

} // namespace
