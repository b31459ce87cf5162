#include "gui/MainWindow.h"
#include "app/MainForm.h"
#include "controls/SkinButton.h"
#include "controls/UserStore.h"
#include "gui/TemplateEdit.h"
#include "gui/WindowPlacement.h"
#include "support/TestState.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <string_view>

namespace {

QString madePath(const QString& path)
{
    QDir().mkpath(path);
    return path;
}

struct Gui {
    QTemporaryDir dir;
    QString programDir;
    NoWindows windows;
    FakeMediaPlayer wmp;
    MainWindow window;
    MainForm form {AppPaths {programDir, dir.path()}, windows, wmp, window};

    // The program's folder may lie deeper in the temporary one.
    explicit Gui(const QString& below = {}) : programDir(madePath(dir.path() + below))
    {
        window.attach(form);
        window.show();
        form.Form_Load();
    }

    template <typename W> W* find(const QString& text)
    {
        for (W* w : window.findChildren<W*>()) {
            if (w->text() == text)
                return w;
        }
        return nullptr;
    }
    // The visible top-level windows of that title.
    QWidgetList topLevels(const QString& title)
    {
        QWidgetList found;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowTitle() == title)
                found.append(w);
        }
        return found;
    }
    QWidget* topLevel(const QString& title) { return topLevels(title).value(0); }
};

}  // namespace

TEST(MainWindow, ShowsTheFormsHoldersAndItsButtonsAreSkinButtonsOfOneLook)
{
    Gui g;
    EXPECT_EQ(g.window.windowTitle(), "Quillon 3.2");
    g.form.labFile.setCaption(QStringLiteral("Artist - Song"));
    EXPECT_NE(g.find<QLabel>(QStringLiteral("Artist - Song")), nullptr);
    QCheckBox* autoRandom = g.find<QCheckBox>(QStringLiteral("Auto Random"));
    ASSERT_NE(autoRandom, nullptr);
    autoRandom->click();
    EXPECT_EQ(g.form.chkenabled.value(), 1);
    g.form.chkenabled.setValue(0);
    EXPECT_FALSE(autoRandom->isChecked());

    const QStringList captions = {"Find SN", "Clear List", "Minimize", "About", "Options", "Signon", "Join", "Part"};
    for (int i = 0; i < captions.size(); ++i) {
        auto* b = g.window.findChild<SkinButton*>(QStringLiteral("skinButton%1").arg(i + 1));
        ASSERT_NE(b, nullptr) << i + 1;
        EXPECT_EQ(b->Caption(), captions[i]);
        EXPECT_EQ(b->ButtonType(), 3);
        EXPECT_EQ(b->ColorScheme(), 1);
    }
    // The sign-on button shows the form's caption of it.
    g.form.skinButton6.setCaption(QStringLiteral("Logoff"));
    EXPECT_EQ(g.window.findChild<SkinButton*>(QStringLiteral("skinButton6"))->Caption(), "Logoff");
    EXPECT_NE(g.find<QPushButton>(QStringLiteral("Add Files")), nullptr);

    // About opens once, without blocking; hide and show bring the window back.
    auto* about = g.window.findChild<SkinButton*>(QStringLiteral("skinButton4"));
    QTest::mouseClick(about, Qt::LeftButton);
    QTest::mouseClick(about, Qt::LeftButton);
    ASSERT_EQ(g.topLevels(QStringLiteral("About Quillon")).size(), 1);
    EXPECT_FALSE(g.topLevel(QStringLiteral("About Quillon"))->isModal());
    g.form.mnuHide_Click();
    EXPECT_FALSE(g.window.isVisible());
    g.form.mnuShow_Click();
    EXPECT_TRUE(g.window.isVisible());
}

TEST(MainWindow, ThePickerLetsGoOfTheResultsOnceWhicheverWayItCloses)
{
    for (const std::string_view way : {"escape", "cancel", "title bar", "name", "main window"}) {
        SCOPED_TRACE(way);
        Gui g;
        QStringList sent;
        QObject::connect(&g.form.chat1, &ChatScanner::sendChatCalled, [&](const QString& t) { sent.append(t); });
        g.form.List3.addItems({"a;/a.mp3", "b;/b.mp3"});
        g.form.frmSong.open({"a", "b"});
        QWidget* picker = g.topLevel(QStringLiteral("Select A Song"));
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(g.form.music.value(), 1);
        if (way == "escape")
            QTest::keyClick(picker, Qt::Key_Escape);
        else if (way == "cancel")
            picker->findChild<QPushButton*>()->click();
        else if (way == "title bar")
            picker->close();
        else if (way == "name")
            g.form.frmSong.List1_Click(1);
        else
            g.window.close();
        EXPECT_FALSE(picker->isVisible());
        EXPECT_EQ(g.form.music.value(), 0);
        EXPECT_EQ(g.form.List3.count(), 0);
        EXPECT_EQ(g.form.frmSong.List1.count(), 0);
        EXPECT_EQ(sent.filter(QStringLiteral("C</b>ancelled")).size(), way == "cancel" ? 1 : 0);
        // Results found after it closed stay for the next tick, even when
        // the main window then closes the picker again.
        g.form.List3.addItem(QStringLiteral("c;/c.mp3"));
        g.window.close();
        EXPECT_EQ(g.form.List3.count(), 1);
    }
}

