#include "app/MainForm.h"
#include "gui/MainWindow.h"
#include "support/FakeMediaPlayer.h"
#include "support/NoWindows.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Gui {
    QTemporaryDir dir;
    NoWindows windows;
    FakeMediaPlayer wmp;
    MainWindow window;
    MainForm form{AppPaths{dir.path(), dir.path()}, windows, wmp, window};

    Gui()
    {
        window.attach(form);
        window.show();
        form.Form_Load();
    }

    template <typename W>
    W* find(const QString& text)
    {
        for (W* w : window.findChildren<W*>()) {
            if (w->text() == text)
                return w;
        }
        return nullptr;
    }

    QWidget* topLevel(const QString& title)
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowTitle() == title)
                return w;
        }
        return nullptr;
    }
};

} // namespace

TEST(MainWindow, ShowsTheFormsCaptionAndFollowsItsHolders)
{
    Gui g;
    EXPECT_EQ(g.window.windowTitle(), "Quillon 3.2");
    g.form.labFile.setCaption(QStringLiteral("Artist - Song"));
    EXPECT_NE(g.find<QLabel>(QStringLiteral("Artist - Song")), nullptr);
    g.form.List2.addItem(QStringLiteral("a;/a.mp3"));
    g.form.library.addSongs();
    EXPECT_EQ(g.window.findChild<QListView*>()->model()->rowCount(), 1);
}

TEST(MainWindow, ACheckBoxClickSetsTheHolder)
{
    Gui g;
    QCheckBox* autoRandom = g.find<QCheckBox>(QStringLiteral("Auto Random"));
    ASSERT_NE(autoRandom, nullptr);
    autoRandom->click();
    EXPECT_EQ(g.form.chkenabled.value(), 1);
    g.form.chkenabled.setValue(0);
    EXPECT_FALSE(autoRandom->isChecked());
}

TEST(MainWindow, HideAndShowBringTheWindowBack)
{
    Gui g;
    g.form.mnuHide_Click();
    EXPECT_FALSE(g.window.isVisible());
    g.form.mnuShow_Click();
    EXPECT_TRUE(g.window.isVisible());
}

TEST(MainWindow, SecondaryWindowsOpenWithoutBlockingAndOnlyOnce)
{
    Gui g;
    g.find<QPushButton>(QStringLiteral("About"))->click();
    g.find<QPushButton>(QStringLiteral("About"))->click();
    QWidget* about = g.topLevel(QStringLiteral("About Quillon"));
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(about->isModal());
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += w->isVisible() && w->windowTitle() == QStringLiteral("About Quillon");
    EXPECT_EQ(count, 1);
}

TEST(MainWindow, ThePickerLetsGoOfTheResultsOnceWhicheverWayItCloses)
{
    const std::pair<const char*, std::function<void(Gui&, QWidget*)>> ways[] = {
        {"escape",
         [](Gui&, QWidget* picker) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(picker, &escape);
         }},
        {"cancel",
         [](Gui&, QWidget* picker) {
             for (QPushButton* b : picker->findChildren<QPushButton*>())
                 b->click();
         }},
        {"title bar", [](Gui&, QWidget* picker) { picker->close(); }},
        {"name", [](Gui& g, QWidget*) { g.form.frmSong.List1_Click(1); }},
        {"main window", [](Gui& g, QWidget*) { g.window.close(); }},
    };
    for (const auto& [way, close] : ways) {
        SCOPED_TRACE(way);
        Gui g;
        QStringList sent;
        QObject::connect(&g.form.chat1, &ChatScanner::sendChatCalled, [&](const QString& t) { sent.append(t); });
        g.form.List3.addItems({"a;/a.mp3", "b;/b.mp3"});
        g.form.frmSong.open({"a", "b"});
        QWidget* picker = g.topLevel(QStringLiteral("Select A Song"));
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(g.form.music.value(), 1);

        close(g, picker);
        EXPECT_FALSE(picker->isVisible());
        EXPECT_EQ(g.form.music.value(), 0);
        EXPECT_EQ(g.form.List3.count(), 0);
        EXPECT_EQ(g.form.frmSong.List1.count(), 0);
        EXPECT_EQ(sent.filter(QStringLiteral("C</b>ancelled")).size(), way == std::string_view("cancel") ? 1 : 0);
        // Results found after it closed stay for the next tick, even when
        // the main window then closes the picker again.
        g.form.List3.addItem(QStringLiteral("c;/c.mp3"));
        g.window.close();
        EXPECT_EQ(g.form.List3.count(), 1);
    }
}

TEST(MainWindow, ClosingTheWindowShutsDownAndWritesTheFiles)
{
    Gui g;
    g.form.List2.addItem(QStringLiteral("kept;/kept.mp3"));
    g.window.close();
    EXPECT_TRUE(g.form.isUnloaded());
    QFile playlist(g.form.paths.playlistFile());
    ASSERT_TRUE(playlist.open(QIODevice::ReadOnly));
    EXPECT_EQ(playlist.readAll(), "kept;/kept.mp3\r\n");
}

TEST(MainWindow, AFileThatCannotBeWrittenAtTheEndIsShownInABox)
{
    Gui g;
    QStringList shown;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown.append(box->text());
            box->accept();
        }
    });
    answer.start(10);
    ASSERT_TRUE(g.dir.remove());
    g.window.close();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Cannot write ") + g.form.paths.playlistFile() + u':'));
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("Cannot write ") + g.form.paths.settingsFile() + u':'));
}

TEST(MainWindow, ChatSendsOpensFilledAndSetAppliesTheTemplates)
{
    Gui g;
    g.form.chatSends_Click();
    QWidget* chat = g.topLevel(QStringLiteral("Chat Sends"));
    ASSERT_NE(chat, nullptr);
    EXPECT_EQ(g.form.frmChat.txtPlay.text(), g.form.txtPlay.text());
    g.form.frmChat.txtPlaying.setText(QStringLiteral("now: %s"));
    for (QPushButton* b : chat->findChildren<QPushButton*>()) {
        if (b->text() == QStringLiteral("Set"))
            b->click();
    }
    EXPECT_EQ(g.form.txtPlaying.text(), "now: %s");
    QApplication::processEvents();
    EXPECT_EQ(g.topLevel(QStringLiteral("Chat Sends")), nullptr);
}

TEST(MainWindow, PlayFromThePlaylistMenuStartsTheSelectedSong)
{
    Gui g;
    g.form.List2.addItems({"one;/music/one.mp3", "two;/music/two.mp3"});
    g.form.library.addSongs();
    auto* list = g.window.findChild<QListView*>();
    list->setCurrentIndex(list->model()->index(1, 0));
    EXPECT_EQ(g.form.List1.listIndex(), 1);
    QAction* play = nullptr;
    for (QMenu* menu : g.window.findChildren<QMenu*>()) {
        for (QAction* action : menu->actions()) {
            if (action->text() == QStringLiteral("Play"))
                play = action;
        }
    }
    ASSERT_NE(play, nullptr);
    play->trigger();
    EXPECT_EQ(g.wmp.urls, QStringList{"/music/two.mp3"});
    EXPECT_EQ(g.form.labFile.caption(), "two");
}
