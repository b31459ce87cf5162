// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/GuiFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include <string_view>

TEST(MainWindow, ControlsReachTheProgramAndItsStateShows)
{
    Gui g;
    g.form.player.nowPlaying().file.setText(QStringLiteral("Artist - Song"));
    EXPECT_NE(g.find<QLabel>(QStringLiteral("Artist - Song")), nullptr);
    QCheckBox* autoRandom = g.find<QCheckBox>(QStringLiteral("Auto Random"));
    ASSERT_NE(autoRandom, nullptr);
    autoRandom->click();
    EXPECT_TRUE(g.form.options.autoRandom.value());
    g.form.options.autoRandom.setValue(false);
    EXPECT_FALSE(autoRandom->isChecked());

    const std::pair<const char*, const char*> buttons[]
        = {{"findOwner", "Find SN"}, {"clearList", "Clear List"}, {"minimize", "Minimize"}, {"about", "About"},
           {"options", "Options"},   {"signOn", "Signon"},        {"join", "Join"},         {"part", "Part"}};
    for (const auto& [name, caption] : buttons) {
        ASSERT_NE(g.skin(name), nullptr) << name;
        EXPECT_EQ(g.skin(name)->text(), caption);
        EXPECT_EQ(g.skin(name)->buttonType(), Skin::ButtonType::Xp);
    }
    g.form.botMode.onSignedOn();
    EXPECT_EQ(g.skin("signOn")->text(), "Logoff");

    // A click on a skin button reaches the form: About opens once, without blocking.
    QTest::mouseClick(g.skin("about"), Qt::LeftButton);
    QTest::mouseClick(g.skin("about"), Qt::LeftButton);
    QWidget* about = visibleTopLevel(QStringLiteral("About Quillon"));
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(about->isModal());

    // The address box gives back what was typed, and nothing on Cancel,
    // once it closes; the program goes on while it is open.
    for (const bool ok : {true, false}) {
        QStringList answers;
        g.window.inputBox(QString(), QString(), QString(), [&](const QString& answer) { answers.append(answer); });
        const QList<QDialog*> boxes = openBoxes<QDialog>(g.window);
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_TRUE(answers.isEmpty());
        boxes[0]->findChild<QLineEdit*>()->setText(QStringLiteral("http://radio.example/"));
        ok ? boxes[0]->accept() : boxes[0]->reject();
        ASSERT_EQ(answers.size(), 1);
        EXPECT_EQ(answers[0], ok ? QStringLiteral("http://radio.example/") : QString());
        EXPECT_EQ(answers[0].isNull(), !ok);
    }

    // Clearing Chat Scan says why scanning matters; scanning stops once
    // that has been read.
    QCheckBox* scan = g.find<QCheckBox>(QStringLiteral("Chat Scan"));
    ASSERT_NE(scan, nullptr);
    ASSERT_TRUE(g.form.scanner.isScanning());
    scan->click();
    const QList<QMessageBox*> notice = openBoxes<QMessageBox>(g.window);
    ASSERT_EQ(notice.size(), 1);
    EXPECT_EQ(notice[0]->windowTitle(), QStringLiteral("Notice"));
    EXPECT_TRUE(g.form.scanner.isScanning());
    notice[0]->accept();
    EXPECT_FALSE(g.form.scanner.isScanning());
    scan->click();
    EXPECT_TRUE(openBoxes<QMessageBox>(g.window).isEmpty());
    EXPECT_TRUE(g.form.scanner.isScanning());
}

TEST(MainWindow, ThePickerLetsGoOfTheResultsOnceWhicheverWayItCloses)
{
    for (const std::string_view way : {"escape", "cancel", "title bar", "name", "return", "main window"}) {
        SCOPED_TRACE(way);
        Gui g;
        g.form.library.playlist().addItems({"a;/a.mp3", "b;/b.mp3"});
        g.form.player.searchResults().addItems({"a;/a.mp3", "b;/b.mp3"});
        g.form.songPicker.open({"a", "b"});
        QWidget* picker = visibleTopLevel(QStringLiteral("Select A Song"));
        ASSERT_NE(picker, nullptr);
        EXPECT_TRUE(g.form.songPicker.isOpen());
        // Return plays the highlighted name, even with a default button
        // in the window; Escape is the window's Cancel.
        auto* names = picker->findChild<QListView*>();
        ASSERT_TRUE(activate(picker));
        if (way == "escape")
            QTest::keyClick(names, Qt::Key_Escape);
        else if (way == "return") {
            QTest::keyClick(names, Qt::Key_Down);
            QTest::keyClick(names, Qt::Key_Return);
        } else if (way == "cancel")
            picker->findChild<QPushButton*>()->click();
        else if (way == "title bar")
            picker->close();
        else if (way == "name")
            g.form.songPicker.pick(1);
        else
            g.window.close();
        EXPECT_FALSE(picker->isVisible());
        EXPECT_FALSE(g.form.songPicker.isOpen());
        EXPECT_EQ(g.form.player.searchResults().count(), 0);
        EXPECT_EQ(g.form.songPicker.names().count(), 0);
        const bool cancelled = way == "cancel" || way == "escape";
        EXPECT_EQ(g.sent.filter(QStringLiteral("C</b>ancelled")).size(), cancelled ? 1 : 0);
        EXPECT_EQ(g.mediaPlayer.urls, way == "return" || way == "name" ? QStringList {"/b.mp3"} : QStringList())
            << g.mediaPlayer.urls.join(' ').toStdString();
        // Results found after it closed stay for the next tick, even when
        // the main window then closes the picker again.
        g.form.player.searchResults().addItem(QStringLiteral("c;/c.mp3"));
        g.window.close();
        EXPECT_EQ(g.form.player.searchResults().count(), 1);
    }
}

