#include "controls/SkinButton.h"
#include "controls/PropertyBag.h"
#include "controls/SkinLooks.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QRgb rgbOf(OleColor c)
{
    return toQColor(c).rgb();
}

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
    void focus() { send(QFocusEvent(QEvent::FocusIn, Qt::TabFocusReason)); }
    // Sent straight to the button, bypassing the window system's idea of
    // which buttons are held.
    void mouse(QEvent::Type type, Qt::MouseButton button)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
        send(QMouseEvent(type, QPointF(20, 10), QPointF(20, 10), button, held, {}));
    }
};

}  // namespace

TEST(SkinPalette, ShiftBlendAndSchemes)
{
    EXPECT_EQ(shift(oleColor(250, 10, 128), 20), oleColor(255, 30, 148));
    EXPECT_EQ(shift(oleColor(250, 10, 128), -20), oleColor(230, 0, 108));
    EXPECT_EQ(shift(oleColor(100, 100, 100), 31, true), oleColor(115, 115, 115));
    EXPECT_EQ(blend(oleColor(0, 255, 100), 176), oleColor(176, 255, 207));  // 100 * 79 / 255 rounds to 31

    const QPalette system = QApplication::palette();
    SkinPalette::Inputs in;
    in.colorScheme = 3;
    const SkinPalette grey = SkinPalette::compute(in, system, system);
    EXPECT_EQ(grey.face, 0xC0C0C0u);
    EXPECT_EQ(grey.selection2, 0xD1ADADu);

    in.colorScheme = 2;
    in.buttonType = 3;
    in.backColor = kFace;
    in.backOver = oleColor(0, 0, 200);
    in.foreOver = 0xFF;
    const SkinPalette own = SkinPalette::compute(in, system, system);
    EXPECT_EQ(own.hoverText, 0xFFu);
    EXPECT_EQ(own.darkShadow, oleColor(0, 0, 0));
    EXPECT_EQ(own.highlight, oleColor(147, 147, 143));
    // Type 3 lightens blue in proportion to itself.
    EXPECT_EQ(own.lightFace, oleColor(148, 148, 120));
    in.over = true;
    EXPECT_EQ(SkinPalette::compute(in, system, system).shadow, oleColor(0, 0, 136));

    // Scheme 1 and any unknown scheme take the desktop's colours.
    for (int scheme : {1, 0, 9}) {
        in.colorScheme = scheme;
        const SkinPalette desk = SkinPalette::compute(in, system, system);
        EXPECT_EQ(desk.face, fromQColor(system.color(QPalette::Button))) << scheme;
        EXPECT_EQ(desk.text, fromQColor(system.color(QPalette::ButtonText))) << scheme;
    }
    EXPECT_EQ(translateColor(SystemColor::Highlight, system), fromQColor(system.color(QPalette::Highlight)));
}

// Every look in every state, on one sheet for a person to look at: rows
// are the fourteen types; columns normal, over, pressed, focused, disabled.
TEST(SkinButtonLook, EveryStateOfEveryLookDiffersFromNormalAndGoesOnOneSheet)
{
    const QSize cell(80, 30);
    const int gap = 8, states = 5, types = 14;
    QImage sheet((cell.width() + gap) * states + gap, (cell.height() + gap) * types + gap, QImage::Format_RGB32);
    sheet.fill(QColor(0xE8, 0xEC, 0xF0));
    QPainter painter(&sheet);
    for (int type = 1; type <= types; ++type) {
        QImage normal;
        for (int state = 0; state < states; ++state) {
            Shown s(type);
            s.button->setCaption(QStringLiteral("&Go"));
            s.button->setBackColor(oleColor(212, 208, 200));
            if (state == 1) {
                s.button->setBackOver(oleColor(236, 233, 216));  // most looks hover in colour only
                s.enter();
            } else if (state == 2) {
                s.mouse(QEvent::MouseButtonPress, Qt::LeftButton);
            } else if (state == 3) {
                s.focus();
            } else if (state == 4) {
                s.button->setEnabled(false);
            }
            const QImage image = s.image();
            if (state == 0)
                normal = image;
            else if (type != 10 && type != 11)  // no style drawing at all
                EXPECT_NE(image, normal) << "type " << type << " state " << state;
            painter.drawImage(gap + state * (cell.width() + gap), gap + (type - 1) * (cell.height() + gap), image);
        }
    }
    painter.end();
    const QString path = QStringLiteral(QUILLON_GALLERY_DIR "/skin-gallery.png");
    ASSERT_TRUE(sheet.save(path)) << path.toStdString();
    std::printf("gallery: %s\n", qPrintable(path));
}

