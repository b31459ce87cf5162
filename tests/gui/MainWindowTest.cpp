#include "gui/MainWindow.h"
#include "app/MainForm.h"
#include "controls/SkinButton.h"
#include "support/TestState.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string_view>

namespace {

struct Gui {
    QTemporaryDir dir;
    NoWindows windows;
    FakeMediaPlayer wmp;
    MainWindow window;
    MainForm form {AppPaths {dir.path(), dir.path()}, windows, wmp, window};

    Gui()
    {
        window.attach(form);
        window.show();
        form.Form_Load();
    }
    template <typename W> W* find(const QString& text)
    {
        const auto all = window.findChildren<W*>();
        const auto it = std::find_if(all.begin(), all.end(), [&](W* w) { return w->text() == text; });
        return it == all.end() ? nullptr : *it;
    }
    SkinButton* skin(int i) { return window.findChild<SkinButton*>(QStringLiteral("skinButton%1").arg(i)); }
};

QWidget* visibleTopLevel(const QString& title)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == title)
            return w;
    }
    return nullptr;
}

}  // namespace

TEST(MainWindow, ControlsReachTheFormAndTheFormsHoldersShow)
{
    Gui g;
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
        ASSERT_NE(g.skin(i + 1), nullptr) << i + 1;
        EXPECT_EQ(g.skin(i + 1)->Caption(), captions[i]);
        EXPECT_EQ(g.skin(i + 1)->ButtonType(), 3);
    }
    g.form.skinButton6.setCaption(QStringLiteral("Logoff"));
    EXPECT_EQ(g.skin(6)->Caption(), "Logoff");

    // A click on a skin button reaches the form: About opens once, without blocking.
    QTest::mouseClick(g.skin(4), Qt::LeftButton);
    QTest::mouseClick(g.skin(4), Qt::LeftButton);
    QWidget* about = visibleTopLevel(QStringLiteral("About Quillon"));
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(about->isModal());
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
        QWidget* picker = visibleTopLevel(QStringLiteral("Select A Song"));
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

// The owner at the window picks in the picker; as the bot's owner, who is
// elsewhere, in the chat. The prefix field keeps only what can be used.
TEST(MainWindow, HitsGoToThePickerOnlyWhereTheOwnerSitsAndThePrefixFieldRefusesASlash)
{
    Gui g;
    QStringList sent;
    QObject::connect(&g.form.chat1, &ChatScanner::sendChatCalled, [&](const QString& t) { sent.append(t); });
    g.form.List2.addItems({"a1;/a1.mp3", "a2;/a2.mp3"});
    g.form.chkBot.setValue(1);
    g.form.List3.addItems(g.form.List2.items());
    g.form.player.Timer1_Timer();
    EXPECT_EQ(visibleTopLevel(QStringLiteral("Select A Song")), nullptr);
    EXPECT_TRUE(sent.constLast().endsWith(QStringLiteral("1 a1 \u00b7 2 a2"))) << qPrintable(sent.constLast());
    EXPECT_EQ(g.form.List3.count(), 0);
    g.form.chkBot.setValue(0);
    g.form.List3.addItems(g.form.List2.items());
    g.form.player.Timer1_Timer();
    EXPECT_NE(visibleTopLevel(QStringLiteral("Select A Song")), nullptr);

    g.form.commands_Click();
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

// Where the windows were as the program closed, not as the closing
// animation left the main window.
TEST(MainWindow, TheLocalRoomOpensBesideTheMainWindowAndBothWhereTheyWereLeft)
{
    QWidget room;
    room.resize(250, 200);
    {
        Gui g;
        g.window.resize(g.window.minimumSizeHint());
        g.window.placeBeside(&room);
        EXPECT_FALSE(g.window.geometry().intersects(room.geometry()));
        g.window.setGeometry(40, 50, 360, 440);
        room.setGeometry(400, 60, 260, 220);
        g.window.close();
        ASSERT_GT(g.window.height(), 500);
    }
    QWidget roomAgain;
    Gui again;
    again.window.placeBeside(&roomAgain);
    EXPECT_EQ(again.window.geometry(), QRect(40, 50, 360, 440));
    EXPECT_EQ(roomAgain.geometry(), room.geometry());
}
