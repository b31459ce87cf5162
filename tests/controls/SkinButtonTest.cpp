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

using namespace Qt::StringLiterals;
using Skin::ButtonType;

namespace {

const OleColor kFace = oleColor(100, 100, 96);

// A button of a known colour on a window of its own, big enough to look at.
struct Shown {
    QWidget window;
    SkinButton* button = new SkinButton(QString(), &window);

    explicit Shown(ButtonType type)
    {
        window.resize(120, 60);
        button->setGeometry(10, 10, 80, 30);
        button->setColorScheme(Skin::ColorScheme::Custom);
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
    void mouse(QEvent::Type type, Qt::MouseButton which, QPointF at = QPointF(20, 10))
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : which;
        send(QMouseEvent(type, at, at, which, held, {}));
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
        Shown s(pictured ? ButtonType::Classic : ButtonType(cell / 5 + 1));
        s.button->setText(u"&Go"_s);
        s.button->setBackOver(oleColor(236, 233, 216));
        const int state = cell % 5;
        if (pictured) {
            s.button->setPictureNormal(picture);
            s.button->setPicturePosition(Skin::PicturePosition(state));
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
    // Three looks have their corners cut off; most have no shape. A press
    // on a cut corner does not press the button.
    for (const ButtonType type : {ButtonType::Outlined, ButtonType::Xp, ButtonType::Flat, ButtonType::Classic}) {
        Shown rounded(type);
        const QRegion shape = rounded.button->mask();
        const bool shaped = type != ButtonType::Classic;
        EXPECT_EQ(shape.isEmpty(), !shaped) << int(type);
        EXPECT_FALSE(shape.contains(QPoint(0, 0)) || shape.contains(QPoint(79, 29))) << int(type);
        rounded.mouse(QEvent::MouseButtonPress, Qt::LeftButton, QPointF(0, 0));
        EXPECT_EQ(rounded.button->isDown(), !shaped) << int(type);
    }
    Shown oval(ButtonType::Oval);
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
    Shown pic(ButtonType::FaceOnly);
    pic.button->setText(u"Hidden"_s);
    pic.button->setMaskColor(oleColor(255, 0, 255));
    pic.button->setPictureNormal(picture);
    pic.button->setPictureOver(over);
    const QPoint centre(40, 15), edge(34, 9);
    EXPECT_EQ(pic.image().pixel(centre), qRgb(255, 0, 0));
    EXPECT_EQ(pic.image().pixel(edge), toQColor(kFace).rgb());
    // The face-only look shows no caption: nothing but face and picture.
    const QImage faceOnly = pic.image();
    for (int y = 0; y < faceOnly.height(); ++y)
        for (int x = 0; x < faceOnly.width(); ++x)
            ASSERT_TRUE(faceOnly.pixel(x, y) == toQColor(kFace).rgb() || QRect(32, 7, 16, 16).contains(x, y))
                << x << "," << y;
    pic.button->setUseGreyscale(true);
    const QRgb grey = pic.image().pixel(centre);
    EXPECT_TRUE(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey));

    // The button holds its caption whole: beside the picture it widens the
    // button, above or below it it heightens it.
    using Skin::PicturePosition;
    Shown both(ButtonType::Classic);
    const QString caption = u"A caption longer than the button"_s;
    both.button->setText(caption);
    both.button->setPictureNormal(picture);
    const auto hint = [&](PicturePosition position) {
        both.button->setPicturePosition(position);
        return both.button->minimumSizeHint();
    };
    EXPECT_GT(hint(PicturePosition::Right).width(), hint(PicturePosition::Below).width());
    EXPECT_LT(hint(PicturePosition::Left).height(), hint(PicturePosition::Above).height());
    both.button->setPicturePosition(PicturePosition::Below);
    // Only the glossy look shows the default button's caption in bold.
    const QSize plain = both.button->minimumSizeHint();
    both.button->setDefault(true);
    EXPECT_EQ(both.button->minimumSizeHint(), plain);
    EXPECT_GE(both.button->sizeHint().width(), both.button->fontMetrics().size(0, caption).width() + 16);
}

TEST(SkinButtonInput, MouseButtonsToggleDoubleClickAndHover)
{
    Shown s(ButtonType::Xp);
    QSignalSpy clicks(s.button, &SkinButton::clicked);
    QList<int> downs;
    QObject::connect(s.button, &SkinButton::mouseDown, [&](short button, short shift, float x, float y) {
        downs << button << shift << int(x) << int(y);
    });
    // The right button is told of, but neither presses nor starts a click.
    QTest::mousePress(s.button, Qt::RightButton, Qt::ShiftModifier, QPoint(20, 10));
    EXPECT_FALSE(s.button->isDrawnPressed());
    QTest::mouseRelease(s.button, Qt::RightButton, {}, QPoint(20, 10));
    s.mouse(QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(downs, QList<int>({2, 1, 20, 10}));

    QTest::mousePress(s.button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(s.button->isDrawnPressed());
    EXPECT_EQ(s.window.focusWidget(), s.button);
    QTest::mouseRelease(s.button, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(clicks.count(), 0);  // released outside
    EXPECT_FALSE(s.button->isDrawnPressed());
    // The platform's double click is press, release, double click, release:
    // two clicks.
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease})
        s.mouse(type, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 2);

    // A check box flips with each click and is drawn pressed while checked.
    s.button->setCheckable(true);
    const QImage up = s.image();
    for (bool expected : {true, false}) {
        QTest::mouseClick(s.button, Qt::LeftButton, {}, QPoint(20, 10));
        EXPECT_EQ(s.button->isChecked(), expected);
        EXPECT_EQ(s.button->isDrawnPressed(), expected);
        EXPECT_EQ(s.image() != up, expected);
    }

    // mouseOver and mouseOut once per visit, however the cursor moves.
    QSignalSpy over(s.button, &SkinButton::mouseOver), out(s.button, &SkinButton::mouseOut);
    for (int visit = 1; visit <= 2; ++visit) {
        s.enter();
        QTest::mouseMove(s.button, QPoint(30, 10));
        EXPECT_TRUE(s.button->isOver());
        s.send(QEvent(QEvent::Leave));
        EXPECT_EQ(over.count(), visit);
        EXPECT_EQ(out.count(), visit);
    }
    // Moving off the oval's shape inside its rectangle is leaving it.
    s.button->setButtonType(ButtonType::Oval);
    s.enter();
    s.mouse(QEvent::MouseMove, Qt::NoButton, QPointF(1, 1));
    EXPECT_FALSE(s.button->isOver());
    EXPECT_EQ(out.count(), 3);
}

// Keys reach keyDown as the desktop's key codes, with the shift state; Space
// clicks; the arrows move the focus; mousePointer picks the desktop's
// pointer shapes, the arrow past them, and the hand shows a pointing hand.
TEST(SkinButtonInput, KeysArrowsAndPointerShapes)
{
    Shown s(ButtonType::Xp);
    QList<int> codes;
    QObject::connect(s.button, &SkinButton::keyDown, [&](short code, short shift) { codes << code << shift; });
    QObject::connect(s.button, &SkinButton::clicked, [&] { codes << -1; });
    for (const Qt::Key key : {Qt::Key_A, Qt::Key_Z, Qt::Key_0, Qt::Key_9, Qt::Key_Delete, Qt::Key_F2, Qt::Key_Space})
        QTest::keyClick(s.button, key, Qt::ShiftModifier);
    // Each after its Shift key (16), down with shift (1); Space clicks (-1)
    // as it comes up, and not again as the Shift key does.
    EXPECT_EQ(
        codes,
        QList<int>({16, 1,  65, 1,  16, 1, 90, 1, 16, 1, 48, 1, 16, 1, 57, 1, 16, 1, 46, 1, 16, 1, Qt::Key_F2 & 0x7FFF,
                    1,  16, 1,  32, 1,  -1}));
    for (const auto& [pointer, shape] :
         {std::pair(3, Qt::IBeamCursor), {15, Qt::SizeAllCursor}, {16, Qt::ArrowCursor}, {INT_MIN, Qt::ArrowCursor}}) {
        s.button->setMousePointer(pointer);
        EXPECT_EQ(s.button->cursor().shape(), shape) << pointer;
    }
    s.button->setHandPointer(true);
    EXPECT_EQ(std::pair(s.button->cursor().shape(), s.button->mousePointer()), std::pair(Qt::PointingHandCursor, 99));
    s.button->setHandPointer(false);
    EXPECT_EQ(std::pair(s.button->cursor().shape(), s.button->mousePointer()), std::pair(Qt::ArrowCursor, 1));

    // Left and up go back, right and down go on.
    QWidget row;
    SkinButton* buttons[] = {new SkinButton(u"a"_s, &row), new SkinButton(u"b"_s, &row), new SkinButton(u"c"_s, &row)};
    row.show();
    QApplication::setActiveWindow(&row);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&row));
    for (const auto& [key, from, to] :
         {std::tuple(Qt::Key_Right, 1, 2), {Qt::Key_Down, 1, 2}, {Qt::Key_Left, 1, 0}, {Qt::Key_Up, 1, 0}}) {
        buttons[from]->setFocus();
        QTest::keyClick(buttons[from], key);
        EXPECT_TRUE(buttons[to]->hasFocus()) << key;
    }
}

// In a dialog the access keys click their buttons, and Return in a line
// edit clicks the default one, as a push button's dialog would; Return on
// a focused button, skin or plain, clicks that one.
TEST(SkinButtonInput, AccessKeysAndReturnForTheDefaultButton)
{
    QDialog window;
    auto* edit = new QLineEdit(&window);
    auto* add = new SkinButton(u"&Add"_s, &window);
    auto* plain = new SkinButton(u"Fish && &&Chips"_s, &window);
    auto* push = new QPushButton(u"Push"_s, &window);
    QSignalSpy added(add, &SkinButton::clicked), plainClicks(plain, &SkinButton::clicked),
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
    // A disabled button's access key does nothing.
    add->setEnabled(false);
    QTest::keyClick(edit, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(added.count(), 3);
}

// A screen reader reads the caption without its access-key marks, the
// button's kind and a check box's state.
TEST(SkinButtonInput, Accessibility)
{
    Shown s(ButtonType::Xp);
    s.button->setText(u"Fish && &Chips"_s);
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(s.button);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->role(), QAccessible::Button);
    EXPECT_EQ(reader->text(QAccessible::Name), u"Fish & Chips"_s);
    EXPECT_FALSE(reader->state().checkable || reader->state().checked);
    s.button->setCheckable(true);
    s.button->click();
    EXPECT_TRUE(reader->state().checkable && reader->state().checked);
    s.button->setEnabled(false);
    EXPECT_TRUE(reader->state().disabled);
}

TEST(SkinButtonProperties, SavedInOrderLoadedEqualAndMissingKeysDefault)
{
    SkinButton saved(u"Signon"_s);
    QStringList told;
    QObject::connect(&saved, &SkinButton::propertyChanged, [&](const QString& key) { told << key; });
    saved.setButtonType(ButtonType::Oval);
    saved.setBackColor(0x123456);
    saved.setFontBold(true);
    saved.setPicturePosition(Skin::PicturePosition::Above);
    saved.setCheckable(true);
    saved.setChecked(true);
    saved.setText(u"&Play"_s);
    saved.setText(u"&Play"_s);  // unchanged: not told
    QPixmap picture(8, 8);
    picture.fill(Qt::green);
    saved.setPictureOver(picture);
    saved.setEnabled(false);
    EXPECT_EQ(told,
              QStringList({u"BTYPE"_s, u"BCOL"_s, u"FONT"_s, u"PICPOS"_s, u"CHECK"_s, u"VALUE"_s, u"TX"_s, u"PICH"_s,
                           u"ENAB"_s}));

    PropertyBag bag;
    bag.WriteProperty(u"BTYPE"_s, 3);  // written over, not beside
    saved.writeProperties(bag);
    const QStringList order
        = {u"BTYPE"_s, u"TX"_s,     u"ENAB"_s,  u"FONT"_s, u"COLTYPE"_s, u"FOCUSR"_s, u"BCOL"_s, u"BCOLO"_s,
           u"FCOL"_s,  u"FCOLO"_s,  u"MCOL"_s,  u"MPTR"_s, u"MICON"_s,   u"PICN"_s,   u"PICH"_s, u"UMCOL"_s,
           u"SOFT"_s,  u"PICPOS"_s, u"NGREY"_s, u"FX"_s,   u"HAND"_s,    u"CHECK"_s,  u"VALUE"_s};
    EXPECT_EQ(bag.keys(), order);
    SkinButton loaded;
    loaded.readProperties(bag);
    EXPECT_TRUE(loaded.isCheckable() && loaded.isChecked());
    PropertyBag again;
    loaded.writeProperties(again);
    EXPECT_EQ(again, bag);
    // A value saved on no check box comes back as it went in, and is the
    // check box's once the button becomes one.
    PropertyBag plain = bag;
    plain.WriteProperty(u"CHECK"_s, false);
    loaded.readProperties(plain);
    EXPECT_FALSE(loaded.isChecked());
    loaded.writeProperties(again);
    EXPECT_EQ(again, plain);
    loaded.setCheckable(true);
    EXPECT_TRUE(loaded.isChecked());

    // Numbers this version has no name for come back as they went in.
    PropertyBag newer;
    newer.WriteProperty(u"BTYPE"_s, 42);
    newer.WriteProperty(u"COLTYPE"_s, 9);
    newer.WriteProperty(u"FX"_s, 7);
    loaded.readProperties(newer);
    loaded.writeProperties(again);
    EXPECT_EQ(std::tuple(again.ReadProperty(u"BTYPE"_s), again.ReadProperty(u"COLTYPE"_s), again.ReadProperty(u"FX"_s)),
              std::tuple(QVariant(42), QVariant(9), QVariant(7)));

    // A button saved before some keys existed.
    PropertyBag old;
    old.WriteProperty(u"BCOL"_s, 0x0000FFu);
    old.WriteProperty(u"FCOL"_s, 0x00FF00u);
    SkinButton missing;
    missing.setEnabled(false);
    missing.readProperties(old);
    EXPECT_EQ(std::pair(missing.backOver(), missing.foreOver()), std::pair(0x0000FFu, 0x00FF00u));
    EXPECT_EQ(missing.buttonType(), ButtonType::Classic);
    EXPECT_TRUE(missing.isEnabled());
    missing.readProperties(PropertyBag());
    EXPECT_EQ(missing.backColor(), SystemColor::ButtonFace);
}