TEST(SkinButtonLook, Type3FrameCornersGradientAndEdges)
{
    Shown s(3), over(3), focused(3), grey(3);
    const QImage img = s.image();
    const int h = img.height();
    const QRgb frame = qRgb(0, 60, 115);
    EXPECT_EQ(img.pixel(40, 0), frame);
    EXPECT_EQ(img.pixel(40, h - 1), frame);
    EXPECT_EQ(img.pixel(0, 15), frame);
    for (const QPoint corner : {QPoint(0, 0), QPoint(79, 0), QPoint(0, h - 1), QPoint(79, h - 1)}) {
        EXPECT_FALSE(s.button->mask().contains(corner)) << corner.x() << "," << corner.y();
        EXPECT_NE(img.pixel(corner), frame);
    }
    // Row i is shift(lightened face, -25 * i / h); the caption is empty.
    const OleColor light = oleColor(148, 148, 120);
    for (int i = 3; i < h - 3; ++i)
        EXPECT_EQ(img.pixel(40, i), rgbOf(shift(light, qRound(-25.0 * i / h)))) << "row " << i;

    // Hover and focus show in the inner edges, in any colours.
    over.enter();
    focused.focus();
    grey.button->setEnabled(false);
    const QRgb edge = img.pixel(40, 1);
    EXPECT_NE(over.image().pixel(40, 1), edge);
    EXPECT_NE(focused.image().pixel(40, 1), edge);
    EXPECT_NE(over.image().pixel(40, 1), focused.image().pixel(40, 1));
    EXPECT_EQ(grey.image().pixel(40, 0), qRgb(201, 199, 186));
}

TEST(SkinButtonLook, OvalCaptionlessTransparentAndPictures)
{
    Shown oval(13);
    EXPECT_TRUE(oval.button->mask().contains(QPoint(40, 15)));
    EXPECT_FALSE(oval.button->mask().contains(QPoint(1, 1)));
    EXPECT_FALSE(oval.button->mask().contains(QPoint(78, 28)));
    EXPECT_EQ(oval.image().pixel(40, 15), rgbOf(kFace));

    // Type 10 draws no caption; type 2 does.
    for (int type : {10, 2}) {
        Shown plain(type), captioned(type);
        captioned.button->setCaption(QStringLiteral("WWWW"));
        EXPECT_EQ(plain.image() == captioned.image(), type == 10) << "type " << type;
    }

    // Type 11 shows what lies under it.
    Shown clear(11);
    clear.window.setAutoFillBackground(true);
    QPalette red = clear.window.palette();
    red.setColor(QPalette::Window, Qt::red);
    clear.window.setPalette(red);
    EXPECT_EQ(clear.window.grab().toImage().pixel(50, 25), qRgb(255, 0, 0));

    // A picture: the mask colour lets the face through; grey when asked.
    QPixmap picture(16, 16);
    picture.fill(Qt::magenta);
    QPainter(&picture).fillRect(6, 6, 4, 4, Qt::red);
    Shown pic(10);
    pic.button->setMaskColor(oleColor(255, 0, 255));
    pic.button->setPictureNormal(picture);
    const QPoint centre(40, 15), edge(34, 9);
    EXPECT_EQ(pic.image().pixel(centre), qRgb(255, 0, 0));
    EXPECT_EQ(pic.image().pixel(edge), rgbOf(kFace));
    pic.button->setUseGreyscale(true);
    const QRgb grey = pic.image().pixel(centre);
    EXPECT_TRUE(qRed(grey) == qGreen(grey) && qGreen(grey) == qBlue(grey));
    pic.button->setUseMaskColor(false);
    EXPECT_NE(pic.image().pixel(edge), rgbOf(kFace));
}