// The owner at the window picks in the picker; as the bot's owner, who is
// elsewhere, in the chat. The prefix field keeps only what can be used.
TEST(MainWindow, HitsGoToThePickerOnlyWhereTheOwnerSitsAndThePrefixFieldRefusesASlash)
{
    Gui g;
    g.form.library.playlist().addItems({"a1;/a1.mp3", "a2;/a2.mp3"});
    g.form.options.useBot.setValue(true);
    g.form.player.searchResults().addItems(g.form.library.playlist().items());
    g.form.player.takeSearchResults();
    EXPECT_EQ(visibleTopLevel(QStringLiteral("Select A Song")), nullptr);
    EXPECT_TRUE(g.sent.constLast().endsWith(QStringLiteral("1 a1 \u00b7 2 a2"))) << qPrintable(g.sent.constLast());
    EXPECT_EQ(g.form.player.searchResults().count(), 0);
    g.form.options.useBot.setValue(false);
    g.form.player.searchResults().addItems(g.form.library.playlist().items());
    g.form.player.takeSearchResults();
    EXPECT_NE(visibleTopLevel(QStringLiteral("Select A Song")), nullptr);

    g.form.showCommands();
    QWidget* commands = visibleTopLevel(QStringLiteral("Commands"));
    ASSERT_NE(commands, nullptr);
    auto* field = commands->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);
    for (const char* typed : {"!/", "!"}) {
        field->setText(QString::fromLatin1(typed));
        Q_EMIT field->editingFinished();
    }
    EXPECT_EQ(g.form.interpreter.prefix(), "!");
    EXPECT_EQ(field->text(), "!");
    field->setText(QString());
    Q_EMIT field->editingFinished();
    EXPECT_EQ(g.form.interpreter.prefix(), "");
}

// Closing the window shuts the program down, which saves its files.
TEST(MainWindow, ClosingTheWindowShowsEachFileThatCannotBeWrittenInABox)
{
    Gui lost;
    ASSERT_TRUE(lost.dir.remove());
    lost.window.close();
    EXPECT_TRUE(lost.form.isUnloaded());
    // One box at a time, the next once the one before is read.
    QStringList shown;
    for (QList<QMessageBox*> boxes; !(boxes = openBoxes<QMessageBox>(lost.window)).isEmpty();) {
        ASSERT_EQ(boxes.size(), 1);
        ASSERT_LT(shown.size(), 2);
        shown.append(boxes[0]->text());
        EXPECT_EQ(boxes[0]->icon(), QMessageBox::Critical);
        boxes[0]->accept();
    }
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Cannot write ") + lost.form.paths.playlistFile() + u':'));
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("Cannot write ") + lost.form.paths.settingsFile() + u':'));
}

// Where the windows were as the program closed, not as the closing
// animation left the main window.
TEST(MainWindow, TheLocalRoomOpensBesideTheMainWindowAndBothWhereTheyWereLeft)
{
    // Wider than the screen leaves it beside the main window: it narrows.
    QWidget room;
    room.resize(1000, 200);
    {
        Gui g;
        g.window.resize(g.window.minimumSizeHint());
        g.window.placeBeside(&room);
        EXPECT_FALSE(g.window.geometry().intersects(room.geometry()));
        EXPECT_LE(room.geometry().right(), g.window.screen()->availableGeometry().right());
        g.window.setGeometry(QRect(QPoint(40, 50), g.window.minimumSize() + QSize(20, 30)));
        room.setGeometry(400, 60, 260, 220);
        g.window.close();
        ASSERT_GT(g.window.height(), 500);
    }
    QWidget roomAgain;
    Gui again;
    again.window.placeBeside(&roomAgain);
    EXPECT_EQ(again.window.geometry(), QRect(QPoint(40, 50), again.window.minimumSize() + QSize(20, 30)));
    EXPECT_EQ(roomAgain.geometry(), room.geometry());
}
