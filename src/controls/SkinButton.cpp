// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/SkinButton.h"

#include "controls/PropertyBag.h"
#include "controls/SkinLooks.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QBuffer>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

const QString SkinButton::kVersion = QStringLiteral("2.0.6");

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

// The hand the pointer becomes over a button with HandPointer set.
QPixmap handCursor()
{
    QPixmap hand(32, 32);
    hand.fill(Qt::transparent);
    QPainter p(&hand);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(8, 1, 5, 16), 2.5, 2.5);  // index finger
    path.addRoundedRect(QRectF(7, 11, 17, 15), 4, 4);  // palm and folded fingers
    path.addRoundedRect(QRectF(2, 12, 7, 5).translated(0, 2), 2.5, 2.5);  // thumb
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(path.simplified());
    p.drawLine(QPointF(14, 13), QPointF(14, 18));
    p.drawLine(QPointF(19, 13), QPointF(19, 18));
    return hand;
}
constexpr QPoint kHandTip(10, 1);

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

// What a screen reader says: the caption without its access-key marks.
QString withoutAccessMarks(const QString& caption)
{
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && ++i == caption.size())
            break;
        plain += caption[i];
    }
    return plain;
}

bool isReturn(const QKeyEvent& key)
{
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) && modifiers == Qt::NoModifier;
}

QAccessibleInterface* accessibleFor(const QString& className, QObject* object);

}  // namespace

// A push button to assistive technology; a toggle button also tells
// whether it is down.
class SkinButtonAccessible : public QAccessibleWidget {
public:
    explicit SkinButtonAccessible(SkinButton* button) : QAccessibleWidget(button, QAccessible::Button) { }

    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (!own.isEmpty())
            return own;
        switch (t) {
        case QAccessible::Name:
            return withoutAccessMarks(button()->Caption());
        case QAccessible::Accelerator:
            return QKeySequence::mnemonic(button()->Caption()).toString(QKeySequence::NativeText);
        default:
            return own;
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = button()->CheckBoxBehaviour();
        s.checked = s.checkable && button()->value();
        s.pressed = !s.checkable && button()->drawnState() == SkinButton::State::Pressed;
        s.defaultButton = button()->isDefault();
        return s;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (widget()->isEnabled())
            names.prepend(button()->CheckBoxBehaviour() ? toggleAction() : pressAction());
        return names;
    }

    void doAction(const QString& action) override
    {
        if (!widget()->isEnabled())
            return;
        if (action == pressAction() || action == toggleAction())
            button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    SkinButton* button() const { return static_cast<SkinButton*>(widget()); }
};

namespace {

QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    if (className == QLatin1String(SkinButton::staticMetaObject.className()) && object && object->isWidgetType())
        return new SkinButtonAccessible(static_cast<SkinButton*>(object));
    return nullptr;
}

}  // namespace

SkinButton::SkinButton(const QString& name, QWidget* parent)
    : QWidget(parent),
      m_backColor(SystemColor::ButtonFace),
      m_backOver(SystemColor::ButtonFace),
      m_foreColor(SystemColor::ButtonText),
      m_foreOver(SystemColor::ButtonText),
      m_caption(name)
{
    [[maybe_unused]] static const bool readable = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    setObjectName(name);
    // The press of the left button takes the focus, the right one's not.
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    const SkinPalette scheme = colors();
    m_backColor = m_backOver = scheme.face;
    m_foreColor = m_foreOver = scheme.text;
    layOutCaption();
}