TEST(SkinButtonInput, MouseButtonsToggleDoubleClickAndHover)
{
    Shown s(3);
    QSignalSpy clicks(s.button, &SkinButton::Click);
    // The right button neither presses nor starts a click.
    s.mouse(QEvent::MouseButtonPress, Qt::RightButton);
    EXPECT_EQ(s.button->drawnState(), SkinButton::State::Normal);
    s.mouse(QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 0);

    QTest::mousePress(s.button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(s.button->drawnState(), SkinButton::State::Pressed);
    QTest::mouseRelease(s.button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(s.button->drawnState(), SkinButton::State::Normal);
    EXPECT_EQ(clicks.count(), 1);
    // Released outside: no click.
    QTest::mousePress(s.button, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseRelease(s.button, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(clicks.count(), 1);
    // The platform's double click is press, release, double click, release:
    // two clicks.
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease})
        s.mouse(type, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 3);

    s.button->setValue(true);  // not a toggle yet: no change of look
    EXPECT_EQ(s.button->drawnState(), SkinButton::State::Normal);
    s.button->setValue(false);
    s.button->setCheckBoxBehaviour(true);
    for (bool expected : {true, false, true}) {
        QTest::mouseClick(s.button, Qt::LeftButton, {}, QPoint(20, 10));
        EXPECT_EQ(s.button->value(), expected);
        EXPECT_EQ(s.button->drawnState(), expected ? SkinButton::State::Pressed : SkinButton::State::Normal);
    }

    // MouseOver and MouseOut once per visit, however the cursor moves.
    QSignalSpy over(s.button, &SkinButton::MouseOver), out(s.button, &SkinButton::MouseOut);
    for (int visit = 1; visit <= 2; ++visit) {
        s.enter();
        for (int x : {10, 20, 30})
            QTest::mouseMove(s.button, QPoint(x, 10));
        EXPECT_TRUE(s.button->isOver());
        s.send(QEvent(QEvent::Leave));
        EXPECT_FALSE(s.button->isOver());
        EXPECT_EQ(over.count(), visit);
        EXPECT_EQ(out.count(), visit);
    }
}

TEST(SkinButtonInput, KeyboardSpaceAccessKeyAndArrows)
{
    QWidget window;
    auto* first = new SkinButton(QStringLiteral("first"), &window);
    auto* second = new SkinButton(QStringLiteral("&set Chatsends"), &window);
    auto* third = new SkinButton(QStringLiteral("third"), &window);
    second->move(0, 30);
    third->move(0, 60);
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(second->accessKey(), u'S');

    QSignalSpy clicks(second, &SkinButton::Click);
    QSignalSpy keys(second, &SkinButton::KeyDown);
    second->setFocus();
    QTest::keyPress(second, Qt::Key_Space);
    EXPECT_EQ(second->drawnState(), SkinButton::State::Pressed);
    QTest::keyRelease(second, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);
    ASSERT_EQ(keys.count(), 1);
    EXPECT_EQ(keys.at(0).at(0).value<short>(), 32);

    QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 2);

    QTest::keyClick(second, Qt::Key_Down);
    EXPECT_TRUE(third->hasFocus());
    QTest::keyClick(third, Qt::Key_Left);
    QTest::keyClick(second, Qt::Key_Up);
    EXPECT_TRUE(first->hasFocus());
    QTest::keyClick(first, Qt::Key_Right);
    EXPECT_TRUE(second->hasFocus());
    EXPECT_EQ(clicks.count(), 2);
}

TEST(SkinButtonProperties, SavedInOrderLoadedEqualAndMissingKeysDefault)
{
    SkinButton saved(QStringLiteral("Signon"));
    EXPECT_EQ(saved.Version(), "2.0.6");
    QSignalSpy changes(&saved, &SkinButton::propertyChanged);
    saved.setButtonType(13);
    EXPECT_EQ(changes.first().first().toString(), "BTYPE");
    saved.setColorScheme(2);
    saved.setBackColor(0x123456);
    saved.setBackOver(0x654321);
    saved.setMaskColor(0xFF00FF);
    saved.setFontBold(true);
    saved.setHandPointer(true);
    EXPECT_EQ(saved.MousePointer(), 99);
    saved.setCheckBoxBehaviour(true);
    saved.setValue(true);
    saved.setPicturePosition(SkinButton::PictureAbove);
    saved.setSoftBevel(true);
    QPixmap picture(8, 8);
    picture.fill(Qt::green);
    saved.setPictureOver(picture);

    PropertyBag bag;
    saved.WriteProperties(bag);
    EXPECT_EQ(bag.keys(), QStringList({"BTYPE", "TX",     "ENAB",  "FONT", "COLTYPE", "FOCUSR", "BCOL", "BCOLO",
                                       "FCOL",  "FCOLO",  "MCOL",  "MPTR", "MICON",   "PICN",   "PICH", "UMCOL",
                                       "SOFT",  "PICPOS", "NGREY", "FX",   "HAND",    "CHECK",  "VALUE"}));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("button.bag"));
    ASSERT_TRUE(bag.save(path));
    PropertyBag read;
    ASSERT_TRUE(read.load(path));
    EXPECT_EQ(read, bag);
    SkinButton loaded;
    loaded.ReadProperties(read);
    PropertyBag again;
    loaded.WriteProperties(again);
    EXPECT_EQ(again, bag);
    EXPECT_TRUE(loaded.FontBold());
    EXPECT_TRUE(loaded.SoftBevel());
    EXPECT_EQ(loaded.PictureOver().toImage().pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_FALSE(read.load(dir.filePath(QStringLiteral("none"))));

    // A button saved before some keys existed.
    PropertyBag old;
    old.WriteProperty(QStringLiteral("BCOL"), 0x0000FFu);
    old.WriteProperty(QStringLiteral("FCOL"), 0x00FF00u);
    SkinButton missing;
    missing.setEnabled(false);
    missing.ReadProperties(old);
    EXPECT_EQ(missing.BackOver(), 0x0000FFu);
    EXPECT_EQ(missing.ForeOver(), 0x00FF00u);
    EXPECT_EQ(missing.ButtonType(), 2);
    EXPECT_EQ(missing.MaskColor(), 0xC0C0C0u);
    EXPECT_EQ(missing.ColorScheme(), 1);
    EXPECT_TRUE(missing.isEnabled());
    EXPECT_TRUE(missing.UseMaskColor());
    SkinButton bare;
    bare.ReadProperties(PropertyBag());
    EXPECT_EQ(bare.BackColor(), SystemColor::ButtonFace);
    EXPECT_EQ(bare.ForeOver(), SystemColor::ButtonText);
}
