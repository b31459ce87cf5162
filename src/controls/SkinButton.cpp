// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/SkinButton.h"

#include "controls/PropertyBag.h"
#include "controls/SkinLooks.h"

#include <QApplication>
#include <QBuffer>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

using namespace Qt::StringLiterals;

const QString SkinButton::kVersion = u"2.0.6"_s;

namespace {

constexpr int kCustomPointer = 99;
constexpr int kArrowPointer = 1;

short buttonCode(Qt::MouseButtons buttons)
{
    return short((buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
                 | (buttons & Qt::MiddleButton ? 4 : 0));
}

short shiftCode(Qt::KeyboardModifiers modifiers)
{
    return short((modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
                 | (modifiers & Qt::AltModifier ? 4 : 0));
}

// The desktop key codes from a short table; other keys pass Qt's own, which
// for letters (as capitals), digits and the blank are the desktop's too.
short keyCode(int key)
{
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Delete:
        return 46;
    default:
        return short(key & 0x7FFF);
    }
}

Qt::CursorShape cursorShape(int pointer)
{
    static const Qt::CursorShape shapes[] = {
        Qt::ArrowCursor,     Qt::ArrowCursor,   Qt::CrossCursor,     Qt::IBeamCursor,
        Qt::ArrowCursor,     Qt::SizeAllCursor, Qt::SizeBDiagCursor, Qt::SizeVerCursor,
        Qt::SizeFDiagCursor, Qt::SizeHorCursor, Qt::UpArrowCursor,   Qt::WaitCursor,
        Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor, Qt::SizeAllCursor,
    };
    return pointer >= 0 && pointer < int(std::size(shapes)) ? shapes[pointer] : Qt::ArrowCursor;
}

QByteArray pictureBytes(const QPixmap& picture)
{
    QByteArray bytes;
    if (picture.isNull())
        return bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

QPixmap pictureFrom(const QVariant& saved)
{
    QPixmap picture;
    const QByteArray bytes = saved.toByteArray();
    if (!bytes.isEmpty())
        picture.loadFromData(bytes, "PNG");
    return picture;
}

bool isReturn(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) && modifiers == Qt::NoModifier;
}

}  // namespace

SkinButton::SkinButton(const QString& name, QWidget* parent)
    : QAbstractButton(parent),
      m_backColor(SystemColor::ButtonFace),
      m_backOver(SystemColor::ButtonFace),
      m_foreColor(SystemColor::ButtonText),
      m_foreOver(SystemColor::ButtonText)
{
    setObjectName(name);
    setText(name);
    setMouseTracking(true);  // mouseMove also without a button held
    const SkinPalette scheme = colors();
    m_backColor = m_backOver = scheme.face;
    m_foreColor = m_foreOver = scheme.text;
    // The checked state is saved, so its changes are told like the others'.
    connect(this, &QAbstractButton::toggled, this, [this] { Q_EMIT propertyChanged(u"VALUE"_s); });
}

template <typename T> void SkinButton::assign(T& member, const T& value, const char* key)
{
    if (member == value)
        return;
    member = value;
    update();
    Q_EMIT propertyChanged(QLatin1String(key));
}

void SkinButton::setText(const QString& text)
{
    if (text == QAbstractButton::text())
        return;
    QAbstractButton::setText(text);
    Q_EMIT propertyChanged(u"TX"_s);
}

void SkinButton::setCheckable(bool on)
{
    if (on == isCheckable())
        return;
    // Qt keeps a checked state only for a check box; the value stays the
    // button's all the same, and switching the box on or off changes it not.
    const bool held = value();
    {
        const QSignalBlocker quiet(this);
        QAbstractButton::setCheckable(on);
        if (on)
            setChecked(held);
    }
    m_heldValue = held;
    update();
    Q_EMIT propertyChanged(u"CHECK"_s);
}

void SkinButton::setBackColor(OleColor c)
{
    assign(m_backColor, c, "BCOL");
}
void SkinButton::setBackOver(OleColor c)
{
    assign(m_backOver, c, "BCOLO");
}
void SkinButton::setForeColor(OleColor c)
{
    assign(m_foreColor, c, "FCOL");
}
void SkinButton::setForeOver(OleColor c)
{
    assign(m_foreOver, c, "FCOLO");
}
void SkinButton::setMaskColor(OleColor c)
{
    assign(m_maskColor, c, "MCOL");
}
void SkinButton::setColorScheme(Skin::ColorScheme scheme)
{
    assign(m_colorScheme, scheme, "COLTYPE");
}
void SkinButton::setShowFocusRect(bool on)
{
    assign(m_showFocusRect, on, "FOCUSR");
}
void SkinButton::setSoftBevel(bool on)
{
    assign(m_softBevel, on, "SOFT");
}
void SkinButton::setPicturePosition(Skin::PicturePosition position)
{
    assign(m_picturePosition, position, "PICPOS");
    updateGeometry();
}
void SkinButton::setUseMaskColor(bool on)
{
    assign(m_useMaskColor, on, "UMCOL");
}
void SkinButton::setUseGreyscale(bool on)
{
    assign(m_useGreyscale, on, "NGREY");
}
void SkinButton::setSpecialEffect(Skin::SpecialEffect effect)
{
    assign(m_specialEffect, effect, "FX");
}

void SkinButton::setButtonType(Skin::ButtonType type)
{
    assign(m_buttonType, type, "BTYPE");
    updateRegion();
    updateGeometry();
}

void SkinButton::setFontBold(bool on)
{
    QFont f = font();
    f.setBold(on);
    setFont(f);
}
void SkinButton::setFontItalic(bool on)
{
    QFont f = font();
    f.setItalic(on);
    setFont(f);
}
void SkinButton::setFontUnderline(bool on)
{
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
}
void SkinButton::setFontSize(short points)
{
    QFont f = font();
    f.setPointSize(points);
    setFont(f);
}
void SkinButton::setFontName(const QString& family)
{
    QFont f = font();
    f.setFamily(family);
    setFont(f);
}

void SkinButton::setMousePointer(int pointer)
{
    if (pointer == m_mousePointer)
        return;
    m_mousePointer = pointer;
    updateCursor();
    Q_EMIT propertyChanged(u"MPTR"_s);
}

void SkinButton::setMouseIcon(const QPixmap& icon)
{
    m_mouseIcon = icon;
    updateCursor();
    Q_EMIT propertyChanged(u"MICON"_s);
}

void SkinButton::setHandPointer(bool on)
{
    m_handPointer = on;
    // The desktop's own pointing hand, not a picture of one.
    setMouseIcon(QPixmap());
    setMousePointer(on ? kCustomPointer : kArrowPointer);
    Q_EMIT propertyChanged(u"HAND"_s);
}

void SkinButton::setPictureNormal(const QPixmap& picture)
{
    m_pictureNormal = picture;
    updateGeometry();
    update();
    Q_EMIT propertyChanged(u"PICN"_s);
}

void SkinButton::setPictureOver(const QPixmap& picture)
{
    m_pictureOver = picture;
    updateGeometry();
    update();
    Q_EMIT propertyChanged(u"PICH"_s);
}

void SkinButton::setDefault(bool on)
{
    if (on == m_default)
        return;
    m_default = on;
    watchWindowForReturn();
    updateGeometry();  // the glossy look draws the default's caption bold
    update();
}

void SkinButton::refresh()
{
    updateRegion();
    updateGeometry();
    setUpdatesEnabled(true);
    update();
}

void SkinButton::disableRefresh()
{
    setUpdatesEnabled(false);
}

SkinPalette SkinButton::colors() const
{
    SkinPalette::Inputs in;
    in.colorScheme = m_colorScheme;
    in.buttonType = m_buttonType;
    in.softBevel = m_softBevel;
    in.over = m_over;
    in.backColor = m_backColor;
    in.backOver = m_backOver;
    in.foreColor = m_foreColor;
    in.foreOver = m_foreOver;
    in.maskColor = m_maskColor;
    const QWidget* container = parentWidget() ? parentWidget() : this;
    return SkinPalette::compute(in, QWidget::palette(), container->palette());
}

QSize SkinButton::sizeHint() const
{
    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
    return minimumSizeHint().expandedTo(QSize(std::max(75, caption.width() + 16), std::max(23, caption.height() + 10)));
}

QSize SkinButton::minimumSizeHint() const
{
    QFont drawn = font();
    if (m_buttonType == Skin::ButtonType::Glossy && m_default)
        drawn.setBold(true);
    const QSize caption
        = m_buttonType == Skin::ButtonType::FaceOnly ? QSize() : QFontMetrics(drawn).size(Qt::TextShowMnemonic, text());
    const QSize picture
        = m_pictureNormal.deviceIndependentSize().toSize().expandedTo(m_pictureOver.deviceIndependentSize().toSize());
    return skinMinimumSize(m_buttonType, skinContentSize(picture, caption, m_picturePosition));
}

void SkinButton::paintEvent(QPaintEvent*)
{
    SkinDrawing d;
    d.type = m_buttonType;
    d.pressed = isDrawnPressed();
    d.over = m_over;
    d.focused = m_focus;
    d.disabled = !isEnabled();
    d.showFocusRect = m_showFocusRect;
    d.isDefault = m_default;
    d.softBevel = m_softBevel;
    d.colors = colors();
    d.caption = text();
    d.font = font();
    d.specialEffect = m_specialEffect;
    d.picture = m_over && !m_pictureOver.isNull() ? m_pictureOver : m_pictureNormal;
    d.picturePosition = m_picturePosition;
    d.useMaskColor = m_useMaskColor;
    d.greyscale = m_useGreyscale;
    QPainter painter(this);
    paintSkin(painter, size(), d);
}

// The oval and the cut corners are not the button's.
bool SkinButton::hitButton(const QPoint& pos) const
{
    return mask().isEmpty() ? rect().contains(pos) : mask().contains(pos);
}

void SkinButton::resizeEvent(QResizeEvent* event)
{
    updateRegion();
    QAbstractButton::resizeEvent(event);
}

void SkinButton::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        Q_EMIT propertyChanged(u"ENAB"_s);
        break;
    case QEvent::ParentChange:
        watchWindowForReturn();
        break;
    case QEvent::FontChange:
        Q_EMIT propertyChanged(u"FONT"_s);
        break;
    default:
        break;
    }
    QAbstractButton::changeEvent(event);
}

