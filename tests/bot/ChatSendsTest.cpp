#include "BotTest.h"
#include "support/TestForm.h"

#include "bot/ChatSends.h"
#include "controls/UserStore.h"

namespace {

class ChatSendsWindow : public BotTest<TestForm> {
protected:
    ChatSendsForm& frmChat() { return t->frmChat; }
    QString closed() { return QStringLiteral("close%1").arg(int(UserInterface::Form::Chat)); }
};

TEST_F(ChatSendsWindow, SettingStoresTheShownTextsWhichRepliesThenUse)
{
    SaveSetting("cs", "unpause", "Going again");
    owner("pause");
    EXPECT_EQ(t.sent.last(), P() + "Paused.");

    const QString font = P();
    frmChat().Form_Load();
    EXPECT_EQ(frmChat().Text1.text(), t->txtIgnore.text());
    EXPECT_EQ(frmChat().txtNF.text(), "<b>N</b>ot<b>F</b>ound");
    EXPECT_EQ(frmChat().txtUnpaused.text(), "Going again");
    frmChat().Text2.setText("back: %p");
    frmChat().skinButton1_Click();
    EXPECT_EQ(P(), font);
    EXPECT_EQ(t->txtUnignore.text(), "back: %p");
    EXPECT_EQ(GetSetting("cs", "pause"), "Paused");
    EXPECT_EQ(t.ui.events, QStringList {closed()});
    QStringList keys;
    for (const QString& row : t->lstsettings.items())
        keys.append(row.section(u':', 0, 0));
    EXPECT_EQ(keys.mid(keys.size() - 5), (QStringList {"[font]", "[play]", "[ignore]", "[unignore]", "[playing]"}));

    owner("pause");
    EXPECT_EQ(t.sent.last(), font + "Paused");
}

TEST_F(ChatSendsWindow, AnEmptyPrefixShowsAndThenStoresTheDesignTexts)
{
    SaveSetting("cs", "stop", "Halted");
    t->txtFont.setText(QString());
    frmChat().Form_Load();
    EXPECT_EQ(frmChat().txtPlay.text(), "<b>P</b>laying [%s / %n] [%kb Kb/s] [%mb] [%mode]");
    const QString stopDesign = "<FONT COLOR=#0080ff>\u00bb <U><FONT COLOR=#0080c0>Media</U> <FONT COLOR=#0080ff>"
                               "\u00bb<FONT COLOR=#000000> <U><FONT COLOR=#0080c0>Stopped</U> ";
    EXPECT_EQ(frmChat().txtStop.text(), stopDesign);
    EXPECT_EQ(frmChat().txtShow.text(), stopDesign);

    frmChat().skinButton1_Click();
    EXPECT_EQ(GetSetting("cs", "stop"), stopDesign);
    EXPECT_EQ(P(), "</B></i></u>");
    EXPECT_EQ(t->txtIgnore.text(), "<b>I</b>gnored [%p]");
}

TEST_F(ChatSendsWindow, SetAppliesTheTemplatesButNeverTheStore)
{
    frmChat().Form_Load();
    frmChat().txtPlaying.setText("Now: %s");
    frmChat().txtPause.setText("Hold on");
    frmChat().Label5_Click();
    EXPECT_EQ(t->txtPlaying.text(), "Now: %s");
    EXPECT_TRUE(t->lstsettings.items().contains("[playing]:Now: %s"));
    EXPECT_EQ(GetSetting("cs", "pause", "absent"), "absent");
    EXPECT_EQ(t.ui.events, QStringList {closed()});
    // The edited box is gone with the window.
    frmChat().Form_Load();
    EXPECT_EQ(frmChat().txtPause.text(), "Paused");
}

TEST(CommandHelp, HasTwentyFiveLinesEachEndedByCrLf)
{
    const QString help = CommandsForm::helpText();
    const QStringList lines = help.split("\r\n");
    ASSERT_EQ(lines.size(), 26);
    EXPECT_EQ(lines.last(), "");
    EXPECT_EQ(help.count(u'\n') + help.count(u'\r'), 50);
    EXPECT_EQ(lines.first(), "p file - play file");
    EXPECT_EQ(lines.at(2), "del c:\\test.exe - delete file");
    EXPECT_EQ(lines.at(6), "r string - radom song with string");
    EXPECT_EQ(lines.at(24), "perv - play last file");
}

}  // namespace