template <typename T> void SkinButton::assign(T& member, const T& value, const char* key)
{
    if (member == value)
        return;
    member = value;
    draw(m_drawnState, true);
    Q_EMIT propertyChanged(QLatin1String(key));
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
void SkinButton::setColorScheme(int scheme)
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
void SkinButton::setPicturePosition(int position)
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
void SkinButton::setSpecialEffect(int effect)
{
    assign(m_specialEffect, effect, "FX");
}
void SkinButton::setCheckBoxBehaviour(bool on)
{
    assign(m_checkBoxBehaviour, on, "CHECK");
}

void SkinButton::setButtonType(int type)
{
    assign(m_buttonType, type, "BTYPE");
    updateRegion();
    updateGeometry();
}

void SkinButton::setCaption(const QString& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    layOutCaption();
    draw(m_drawnState);
    tellAccessibility(QAccessible::NameChanged);
    Q_EMIT propertyChanged(QStringLiteral("TX"));
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
    Q_EMIT propertyChanged(QStringLiteral("MPTR"));
}

void SkinButton::setMouseIcon(const QPixmap& icon)
{
    m_mouseIcon = icon;
    updateCursor();
    Q_EMIT propertyChanged(QStringLiteral("MICON"));
}

void SkinButton::setHandPointer(bool on)
{
    m_handPointer = on;
    setMouseIcon(on ? handCursor() : QPixmap());
    setMousePointer(on ? kCustomPointer : kArrowPointer);
    Q_EMIT propertyChanged(QStringLiteral("HAND"));
}

void SkinButton::setPictureNormal(const QPixmap& picture)
{
    m_pictureNormal = picture;
    updateGeometry();
    draw(m_drawnState, true);
    Q_EMIT propertyChanged(QStringLiteral("PICN"));
}

void SkinButton::setPictureOver(const QPixmap& picture)
{
    m_pictureOver = picture;
    updateGeometry();
    draw(m_drawnState, true);
    Q_EMIT propertyChanged(QStringLiteral("PICH"));
}

void SkinButton::setValue(bool on)
{
    if (on == m_value)
        return;
    m_value = on;
    // Only a toggle button shows its value.
    if (m_checkBoxBehaviour)
        draw(on ? State::Pressed : State::Normal, true);
    if (m_checkBoxBehaviour && QAccessible::isActive()) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
    Q_EMIT propertyChanged(QStringLiteral("VALUE"));
}

void SkinButton::setDefault(bool on)
{
    if (on == m_default)
        return;
    m_default = on;
    watchWindowForReturn();
    updateGeometry();  // type 14 draws the default's caption bold
    draw(m_drawnState, true);
}

void SkinButton::Refresh()
{
    m_refresh = true;
    layOutCaption();
    updateRegion();
    draw(m_drawnState, true);
}

void SkinButton::DisableRefresh()
{
    m_refresh = false;
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
    const QSize text = fontMetrics().size(Qt::TextShowMnemonic, m_caption);
    return minimumSizeHint().expandedTo(QSize(std::max(75, text.width() + 16), std::max(23, text.height() + 10)));
}

QSize SkinButton::minimumSizeHint() const
{
    QFont drawn = font();
    if (m_buttonType == 14 && m_default)
        drawn.setBold(true);
    const QSize caption = m_buttonType == 10 ? QSize() : QFontMetrics(drawn).size(Qt::TextShowMnemonic, m_caption);
    const QSize picture
        = m_pictureNormal.deviceIndependentSize().toSize().expandedTo(m_pictureOver.deviceIndependentSize().toSize());
    return skinMinimumSize(m_buttonType, skinContentSize(picture, caption, m_picturePosition));
}

void SkinButton::draw(State state, bool force)
{
    if (m_checkBoxBehaviour && m_value)
        state = State::Pressed;
    if (!force && state == m_drawnState && m_caption == m_drawnCaption)
        return;
    if (!m_refresh)
        return;
    m_drawnState = state;
    m_drawnCaption = m_caption;
    update();
}

void SkinButton::paintEvent(QPaintEvent*)
{
    SkinDrawing d;
    d.type = m_buttonType;
    d.pressed = m_drawnState == State::Pressed;
    d.over = m_over;
    d.focused = m_focus;
    d.disabled = !isEnabled();
    d.showFocusRect = m_showFocusRect;
    d.isDefault = m_default;
    d.softBevel = m_softBevel;
    d.colors = colors();
    d.caption = m_drawnCaption;
    d.font = font();
    d.specialEffect = m_specialEffect;
    d.picture = m_over && !m_pictureOver.isNull() ? m_pictureOver : m_pictureNormal;
    d.picturePosition = m_picturePosition;
    d.useMaskColor = m_useMaskColor;
    d.greyscale = m_useGreyscale;
    QPainter painter(this);
    paintSkin(painter, size(), d);
}

void SkinButton::resizeEvent(QResizeEvent* event)
{
    updateRegion();
    QWidget::resizeEvent(event);
}

void SkinButton::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::EnabledChange:
        draw(m_drawnState, true);
        Q_EMIT propertyChanged(QStringLiteral("ENAB"));
        break;
    case QEvent::ParentChange:
        watchWindowForReturn();
        break;
    case QEvent::FontChange:
        layOutCaption();
        draw(m_drawnState, true);
        Q_EMIT propertyChanged(QStringLiteral("FONT"));
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void SkinButton::showEvent(QShowEvent* event)
{
    // A parent further up may have moved it into another window.
    watchWindowForReturn();
    Refresh();
    QWidget::showEvent(event);
}

void SkinButton::hideEvent(QHideEvent* event)
{
    DisableRefresh();
    QWidget::hideEvent(event);
}

bool SkinButton::event(QEvent* event)
{
    const int shortcut = event->type() == QEvent::Shortcut ? static_cast<QShortcutEvent*>(event)->shortcutId() : 0;
    if (shortcut && shortcut == m_shortcutId) {
        // The access key is a left click.
        if (isEnabled())
            click();
        return true;
    }
    return QWidget::event(event);
}

// Return and Enter that nothing in the window took end at the window.
bool SkinButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_returnWindow && event->type() == QEvent::KeyPress && isReturn(*static_cast<QKeyEvent*>(event))
        && isVisible()) {
        if (isEnabled())
            click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
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

void SkinButton::tellAccessibility(QAccessible::Event what)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(this, what);
    QAccessible::updateAccessibility(&event);
}

