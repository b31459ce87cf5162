// SPDX-License-Identifier: GPL-3.0-or-later
#include "BotTest.h"

#include "controls/UserStore.h"

namespace {

// The window shows the stored replies; "Set" applies the templates only,
// "Set chatsends" stores the replies too. The window keeps nothing of its boxes.
TEST_F(BotTest, ChatSendsShowsAppliesAndStoresTheTexts)
{
    ChatSendsEditor& editor = t->chatSends;
    writeSetting("cs", "unpause", "Going again");
    editor.open();
    EXPECT_EQ(editor.texts.unpaused.text(), "Going again");
    editor.texts.playingTitle.setText("Now: %s");
    editor.texts.paused.setText("Hold on");
    editor.set();
    EXPECT_EQ(t->templates.playingTitle.text(), "Now: %s");
    EXPECT_EQ(readSetting("cs", "pause", "absent"), "absent");
    owner("pause");
    EXPECT_EQ(t.sent.last(), fontPrefix() + "Paused.");

    editor.open();
    EXPECT_EQ(editor.texts.paused.text(), "Paused");
    editor.texts.unignored.setText("back: %p");
    editor.setAll();
    EXPECT_EQ(t->templates.unignored.text(), "back: %p");
    EXPECT_EQ(readSetting("cs", "pause"), "Paused");
    EXPECT_EQ(t.ui.events, QStringList(2, QStringLiteral("close%1").arg(int(UserInterface::Form::Chat))));
    EXPECT_EQ(t->settings.rows().items(),
              (QStringList {"[font]:" + fontPrefix(), "[play]:" + t->templates.playing.text(),
                            "[ignore]:" + t->templates.ignored.text(), "[unignore]:back: %p", "[playing]:Now: %s"}));
    owner("pause");
    EXPECT_EQ(t.sent.last(), fontPrefix() + "Paused");
}

}  // namespace
