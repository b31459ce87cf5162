// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/SkinButton.h"
#include "controls/PropertyBag.h"
#include "controls/SkinLooks.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>

namespace {

const OleColor kFace = oleColor(100, 100, 96);

// A button of a known colour on a window of its own, big enough to look at.
struct Shown {
    QWidget window;
    SkinButton* button = new SkinButton(QString(), &window);

    explicit Shown(int type)
    {
        window.resize(120, 60);
        button->setGeometry(10, 10, 80, 30);
        button->setColorScheme(2);
        button->setBackColor(kFace);
        button->setBackOver(kFace);
        button->setButtonType(type);
        window.show();
    }
    QImage image() { return button->grab().toImage(); }
    void send(QEvent&& event) { QApplication::sendEvent(button, &event); }
    void enter() { send(QEnterEvent(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15))); }
    // Sent straight to the button, bypassing the window system's idea of
    // which buttons are held.
    void mouse(QEvent::Type type, Qt::MouseButton button)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        send(QMouseEvent(type, QPointF(20, 10), QPointF(20, 10), button, held, {}));
    }
};

}  // namespace

// Every look in every state on one sheet, the same dot for dot as the sheet
// a person looked at last. After a change of look, look at the new sheet
// (beside the test program) and copy it over tests/controls/skin-gallery.png.
TEST(SkinButtonLook, GallerySheetIsTheOneLookedAt)
{
    QImage sheet(5 * 80, 15 * 30, QImage::Format_RGB32);
    QPainter painter(&sheet);
    QPixmap picture(8, 8);
    picture.fill(Qt::darkBlue);
    for (int cell = 0; cell < 75; ++cell) {
        // The last row: a picture left, right, above, below and behind.
        const bool pictured = cell >= 70;
        Shown s(pictured ? 2 : cell / 5 + 1);
        s.button->setCaption(QStringLiteral("&Go"));
        s.button->setBackOver(oleColor(236, 233, 216));
        const int state = cell % 5;
        if (pictured) {
            s.button->setPictureNormal(picture);
            s.button->setPicturePosition(state);
        } else {
            state == 1       ? s.enter()
                : state == 2 ? s.mouse(QEvent::MouseButtonPress, Qt::LeftButton)
                : state == 3 ? s.send(QFocusEvent(QEvent::FocusIn))
                             : s.button->setEnabled(state != 4);
        }
        painter.drawImage(state * 80, cell / 5 * 30, s.image());
    }
    painter.end();
    ASSERT_TRUE(sheet.save(QStringLiteral(QUILLON_GALLERY_DIR "/skin-gallery.png")));
    EXPECT_TRUE(sheet == QImage(QStringLiteral(QUILLON_APPROVED_GALLERY)).convertToFormat(sheet.format()));
}

TEST(SkinButtonLook, ShapesCaptionlessTransparentAndPictures)
{
    // Types 1, 3 and 5 have their corners cut off; most have no shape.
    for (const int type : {1, 3, 5, 2}) {
        Shown rounded(type);
        const QRegion shape = rounded.button->mask();
        EXPECT_EQ(shape.isEmpty(), type == 2) << type;
        EXPECT_FALSE(shape.contains(QPoint(0, 0)) || shape.contains(QPoint(79, 29))) << type;
    }
    Shown oval(13);
    EXPECT_TRUE(oval.button->mask().contains(QPoint(40, 15)) && !oval.button->mask().contains(QPoint(1, 1)));
    // The outline is whole: every dot of the shape's edge, at any size.
    for (const QSize size : {QSize(80, 30), QSize(81, 31), QSize(23, 23), QSize(151, 40)}) {
        oval.button->resize(size);
        const QImage img = oval.image();
        const QRegion shape = oval.button->mask();
        const QRgb outline = toQColor(oval.button->colors().darkShadow).rgb();
        int edgeDots = 0;
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                const QPoint p(x, y);
                const bool edge = shape.contains(p)
                    && !(shape.contains(p + QPoint(1, 0)) && shape.contains(p - QPoint(1, 0))
                         && shape.contains(p + QPoint(0, 1)) && shape.contains(p - QPoint(0, 1)));
                edgeDots += edge;
                EXPECT_TRUE(!edge || img.pixel(p) == outline)
                    << size.width() << "x" << size.height() << " at " << x << "," << y;
            }
        }
        EXPECT_GT(edgeDots, size.width() + size.height());
    }

    // A picture: the mask colour lets the face through; grey when asked.
    // The hover picture waits for the pointer.
    QPixmap picture(16, 16), over(16, 16);
    picture.fill(Qt::magenta);
    over.fill(Qt::blue);
    QPainter(&picture).fillRect(6, 6, 4, 4, Qt::red);
    Shown pic(10);
    pic.button->setMaskColor(oleColor(255, 0, 255));
    pic.button->setPictureNormal(picture);
    pic.button->setPictureOver(over);
    const QPoint centre(40, 15), edge(34, 9);
    EXPECT_EQ(pic.image().pixel(centre), qRgb(255, 0, 0));
    EXPECT_EQ(pic.image().pixel(edge), toQColor(kFace).rgb());
    pic.button->setUseGreyscale(true);
    const QRgb grey = pic.image().pixel(centre);
    EXPECT_TRUE(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey));

    // The button holds its caption whole: beside the picture (0, 1) it
    // widens the button, above or below it (2, 3) it heightens it.
    Shown both(2);
    const QString caption = QStringLiteral("A caption longer than the button");
    both.button->setCaption(caption);
    both.button->setPictureNormal(picture);
    const auto hint = [&](int position) {
        both.button->setPicturePosition(position);
        return both.button->minimumSizeHint();
    };
    EXPECT_GT(hint(1).width(), hint(3).width());
    EXPECT_LT(hint(0).height(), hint(2).height());
    both.button->setPicturePosition(SkinButton::PictureBelow);
    // Only type 14 shows the default button's caption in bold.
    const QSize plain = both.button->minimumSizeHint();
    both.button->setDefault(true);
    EXPECT_EQ(both.button->minimumSizeHint(), plain);
    EXPECT_GE(both.button->sizeHint().width(), both.button->fontMetrics().size(0, caption).width() + 16);
}