void SkinButton::hover(bool over)
{
    if (over == m_over)
        return;
    m_over = over;
    draw(State::Normal, true);
    if (over)
        Q_EMIT MouseOver();
    else
        Q_EMIT MouseOut();
}

// Qt reports the cursor entering and leaving, so hovering needs no polling.
void SkinButton::enterEvent(QEnterEvent* event)
{
    if (QApplication::mouseButtons() == Qt::NoButton)
        hover(true);
    QWidget::enterEvent(event);
}

void SkinButton::leaveEvent(QEvent* event)
{
    hover(false);
    QWidget::leaveEvent(event);
}

void SkinButton::press()
{
    if (m_lastButton != Qt::RightButton)
        draw(State::Pressed);
}

void SkinButton::mousePressEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    Q_EMIT MouseDown(buttonCode(event->button()), shiftCode(event->modifiers()), float(at.x()), float(at.y()));
    m_lastButton = event->button();
    if (event->button() == Qt::LeftButton && focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    press();
}

void SkinButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second click of a double click is a press like the first.
    if (event->button() == Qt::LeftButton)
        mousePressEvent(event);
}

void SkinButton::mouseMoveEvent(QMouseEvent* event)
{
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons & ~Qt::MouseButtons(Qt::LeftButton))
        return;
    const QPointF at = event->position();
    Q_EMIT MouseMove(buttonCode(buttons), shiftCode(event->modifiers()), float(at.x()), float(at.y()));
    const bool inside = hits(at.toPoint());
    if (!inside) {
        hover(false);
        draw(State::Normal);
    } else if (buttons == Qt::NoButton) {
        hover(true);
    } else {
        draw(State::Pressed);
    }
}

void SkinButton::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    Q_EMIT MouseUp(buttonCode(event->button()), shiftCode(event->modifiers()), float(at.x()), float(at.y()));
    if (event->button() == Qt::RightButton)
        return;
    draw(State::Normal);
    const bool inside = hits(at.toPoint());
    // Only a press and a release of the left button make a click.
    const bool clicked = event->button() == Qt::LeftButton && m_lastButton == Qt::LeftButton;
    m_lastButton = Qt::NoButton;
    if (clicked && inside && isEnabled())
        click();
}

void SkinButton::click()
{
    if (m_checkBoxBehaviour)
        setValue(!m_value);
    draw(State::Normal, true);
    Q_EMIT Click();
}

void SkinButton::keyPressEvent(QKeyEvent* event)
{
    Q_EMIT KeyDown(keyCode(event->key()), shiftCode(event->modifiers()));
    if (!event->text().isEmpty())
        Q_EMIT KeyPress(short(event->text().at(0).unicode()));
    m_lastKey = event->key();
    // Return presses the focused button, as on any desktop.
    if (isReturn(*event)) {
        click();
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
        draw(State::Pressed);
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        focusPreviousChild();
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        focusNextChild();
        break;
    default:
        event->ignore();  // Escape still reaches a dialog
        break;
    }
}

void SkinButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->isAutoRepeat())
        return;
    Q_EMIT KeyUp(keyCode(event->key()), shiftCode(event->modifiers()));
    if (event->key() == Qt::Key_Space && m_lastKey == Qt::Key_Space)
        click();
    else
        event->ignore();
}

void SkinButton::focusInEvent(QFocusEvent* event)
{
    m_focus = true;
    draw(m_drawnState, true);
    QWidget::focusInEvent(event);
}

void SkinButton::focusOutEvent(QFocusEvent* event)
{
    m_focus = false;
    draw(m_drawnState, true);
    QWidget::focusOutEvent(event);
}

void SkinButton::layOutCaption()
{
    // "&x" marks the access key x; "&&" is a plain "&".
    if (m_shortcutId)
        releaseShortcut(m_shortcutId);
    const QKeySequence accessKey = QKeySequence::mnemonic(m_caption);
    m_shortcutId = accessKey.isEmpty() ? 0 : grabShortcut(accessKey);
    updateGeometry();
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
        setCursor(m_handPointer ? QCursor(m_mouseIcon, kHandTip.x(), kHandTip.y()) : QCursor(m_mouseIcon));
    else if (m_mousePointer == 0)
        unsetCursor();
    else
        setCursor(cursorShape(m_mousePointer));
}

void SkinButton::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("BTYPE"), m_buttonType);
    bag.WriteProperty(QStringLiteral("TX"), m_caption);
    bag.WriteProperty(QStringLiteral("ENAB"), isEnabled());
    bag.WriteProperty(QStringLiteral("FONT"), font().toString());
    bag.WriteProperty(QStringLiteral("COLTYPE"), m_colorScheme);
    bag.WriteProperty(QStringLiteral("FOCUSR"), m_showFocusRect);
    bag.WriteProperty(QStringLiteral("BCOL"), m_backColor);
    bag.WriteProperty(QStringLiteral("BCOLO"), m_backOver);
    bag.WriteProperty(QStringLiteral("FCOL"), m_foreColor);
    bag.WriteProperty(QStringLiteral("FCOLO"), m_foreOver);
    bag.WriteProperty(QStringLiteral("MCOL"), m_maskColor);
    bag.WriteProperty(QStringLiteral("MPTR"), m_mousePointer);
    bag.WriteProperty(QStringLiteral("MICON"), pictureBytes(m_mouseIcon));
    bag.WriteProperty(QStringLiteral("PICN"), pictureBytes(m_pictureNormal));
    bag.WriteProperty(QStringLiteral("PICH"), pictureBytes(m_pictureOver));
    bag.WriteProperty(QStringLiteral("UMCOL"), m_useMaskColor);
    bag.WriteProperty(QStringLiteral("SOFT"), m_softBevel);
    bag.WriteProperty(QStringLiteral("PICPOS"), m_picturePosition);
    bag.WriteProperty(QStringLiteral("NGREY"), m_useGreyscale);
    bag.WriteProperty(QStringLiteral("FX"), m_specialEffect);
    bag.WriteProperty(QStringLiteral("HAND"), m_handPointer);
    bag.WriteProperty(QStringLiteral("CHECK"), m_checkBoxBehaviour);
    bag.WriteProperty(QStringLiteral("VALUE"), m_value);
}

void SkinButton::ReadProperties(const PropertyBag& bag)
{
    auto read
        = [&bag](const char* key, const QVariant& missing) { return bag.ReadProperty(QLatin1String(key), missing); };
    m_buttonType = read("BTYPE", 2).toInt();
    m_caption = read("TX", QString()).toString();
    const bool enabled = read("ENAB", true).toBool();
    QFont savedFont = font();
    if (const QString saved = read("FONT", QString()).toString(); !saved.isEmpty())
        savedFont.fromString(saved);
    m_colorScheme = read("COLTYPE", 1).toInt();
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
    m_picturePosition = read("PICPOS", 0).toInt();
    m_useGreyscale = read("NGREY", false).toBool();
    m_specialEffect = read("FX", 0).toInt();
    m_handPointer = read("HAND", false).toBool();
    m_checkBoxBehaviour = read("CHECK", false).toBool();
    m_value = read("VALUE", false).toBool();

    const QSignalBlocker quiet(this);  // loading is not a change
    setFont(savedFont);
    setEnabled(enabled);
    layOutCaption();
    updateRegion();
    updateCursor();
    draw(m_drawnState, true);
}