// Closing the window shuts the program down, which saves its files.
TEST(MainWindow, ClosingTheWindowShowsEachFileThatCannotBeWrittenInABox)
{
    Gui lost;
    QStringList shown;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown.append(box->text());
            box->accept();
        }
    });
    answer.start(10);
    ASSERT_TRUE(lost.dir.remove());
    lost.window.close();
    EXPECT_TRUE(lost.form.isUnloaded());
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Cannot write ") + lost.form.paths.playlistFile() + u':'));
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("Cannot write ") + lost.form.paths.settingsFile() + u':'));
}

TEST(MainWindow, ChatSendsOpensFilledAndSetAppliesTheTemplates)
{
    Gui g;
    g.form.chatSends_Click();
    QWidget* chat = g.topLevel(QStringLiteral("Chat Sends"));
    ASSERT_NE(chat, nullptr);
    // A long template is shown whole, on more lines than a short one.
    auto* play = chat->findChildren<TemplateEdit*>().at(1);
    EXPECT_EQ(play->toPlainText(), g.form.txtPlay.text());
    const int oneLine = chat->findChildren<TemplateEdit*>().at(0)->height();
    g.form.frmChat.txtPlay.setText(g.form.txtPlay.text().repeated(3));
    EXPECT_GT(play->height(), oneLine);
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
    EXPECT_EQ(list->model()->rowCount(), 2);
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
    EXPECT_EQ(g.wmp.urls, QStringList {"/music/two.mp3"});
    EXPECT_EQ(g.form.labFile.caption(), "two");
}

TEST(MainWindow, TheDirectoryTreeShowsTheFieldsFolderFromTheStart)
{
    // The program's folder comes after many others, far below the first row.
    Gui g(QStringLiteral("/zz/program"));
    g.form.discovery.Timer2.stop();  // its warning box would hold up a long wait
    for (int i = 0; i < 60; ++i)
        QDir(g.dir.path()).mkdir(QStringLiteral("a%1").arg(i));
    g.form.addf_Click();
    QWidget* picker = g.topLevel(QStringLiteral("Form1"));
    ASSERT_NE(picker, nullptr);
    auto* tree = picker->findChild<QTreeView*>();
    auto* model = static_cast<QFileSystemModel*>(tree->model());
    const QString field = picker->findChild<QLineEdit*>()->text();
    EXPECT_EQ(QDir::toNativeSeparators(g.programDir), field);
    // The folders arrive in the background; the tree must follow them.
    QStringList loaded;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, [&](const QString& d) { loaded.append(d); });
    auto shown = [&] { return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex())); };
    // Once the folders are read and sorted, "zz" is the last of 61.
    const QPersistentModelIndex zz = model->index(g.dir.path() + QStringLiteral("/zz"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded.contains(g.dir.path()) && zz.row() == 60; }, 10000));
    EXPECT_TRUE(QTest::qWaitFor(shown, 10000));
    EXPECT_EQ(QDir::toNativeSeparators(model->filePath(tree->currentIndex())), field);
}

TEST(MainWindow, TheInputBoxIsWideAndTellsCancelFromAnEmptyAnswer)
{
    Gui g;
    int width = 0;
    auto answer = [&](bool accept) {
        QTimer::singleShot(0, [&, accept] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            width = box->width();
            accept ? box->accept() : box->reject();
        });
        return g.window.inputBox(QStringLiteral("Enter Directory"), QStringLiteral("DIR"), QString());
    };
    EXPECT_TRUE(answer(false).isNull());
    const QString empty = answer(true);
    EXPECT_TRUE(empty.isEmpty());
    EXPECT_FALSE(empty.isNull());
    EXPECT_GE(width, 500);
}

TEST(MainWindow, TheLocalRoomOpensBesideTheMainWindowAndWhereItWasLeft)
{
    QWidget main, room;
    main.resize(300, 200);
    room.resize(250, 200);
    placeWindows(main, &room);
    EXPECT_FALSE(main.geometry().intersects(room.geometry()));
    EXPECT_EQ(main.y(), room.y());
    main.move(40, 50);
    room.move(400, 60);
    rememberWindows(main, &room);
    QWidget mainAgain, roomAgain;
    placeWindows(mainAgain, &roomAgain);
    EXPECT_EQ(mainAgain.pos(), QPoint(40, 50));
    EXPECT_EQ(roomAgain.pos(), QPoint(400, 60));
}

TEST(MainWindow, TheBotPanelShowsTheStoredDialectAndStoresTheOneChosen)
{
    SaveSetting(BotMode::kGroup, BotMode::kVersionKey, QStringLiteral("auto"));
    Gui g;
    auto* choice = g.window.findChild<QComboBox*>();
    ASSERT_NE(choice, nullptr);
    EXPECT_EQ(choice->currentText(), "Auto");
    const int toc1 = choice->findText(QStringLiteral("TOC1"));
    choice->setCurrentIndex(toc1);
    emit choice->activated(toc1);
    EXPECT_EQ(GetSetting(BotMode::kGroup, BotMode::kVersionKey), "1");
    EXPECT_EQ(g.form.botMode.dialect(), TocDialect::Toc1);
    SaveSetting(BotMode::kGroup, BotMode::kVersionKey, QString());
}