void SkinButton::showEvent(QShowEvent* event)
{
    // A parent further up may have moved it into another window.
    watchWindowForReturn();
    refresh();
    QAbstractButton::showEvent(event);
}

bool SkinButton::event(QEvent* event)
{
    // The access key clicks at once, as the left button does; Qt's own answer
    // would show the button down and hold the click back for a tenth of a second.
    if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
        click();
        return true;
    }
    return QAbstractButton::event(event);
}

// Return and Enter that nothing in the window took end at the window.
bool SkinButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_returnWindow && event->type() == QEvent::KeyPress && isReturn(*static_cast<QKeyEvent*>(event))
        && isVisible()) {
        click();
        return true;
    }
    return QAbstractButton::eventFilter(watched, event);
}

void SkinButton::watchWindowForReturn()
{
    QWidget* const wanted = m_default ? window() : nullptr;
    if (wanted == m_returnWindow)
        return;
    if (m_returnWindow)
        m_returnWindow->removeEventFilter(this);
    m_returnWindow = wanted;
    if (wanted && wanted != this)
        wanted->installEventFilter(this);
}

void SkinButton::hover(bool over)
{
    if (over == m_over)
        return;
    m_over = over;
    update();
    if (over)
        Q_EMIT mouseOver();
    else
        Q_EMIT mouseOut();
}

