// SPDX-License-Identifier: GPL-3.0-or-later
#include "chatlink/LocalRoom.h"
#include "chatlink/SimDesktop.h"
#include "controls/UserStore.h"
#include "gui/GuiFixture.h"
#include "gui/LocalRoomWindow.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include <functional>

namespace {

std::string nameOf(const QWidget* w)
{
    return (QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName() + u' '
            + w->property("text").toString())
        .toStdString();
}

QRect placeOf(const QWidget* w, const QWidget* window)
{
    return QRect(w->mapTo(window, QPoint()), w->size());
}

// What the control is laid out in: its window, or the page a scroll area
// moves.
const QWidget* pageOf(const QWidget* w)
{
    for (const QWidget* up = w->parentWidget(); up; up = up->parentWidget()) {
        const auto* scroll
            = up->parentWidget() ? qobject_cast<const QScrollArea*>(up->parentWidget()->parentWidget()) : nullptr;
        if (up->isWindow() || (scroll && scroll->widget() == up))
            return up;
    }
    return w;
}

// What a person sees and uses in a window: the outermost widgets of the
// kinds that show a text or take input (not the parts of one, such as a
// view's scroll bars).
QList<QWidget*> controlsOf(QWidget* window)
{
    QList<QWidget*> found;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)
            || qobject_cast<QLabel*>(w) || qobject_cast<QComboBox*>(w)
            || (qobject_cast<QAbstractScrollArea*>(w) && !qobject_cast<QScrollArea*>(w));
        if (control && w->window() == window && w->isVisibleTo(window))
            found.append(w);
    }
    found.removeIf([&](QWidget* w) {
        return std::any_of(found.begin(), found.end(), [w](QWidget* up) { return up != w && up->isAncestorOf(w); });
    });
    return found;
}

void settle(QWidget* window)
{
    for (int pass = 0; pass < 3; ++pass) {
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        window->layout()->activate();
    }
}

// Nothing overlaps or leaves the window (or the page it scrolls), every
// control has the room it asks for, and every skin button shows its
// caption whole on one line.
void expectLaidOut(QWidget* window)
{
    const QList<QWidget*> controls = controlsOf(window);
    ASSERT_GT(controls.size(), 1);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget* w = controls[i];
        const QWidget* page = pageOf(w);
        const QRect at = placeOf(w, page);
        EXPECT_TRUE(page->rect().contains(at)) << nameOf(w);
        if (!qobject_cast<const QAbstractScrollArea*>(w)) {  // those scroll what does not fit
            const QSize least = w->minimumSizeHint();
            const int height = w->hasHeightForWidth() ? w->heightForWidth(at.width()) : least.height();
            EXPECT_TRUE(at.width() >= least.width() && at.height() >= height)
                << nameOf(w) << " is " << at.width() << "x" << at.height();
        }
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(pageOf(controls[j]) == page && at.intersects(placeOf(controls[j], page)))
                << nameOf(w) << " / " << nameOf(controls[j]);
    }
    for (const SkinButton* b : window->findChildren<SkinButton*>()) {
        const QSize caption = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
        EXPECT_TRUE(caption.width() + 8 <= b->width() && caption.height() + 8 <= b->height())
            << b->text().toStdString() << " in " << b->width() << "x" << b->height();
    }
}

// At its smallest, and larger; `grown` checks where the spare room went.
void expectLaidOutAtEverySize(QWidget* window, const std::function<void(QSize)>& grown = {})
{
    SCOPED_TRACE(window->windowTitle().toStdString());
    window->show();
    settle(window);
    window->resize(1, 1);
    settle(window);
    EXPECT_EQ(window->size(), window->minimumSize());
    expectLaidOut(window);
    const QSize smallest = window->size();
    window->resize(smallest + QSize(300, 200));
    settle(window);
    expectLaidOut(window);
    if (grown)
        grown(smallest);
}

