// SPDX-License-Identifier: GPL-3.0-or-later
#include "BotTest.h"

#include "controls/UserStore.h"

namespace {

// The window shows the stored replies; "Set" applies the templates only,
// "Set chatsends" stores the replies too. The window keeps nothing of its boxes.
TEST_F(BotTest, ChatSendsShowsAppliesAndStoresTheTexts)
{
    ChatSendsForm& frm = t->frmChat;
    SaveSetting("cs", "unpause", "Going again");
    frm.Form_Load();
    EXPECT_EQ(frm.txtUnpaused.text(), "Going again");
    frm.txtPlaying.setText("Now: %s");
    frm.txtPause.setText("Hold on");
    frm.Label5_Click();
    EXPECT_EQ(t->templates.playingTitle.text(), "Now: %s");
    EXPECT_EQ(GetSetting("cs", "pause", "absent"), "absent");
    owner("pause");
    EXPECT_EQ(t.sent.last(), P() + "Paused.");

    frm.Form_Load();
    EXPECT_EQ(frm.txtPause.text(), "Paused");
    frm.Text2.setText("back: %p");
    frm.skinButton1_Click();
    EXPECT_EQ(t->templates.unignored.text(), "back: %p");
    EXPECT_EQ(GetSetting("cs", "pause"), "Paused");
    EXPECT_EQ(t.ui.events, QStringList(2, QStringLiteral("close%1").arg(int(UserInterface::Form::Chat))));
    EXPECT_EQ(t->settings.rows().items(),
              (QStringList {"[font]:" + P(), "[play]:" + t->templates.playing.text(),
                            "[ignore]:" + t->templates.ignored.text(), "[unignore]:back: %p", "[playing]:Now: %s"}));
    owner("pause");
    EXPECT_EQ(t.sent.last(), P() + "Paused");
}

}  // namespace