// Qt reports the cursor entering and leaving, so hovering needs no polling.
void SkinButton::enterEvent(QEnterEvent* event)
{
    if (QApplication::mouseButtons() == Qt::NoButton)
        hover(true);
    QAbstractButton::enterEvent(event);
}

void SkinButton::leaveEvent(QEvent* event)
{
    hover(false);
    QAbstractButton::leaveEvent(event);
}

void SkinButton::mousePressEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    Q_EMIT mouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), float(at.x()), float(at.y()));
    QAbstractButton::mousePressEvent(event);
}

void SkinButton::mouseMoveEvent(QMouseEvent* event)
{
    const Qt::MouseButtons buttons = event->buttons();
    if (!(buttons & ~Qt::MouseButtons(Qt::LeftButton))) {
        const QPointF at = event->position();
        Q_EMIT mouseMove(buttonCode(buttons), shiftCode(event->modifiers()), float(at.x()), float(at.y()));
        // A button held since it came in shows no hover until it is let go.
        const bool inside = hitButton(at.toPoint());
        if (!inside || buttons == Qt::NoButton)
            hover(inside);
    }
    QAbstractButton::mouseMoveEvent(event);
}

void SkinButton::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    Q_EMIT mouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), float(at.x()), float(at.y()));
    QAbstractButton::mouseReleaseEvent(event);
}

void SkinButton::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT keyDown(keyCode(event->key()), shiftCode(event->modifiers()));
    if (!event->text().isEmpty())
        Q_EMIT keyPress(short(event->text().at(0).unicode()));
    // Return presses the focused button, as a push button in a dialog does.
    if (isReturn(*event)) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void SkinButton::keyReleaseEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat())
        Q_EMIT keyUp(keyCode(event->key()), shiftCode(event->modifiers()));
    QAbstractButton::keyReleaseEvent(event);
}

void SkinButton::focusInEvent(QFocusEvent* event)
{
    m_focus = true;
    QAbstractButton::focusInEvent(event);
}

void SkinButton::focusOutEvent(QFocusEvent* event)
{
    m_focus = false;
    QAbstractButton::focusOutEvent(event);
}