TEST(SkinButtonInput, MouseButtonsToggleDoubleClickAndHover)
{
    Shown s(3);
    QSignalSpy clicks(s.button, &SkinButton::Click);
    // The right button neither presses, nor starts a click, nor takes the
    // focus; the left one does.
    QTest::mousePress(s.button, Qt::RightButton, {}, QPoint(20, 10));
    EXPECT_EQ(s.button->drawnState(), SkinButton::State::Normal);
    EXPECT_EQ(s.window.focusWidget(), nullptr);
    QTest::mouseRelease(s.button, Qt::RightButton, {}, QPoint(20, 10));
    s.mouse(QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 0);

    QTest::mousePress(s.button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(s.button->drawnState(), SkinButton::State::Pressed);
    EXPECT_EQ(s.window.focusWidget(), s.button);
    QTest::mouseRelease(s.button, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(clicks.count(), 0);  // released outside
    // The platform's double click is press, release, double click, release:
    // two clicks.
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease})
        s.mouse(type, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 2);

    s.button->setCheckBoxBehaviour(true);
    for (bool expected : {true, false}) {
        QTest::mouseClick(s.button, Qt::LeftButton, {}, QPoint(20, 10));
        EXPECT_EQ(s.button->value(), expected);
        EXPECT_EQ(s.button->drawnState(), expected ? SkinButton::State::Pressed : SkinButton::State::Normal);
    }

    // MouseOver and MouseOut once per visit, however the cursor moves.
    QSignalSpy over(s.button, &SkinButton::MouseOver), out(s.button, &SkinButton::MouseOut);
    for (int visit = 1; visit <= 2; ++visit) {
        s.enter();
        QTest::mouseMove(s.button, QPoint(30, 10));
        s.send(QEvent(QEvent::Leave));
        EXPECT_EQ(over.count(), visit);
        EXPECT_EQ(out.count(), visit);
    }
}

// Keys reach KeyDown as the desktop's key codes, with the shift state;
// MousePointer picks the desktop's pointer shapes, the arrow past them.
TEST(SkinButtonInput, KeyCodesAndPointerShapes)
{
    Shown s(3);
    QList<int> codes;
    QObject::connect(s.button, &SkinButton::KeyDown, [&](short code, short shift) { codes << code << shift; });
    QObject::connect(s.button, &SkinButton::Click, [&] { codes << -1; });
    for (const Qt::Key key :
         {Qt::Key_A, Qt::Key_Z, Qt::Key_0, Qt::Key_9, Qt::Key_Left, Qt::Key_Delete, Qt::Key_F2, Qt::Key_Space})
        QTest::keyClick(s.button, key, Qt::ShiftModifier);
    // Each after its Shift key (16), down with shift (1); Space clicks (-1)
    // as it comes up, and not again as the Shift key does.
    EXPECT_EQ(codes, QList<int>({16, 1,  65, 1,  16, 1,  90, 1,  16,
                                 1,  48, 1,  16, 1,  57, 1,  16, 1,
                                 37, 1,  16, 1,  46, 1,  16, 1,  Qt::Key_F2 & 0x7FFF,
                                 1,  16, 1,  32, 1,  -1}));
    for (const auto& [pointer, shape] :
         {std::pair(3, Qt::IBeamCursor), {15, Qt::SizeAllCursor}, {16, Qt::ArrowCursor}, {INT_MIN, Qt::ArrowCursor}}) {
        s.button->setMousePointer(pointer);
        EXPECT_EQ(s.button->cursor().shape(), shape) << pointer;
    }
}