// Tab reads the window as a person does: down one column, then the next
// (split at x), each row from left to right; it reaches every control that
// takes input exactly once, and a skin button shows that it has the focus.
void expectReadingOrder(QWidget* window, int split = INT_MAX)
{
    SCOPED_TRACE(window->windowTitle().toStdString());
    // What Tab visits until it comes back to a widget it has been to, each
    // skin button seen as it looks with the focus. The focus may start
    // outside the cycle (on a widget the window gave it to before it was
    // active): the visits before the cycle closes are not part of it.
    QList<QWidget*> visited;
    std::map<SkinButton*, QImage> focusedLook;
    EXPECT_TRUE(activate(window));
    QWidget* at = QApplication::focusWidget();
    for (; at && !visited.contains(at) && visited.size() < 60; at = QApplication::focusWidget()) {
        visited.append(at);
        if (auto* b = qobject_cast<SkinButton*>(at))
            focusedLook[b] = b->grab().toImage();
        QTest::keyClick(at, Qt::Key_Tab);
    }
    visited = visited.mid(std::max<qsizetype>(0, visited.indexOf(at)));
    std::erase_if(focusedLook, [&](const auto& seen) { return !visited.contains(seen.first); });
    // The window may start anywhere in the cycle (the Local Room in its
    // input box); the cycle starts at the top left.
    const auto topLeft = std::min_element(visited.begin(), visited.end(), [&](QWidget* a, QWidget* b) {
        const QRect ra = placeOf(a, window), rb = placeOf(b, window);
        return std::tuple(ra.center().x() >= split, ra.top(), ra.left())
            < std::tuple(rb.center().x() >= split, rb.top(), rb.left());
    });
    std::rotate(visited.begin(), topLeft, visited.end());
    for (QWidget* w : controlsOf(window)) {
        if (!qobject_cast<QLabel*>(w) && w->isEnabled()) {
            EXPECT_EQ(visited.count(w), 1) << nameOf(w);
        }
    }
    for (qsizetype i = 1; i < visited.size(); ++i) {
        const QRect a = placeOf(visited[i - 1], window), b = placeOf(visited[i], window);
        const int columnA = a.center().x() >= split, columnB = b.center().x() >= split;
        const bool sameRow = std::abs(a.center().y() - b.center().y()) < std::min(a.height(), b.height()) / 2;
        EXPECT_TRUE(columnA < columnB || (columnA == columnB && (sameRow ? b.left() > a.left() : b.top() > a.top())))
            << nameOf(visited[i - 1]) << " then " << nameOf(visited[i]);
    }
    for (const auto& [button, look] : focusedLook) {
        EXPECT_FALSE(button->hasFocus());
        EXPECT_NE(button->grab().toImage(), look) << button->text().toStdString();
    }
}

// Whether any part of the block is drawn in italics or in red.
bool styled(const QTextBlock& block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (format.fontItalic() || format.foreground().color() == Qt::red)
            return true;
    }
    return false;
}

// The Local Room window over a room of its own.
struct RoomWindow {
    SimDesktop desktop;
    LocalRoom room {desktop, QStringLiteral("owner")};
    LocalRoomWindow window {room};
};

}  // namespace