void SkinButton::updateRegion()
{
    const QRegion region = skinRegion(m_buttonType, size());
    if (region.isEmpty())
        clearMask();
    else
        setMask(region);
}

void SkinButton::updateCursor()
{
    if (m_mousePointer == kCustomPointer && !m_mouseIcon.isNull())
        setCursor(QCursor(m_mouseIcon));
    else if (m_mousePointer == kCustomPointer && m_handPointer)
        setCursor(Qt::PointingHandCursor);
    else if (m_mousePointer == 0)
        unsetCursor();
    else
        setCursor(cursorShape(m_mousePointer));
}

void SkinButton::writeProperties(PropertyBag& bag) const
{
    bag.WriteProperty(u"BTYPE"_s, int(m_buttonType));
    bag.WriteProperty(u"TX"_s, text());
    bag.WriteProperty(u"ENAB"_s, isEnabled());
    bag.WriteProperty(u"FONT"_s, font().toString());
    bag.WriteProperty(u"COLTYPE"_s, int(m_colorScheme));
    bag.WriteProperty(u"FOCUSR"_s, m_showFocusRect);
    bag.WriteProperty(u"BCOL"_s, m_backColor);
    bag.WriteProperty(u"BCOLO"_s, m_backOver);
    bag.WriteProperty(u"FCOL"_s, m_foreColor);
    bag.WriteProperty(u"FCOLO"_s, m_foreOver);
    bag.WriteProperty(u"MCOL"_s, m_maskColor);
    bag.WriteProperty(u"MPTR"_s, m_mousePointer);
    bag.WriteProperty(u"MICON"_s, pictureBytes(m_mouseIcon));
    bag.WriteProperty(u"PICN"_s, pictureBytes(m_pictureNormal));
    bag.WriteProperty(u"PICH"_s, pictureBytes(m_pictureOver));
    bag.WriteProperty(u"UMCOL"_s, m_useMaskColor);
    bag.WriteProperty(u"SOFT"_s, m_softBevel);
    bag.WriteProperty(u"PICPOS"_s, int(m_picturePosition));
    bag.WriteProperty(u"NGREY"_s, m_useGreyscale);
    bag.WriteProperty(u"FX"_s, int(m_specialEffect));
    bag.WriteProperty(u"HAND"_s, m_handPointer);
    bag.WriteProperty(u"CHECK"_s, isCheckable());
    bag.WriteProperty(u"VALUE"_s, value());
}

// Numbers this version has no name for are kept, so they are saved back.
void SkinButton::readProperties(const PropertyBag& bag)
{
    auto read
        = [&bag](const char* key, const QVariant& missing) { return bag.ReadProperty(QLatin1String(key), missing); };
    m_buttonType = Skin::ButtonType(read("BTYPE", 2).toInt());
    const QString caption = read("TX", QString()).toString();
    const bool enabled = read("ENAB", true).toBool();
    QFont savedFont = font();
    if (const QString saved = read("FONT", QString()).toString(); !saved.isEmpty())
        savedFont.fromString(saved);
    m_colorScheme = Skin::ColorScheme(read("COLTYPE", 1).toInt());
    m_showFocusRect = read("FOCUSR", true).toBool();
    m_backColor = read("BCOL", SystemColor::ButtonFace).toUInt();
    m_backOver = read("BCOLO", m_backColor).toUInt();
    m_foreColor = read("FCOL", SystemColor::ButtonText).toUInt();
    m_foreOver = read("FCOLO", m_foreColor).toUInt();
    m_maskColor = read("MCOL", 0xC0C0C0u).toUInt();
    m_mousePointer = read("MPTR", 0).toInt();
    m_mouseIcon = pictureFrom(read("MICON", QByteArray()));
    m_pictureNormal = pictureFrom(read("PICN", QByteArray()));
    m_pictureOver = pictureFrom(read("PICH", QByteArray()));
    m_useMaskColor = read("UMCOL", true).toBool();
    m_softBevel = read("SOFT", false).toBool();
    m_picturePosition = Skin::PicturePosition(read("PICPOS", 0).toInt());
    m_useGreyscale = read("NGREY", false).toBool();
    m_specialEffect = Skin::SpecialEffect(read("FX", 0).toInt());
    m_handPointer = read("HAND", false).toBool();
    const bool checkable = read("CHECK", false).toBool();
    const bool checked = read("VALUE", false).toBool();

    const QSignalBlocker quiet(this);  // loading is not a change
    setText(caption);
    setFont(savedFont);
    setEnabled(enabled);
    setCheckable(checkable);
    if (checkable)
        setChecked(checked);
    else
        m_heldValue = checked;
    updateRegion();
    updateCursor();
    updateGeometry();
    update();
}