// In a dialog the access keys click their buttons, and Return in a line
// edit clicks the default one, as a push button's dialog would; Return on
// a focused button, skin or plain, clicks that one.
TEST(SkinButtonInput, AccessKeysAndReturnForTheDefaultButton)
{
    QDialog window;
    auto* edit = new QLineEdit(&window);
    auto* add = new SkinButton(QStringLiteral("&Add"), &window);
    auto* plain = new SkinButton(QStringLiteral("Fish && &&Chips"), &window);
    auto* push = new QPushButton(QStringLiteral("Push"), &window);
    QSignalSpy added(add, &SkinButton::Click), plainClicks(plain, &SkinButton::Click),
        pushed(push, &QPushButton::clicked);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(added.count(), 0);
    add->setDefault(true);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Enter);
    QTest::keyClick(edit, Qt::Key_A, Qt::AltModifier);
    QTest::keyClick(edit, Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(added.count(), 3);
    EXPECT_EQ(plainClicks.count(), 0);
    plain->setFocus();
    QTest::keyClick(plain, Qt::Key_Return);
    const qsizetype pushedBefore = pushed.count();  // the dialog's own default until then
    push->setFocus();
    QTest::keyClick(push, Qt::Key_Return);
    EXPECT_EQ(plainClicks.count(), 1);
    EXPECT_EQ(pushed.count(), pushedBefore + 1);
    EXPECT_EQ(added.count(), 3);
    edit->setFocus();
    add->setDefault(false);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(added.count(), 3);
}

// A screen reader reads the caption, the button's kind and a toggle's state,
// and can press it.
TEST(SkinButtonInput, Accessibility)
{
    Shown s(3);
    s.button->setCaption(QStringLiteral("Fish && &Chips"));
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(s.button);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->role(), QAccessible::Button);
    EXPECT_EQ(reader->text(QAccessible::Name), "Fish & Chips");
    EXPECT_FALSE(reader->state().checkable || reader->state().pressed);
    QSignalSpy clicks(s.button, &SkinButton::Click);
    s.button->setCheckBoxBehaviour(true);
    QAccessibleActionInterface* actions = reader->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(actions->actionNames().value(0));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(reader->state().checkable && reader->state().checked);
    // Held down but no longer a check box: a plain button is never checked.
    s.button->setCheckBoxBehaviour(false);
    EXPECT_TRUE(s.button->value());
    EXPECT_FALSE(reader->state().checked);
    s.button->setEnabled(false);
    EXPECT_TRUE(reader->state().disabled);
}

TEST(SkinButtonProperties, SavedInOrderLoadedEqualAndMissingKeysDefault)
{
    SkinButton saved(QStringLiteral("Signon"));
    saved.setButtonType(13);
    saved.setBackColor(0x123456);
    saved.setFontBold(true);
    saved.setPicturePosition(SkinButton::PictureAbove);
    QPixmap picture(8, 8);
    picture.fill(Qt::green);
    saved.setPictureOver(picture);

    PropertyBag bag;
    bag.WriteProperty(QStringLiteral("BTYPE"), 3);  // written over, not beside
    saved.WriteProperties(bag);
    EXPECT_EQ(bag.keys(), QStringList({"BTYPE", "TX",     "ENAB",  "FONT", "COLTYPE", "FOCUSR", "BCOL", "BCOLO",
                                       "FCOL",  "FCOLO",  "MCOL",  "MPTR", "MICON",   "PICN",   "PICH", "UMCOL",
                                       "SOFT",  "PICPOS", "NGREY", "FX",   "HAND",    "CHECK",  "VALUE"}));
    SkinButton loaded;
    loaded.ReadProperties(bag);
    PropertyBag again;
    loaded.WriteProperties(again);
    EXPECT_EQ(again, bag);

    // A button saved before some keys existed.
    PropertyBag old;
    old.WriteProperty(QStringLiteral("BCOL"), 0x0000FFu);
    old.WriteProperty(QStringLiteral("FCOL"), 0x00FF00u);
    SkinButton missing;
    missing.setEnabled(false);
    missing.ReadProperties(old);
    EXPECT_EQ(std::pair(missing.BackOver(), missing.ForeOver()), std::pair(0x0000FFu, 0x00FF00u));
    EXPECT_EQ(missing.ButtonType(), 2);
    EXPECT_TRUE(missing.isEnabled());
    missing.ReadProperties(PropertyBag());
    EXPECT_EQ(missing.BackColor(), SystemColor::ButtonFace);
}
