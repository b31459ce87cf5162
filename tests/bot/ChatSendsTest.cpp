#include "BotTest.h"

#include "bot/ChatSends.h"
#include "controls/UserStore.h"

namespace {

class ChatSendsWindow : public BotTest {
protected:
    ChatSendsForm& frmChat() { return t->frmChat; }
    // The window closed, once for every button pressed.
    QStringList closed(int times)
    {
        return QStringList(times, QStringLiteral("close%1").arg(int(UserInterface::Form::Chat)));
    }
};

TEST_F(ChatSendsWindow, SetAppliesTheTemplatesAndSetChatsendsAlsoStoresTheReplies)
{
    SaveSetting("cs", "unpause", "Going again");
    const QString font = P();
    frmChat().Form_Load();
    EXPECT_EQ(frmChat().Text1.text(), t->txtIgnore.text());
    EXPECT_EQ(frmChat().txtNF.text(), "<b>N</b>ot<b>F</b>ound");
    EXPECT_EQ(frmChat().txtUnpaused.text(), "Going again");
    // "Set" leaves the store alone, and the window keeps nothing of its boxes.
    frmChat().txtPlaying.setText("Now: %s");
    frmChat().txtPause.setText("Hold on");
    frmChat().Label5_Click();
    EXPECT_EQ(t->txtPlaying.text(), "Now: %s");
    EXPECT_EQ(GetSetting("cs", "pause", "absent"), "absent");
    owner("pause");
    EXPECT_EQ(t.sent.last(), font + "Paused.");

    frmChat().Form_Load();
    EXPECT_EQ(frmChat().txtPause.text(), "Paused");
    frmChat().Text2.setText("back: %p");
    frmChat().skinButton1_Click();
    EXPECT_EQ(t->txtUnignore.text(), "back: %p");
    EXPECT_EQ(GetSetting("cs", "pause"), "Paused");
    EXPECT_EQ(t.ui.events, closed(2));
    EXPECT_EQ(t->lstsettings.items(),
              (QStringList {"[font]:" + font, "[play]:" + t->txtPlay.text(), "[ignore]:" + t->txtIgnore.text(),
                            "[unignore]:back: %p", "[playing]:Now: %s"}));
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

}  // namespace