// Run again at twice the scale (QT_SCALE_FACTOR=2) by the test list.
TEST(Layout, EveryWindowFromItsSmallestSizeUpAndTabFollowsReadingOrder)
{
    Gui g;
    const QString name = QStringLiteral("a song whose name goes on for far longer than the list is wide");
    // The list shows a row's name, never its path.
    g.form.library.playlist().addItem(name + QStringLiteral(";/music/long.mp3"));
    auto* playlist = g.window.findChild<QListView*>();
    EXPECT_EQ(playlist->model()->index(0, 0).data().toString(), name);
    expectLaidOutAtEverySize(&g.window, [&](QSize smallest) {
        // The spare height goes to the playlist, and long names end in "…".
        EXPECT_GE(playlist->height(), 150 + smallest.height() - g.window.minimumSize().height());
        EXPECT_FALSE(playlist->horizontalScrollBar()->isVisible());
    });
    expectReadingOrder(&g.window, placeOf(playlist, &g.window).right());

    // In each dialog, and Escape closes it.
    for (QWidget* dialog : g.openDialogs()) {
        expectLaidOutAtEverySize(dialog);
        expectReadingOrder(dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(dialog->isVisible()) << dialog->windowTitle().toStdString();
    }
    RoomWindow room;
    expectLaidOutAtEverySize(&room.window);
    expectReadingOrder(&room.window);
}

// The main window's two menus open from the keyboard: the playlist's by
// Return on a row, the Options button's below the button.
TEST(Keyboard, MenusOfTheMainWindowOpenFromTheKeyboard)
{
    Gui g;
    g.form.library.playlist().addItems({"a;/a.mp3", "b;/b.mp3"});
    ASSERT_TRUE(activate(&g.window));
    auto* playlist = g.window.findChild<QListView*>();
    playlist->setFocus();
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return})
        QTest::keyClick(playlist, key);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_EQ(g.mediaPlayer.urls, QStringList {"/b.mp3"});

    SkinButton* options = g.skin("options");
    options->setFocus();
    QTest::keyClick(options, Qt::Key_Space);
    menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->actions().value(0)->text(), "ChatSends");
    EXPECT_GE(menu->geometry().top(), options->mapToGlobal(QPoint(0, options->height())).y());
    menu->close();
}

// Return presses the focused button, else "&Set Chatsends"; "Set" leaves
// the chat sends alone; no box takes a line break.
TEST(Keyboard, ReturnInChatSendsKeepsTheEdits)
{
    for (const bool onSet : {true, false}) {
        SCOPED_TRACE(onSet ? "Set focused" : "in a box");
        Gui g;
        g.form.showChatSends();
        QWidget* sends = visibleTopLevel(QStringLiteral("Chat Sends"));
        ASSERT_TRUE(sends && activate(sends));
        const QLabel* label = g.find<QLabel>(QStringLiteral("Pause:"), sends);
        ASSERT_NE(label, nullptr);
        QWidget* pause = label->buddy();
        pause->setFocus();
        QTest::keyClick(pause, Qt::Key_End);
        QTest::keyClicks(pause, QStringLiteral("X"));
        QWidget* target = pause;
        if (onSet) {
            target = sends->findChild<QPushButton*>();
            target->setFocus();
        }
        QTest::keyClick(target, Qt::Key_Return);
        EXPECT_FALSE(sends->isVisible());
        EXPECT_EQ(readSetting(QStringLiteral("cs"), QStringLiteral("pause"), QStringLiteral("none")),
                  onSet ? "none" : "PausedX");
    }
}

TEST(LocalRoomWindow, EachLineIsDrawnOnItsOwn)
{
    RoomWindow r;
    const QTextDocument* shown = r.window.findChild<QTextBrowser*>()->document();
    std::string transcript = "<BR><B>bot</B>: <i><font color=#ff0000>open tags<BR><B>alice</B>: plain words";
    r.desktop.sendMessage(r.room.window().transcript, wm::SETTEXT, 0, transcript);
    ASSERT_EQ(shown->blockCount(), 2);
    EXPECT_TRUE(styled(shown->firstBlock()));
    EXPECT_FALSE(styled(shown->lastBlock()));
    EXPECT_EQ(shown->lastBlock().text(), "alice: plain words");

    // Lines said later come after those, drawn plainly; a transcript that
    // was cleared shows only what it holds.
    r.room.sayAs(QStringLiteral("bob"), QStringLiteral("more <i>words"));
    EXPECT_EQ(shown->blockCount(), 3);
    EXPECT_EQ(shown->lastBlock().text(), "bob: more <i>words");
    EXPECT_FALSE(styled(shown->lastBlock()));
    transcript = "<BR><B>carol</B>: <i>again";
    r.desktop.sendMessage(r.room.window().transcript, wm::SETTEXT, 0, transcript);
    EXPECT_EQ(shown->toPlainText(), "carol: again");
}
