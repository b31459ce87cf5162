// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/SkinLooks.h"

#include <QBitmap>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <span>

namespace {

constexpr int kMargin = 4;
constexpr int kGap = 4;

// The Xp look's inner edges, in the colours of a well-known desktop theme.
struct EdgeColors {
    OleColor top, top2, left, bottom, bottom2, right;
};
constexpr EdgeColors kXpNormal {0xFFFFFF, 0xFFFFFF, 0xFEFEFE, 0xC5D0D6, 0xC5D0D6, 0xD6DFE2};
constexpr EdgeColors kXpOver {0xCFF0FF, 0x89D8FD, 0x6ACAFB, 0x0097E5, 0x30B3F8, 0x6ACAFB};
constexpr EdgeColors kXpFocus {0xFFE7CE, 0xF6D4BC, 0xF0C3AA, 0xEE8269, 0xE4AD89, 0xF0C3AA};
constexpr EdgeColors kXpPressed {0xC1CCD1, 0xD5DCDE, 0xCFD9DC, 0xF3F3EF, 0xF3F3EF, 0xF3F3EF};
constexpr OleColor kXpDisabledFrame = 0xBAC7C9;

class Canvas {
public:
    Canvas(QPainter& painter, const QSize& size) : p(painter), r(size.width() - 1), b(size.height() - 1) { }

    void dot(int x, int y, OleColor c)
    {
        p.setPen(toQColor(c));
        p.drawPoint(x, y);
    }
    void hline(int x1, int x2, int y, OleColor c)
    {
        p.setPen(toQColor(c));
        p.drawLine(x1, y, x2, y);
    }
    void vline(int x, int y1, int y2, OleColor c)
    {
        p.setPen(toQColor(c));
        p.drawLine(x, y1, x, y2);
    }
    void fill(const QRect& rect, OleColor c) { p.fillRect(rect, toQColor(c)); }

    // A rectangle inset by k: light on top and left, dark on bottom and right.
    void bevel(int k, OleColor light, OleColor dark)
    {
        hline(k, r - k - 1, k, light);
        vline(k, k, b - k - 1, light);
        hline(k, r - k, b - k, dark);
        vline(r - k, k, b - k, dark);
    }
    void outline(int k, OleColor c) { bevel(k, c, c); }

    // Row i of the face gets shift(top, span * i / h), rounded; reversed when pressed.
    void gradient(OleColor top, int span, bool reversed, bool soft)
    {
        const int h = b + 1;
        for (int i = 0; i < h; ++i)
            hline(0, r, i, shift(top, qRound(span * double(reversed ? h - 1 - i : i) / h), soft));
    }

    QPainter& p;
    const int r, b;
};

void paintXp(Canvas& c, const SkinDrawing& d)
{
    const SkinPalette& k = d.colors;
    if (d.disabled)
        c.fill(QRect(0, 0, c.r + 1, c.b + 1), k.lightFace);
    else
        c.gradient(k.lightFace, -25, d.pressed, d.softBevel);
    const OleColor frame = d.disabled ? kXpDisabledFrame : kXpFrame;
    c.hline(1, c.r - 1, 0, frame);
    c.hline(1, c.r - 1, c.b, frame);
    c.vline(0, 1, c.b - 1, frame);
    c.vline(c.r, 1, c.b - 1, frame);
    if (d.disabled)
        return;
    const EdgeColors& e = d.pressed ? kXpPressed : d.over ? kXpOver : d.focused ? kXpFocus : kXpNormal;
    c.hline(1, c.r - 1, 1, e.top);
    c.hline(1, c.r - 1, c.b - 1, e.bottom);
    c.vline(1, 2, c.b - 2, e.left);
    c.vline(c.r - 1, 2, c.b - 2, e.right);
    if (d.over || (d.focused && !d.pressed)) {
        c.hline(2, c.r - 2, 2, e.top2);
        c.hline(2, c.r - 2, c.b - 2, e.bottom2);
        c.vline(2, 2, c.b - 2, e.left);
        c.vline(c.r - 2, 2, c.b - 2, e.right);
    }
}

// The oval's window region, which its drawing follows dot for dot.
QRegion ovalRegion(const QSize& size)
{
    return QRegion(QRect(QPoint(), size), QRegion::Ellipse);
}

// The dots of a region that touch its outside: a closed line one dot wide.
QRegion edgeOf(const QRegion& region)
{
    return region
        - (region & region.translated(1, 0) & region.translated(-1, 0) & region.translated(0, 1)
           & region.translated(0, -1));
}

void fillRegion(Canvas& c, const QRegion& region, OleColor color)
{
    for (const QRect& rect : region)
        c.fill(rect, color);
}

void paintRoundBevel(Canvas& c, OleColor hi, OleColor lo, OleColor inHi, OleColor inLo, OleColor corner)
{
    c.hline(2, c.r - 2, 0, hi);
    c.vline(0, 2, c.b - 2, hi);
    c.dot(1, 1, hi);
    c.hline(2, c.r - 2, c.b, lo);
    c.vline(c.r, 2, c.b - 2, lo);
    c.dot(c.r - 1, c.b - 1, lo);
    c.dot(c.r - 1, 1, corner);
    c.dot(1, c.b - 1, corner);
    c.hline(2, c.r - 2, 1, inHi);
    c.vline(1, 2, c.b - 2, inHi);
    c.hline(2, c.r - 2, c.b - 1, inLo);
    c.vline(c.r - 1, 2, c.b - 2, inLo);
}

// The face and the type's drawing, without caption and picture.
void paintLook(Canvas& c, const SkinDrawing& d)
{
    const SkinPalette& k = d.colors;
    const QRect all(0, 0, c.r + 1, c.b + 1);
    const OleColor face = d.over && !d.disabled ? k.hoverFace : k.face;
    const bool hot = d.over && !d.disabled;
    using enum Skin::ButtonType;
    switch (d.type) {
    case Xp:
        return paintXp(c, d);
    case Rounded:
        c.fill(all.adjusted(1, 1, -1, -1), face);
        if (d.disabled)
            return paintRoundBevel(c, k.light, k.shadow, face, face, k.shadow);
        if (d.pressed)
            return paintRoundBevel(c, k.darkShadow, k.highlight, k.shadow, k.light, k.shadow);
        return paintRoundBevel(c, k.highlight, k.darkShadow, k.light, k.shadow, k.shadow);
    case Transparent:
        return;  // the container shows through
    case Oval: {
        // An ellipse drawn by the painter strays from the region's dots, and
        // the window shape would clip it into dashes.
        const QRegion shape = ovalRegion(all.size());
        const QRegion outline = edgeOf(shape);
        fillRegion(c, shape - outline, d.pressed ? shift(k.shadow, -24, d.softBevel) : hot ? k.shadow : face);
        fillRegion(c, outline, d.disabled ? k.shadow : k.darkShadow);
        return;
    }
    case Glossy:
        if (hot && !d.pressed)
            c.fill(all, k.light);
        else if (d.disabled)
            c.fill(all, face);
        else
            c.gradient(k.highlight, -58, d.pressed, d.softBevel);
        return;
    default:
        c.fill(all, d.type == Flat && d.pressed ? shift(face, -16, d.softBevel) : face);
        break;
    }
    if (d.disabled) {
        if (d.type != HoverBevel && d.type != Selection && d.type != FaceOnly && d.type != HoverDoubleBevel)
            c.bevel(0, k.highlight, k.shadow);
        return;
    }
    switch (d.type) {
    case Outlined:
        c.outline(0, k.darkShadow);
        d.pressed ? c.bevel(1, k.shadow, k.highlight) : c.bevel(1, k.highlight, k.shadow);
        break;
    case Flat:
        c.outline(0, hot || d.pressed ? k.darkShadow : k.shadow);
        break;
    case Thin: {
        const OleColor hi = shift(k.light, 8, d.softBevel), lo = shift(k.light, -8 * 9, d.softBevel);
        d.pressed ? c.bevel(0, lo, hi) : c.bevel(0, hi, lo);
        break;
    }
    case Bevel:
    case HoverBevel:
        if (d.pressed)
            c.bevel(0, k.shadow, k.highlight);
        else if (d.type == Bevel || hot)
            c.bevel(0, k.highlight, k.shadow);
        break;
    case Selection:
        if (hot || d.pressed) {
            c.fill(all.adjusted(1, 1, -1, -1), d.pressed ? shift(k.selection2, -24, d.softBevel) : k.selection2);
            c.outline(0, k.selection);
        }
        break;
    case FaceOnly:
        break;
    case HoverDoubleBevel:
        if (d.pressed) {
            c.bevel(0, k.darkShadow, k.highlight);
            c.bevel(1, k.shadow, k.light);
        } else if (hot) {
            c.bevel(0, k.highlight, k.darkShadow);
            c.bevel(1, k.light, k.shadow);
        }
        break;
    default: {  // Classic, and any unknown type
        if (d.pressed) {
            c.outline(0, k.darkShadow);
            c.outline(1, k.shadow);
            break;
        }
        const int in = d.isDefault && d.showFocusRect ? 1 : 0;
        if (in)
            c.outline(0, k.darkShadow);
        c.bevel(in, k.highlight, k.darkShadow);
        c.bevel(in + 1, k.light, k.shadow);
        break;
    }
    }
}

// Where the picture and the caption go inside the face.
struct Placement {
    QRect picture;
    QRect caption;
};

constexpr int kTextFlags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

Placement place(const QRect& face, const QSize& pic, const QFontMetrics& fm, const QString& caption,
                Skin::PicturePosition position)
{
    const QRect area = face.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    Placement at {QRect(QPoint(), pic), area};
    at.picture.moveCenter(area.center());
    using enum Skin::PicturePosition;
    if (pic.isEmpty() || caption.isEmpty() || position == Behind)
        return at;
    if (position == Left || position == Right) {
        const int room = std::max(1, area.width() - pic.width() - kGap);
        const int textWidth = fm.boundingRect(QRect(0, 0, room, area.height()), kTextFlags, caption).width();
        const int left = area.left() + (area.width() - (pic.width() + kGap + textWidth)) / 2;
        const bool pictureFirst = position == Left;
        at.picture.moveLeft(pictureFirst ? left : left + textWidth + kGap);
        at.caption = QRect(pictureFirst ? left + pic.width() + kGap : left, area.top(), textWidth, area.height());
    } else {
        const int room = std::max(1, area.height() - pic.height() - kGap);
        const int textHeight = fm.boundingRect(QRect(0, 0, area.width(), room), kTextFlags, caption).height();
        const int top = area.top() + (area.height() - (pic.height() + kGap + textHeight)) / 2;
        const bool pictureFirst = position == Above;
        at.picture.moveTop(pictureFirst ? top : top + textHeight + kGap);
        at.caption = QRect(area.left(), pictureFirst ? top + pic.height() + kGap : top, area.width(), textHeight);
    }
    return at;
}

void paintCaption(QPainter& p, const QRect& rect, const SkinDrawing& d)
{
    const SkinPalette& k = d.colors;
    auto text = [&](const QPoint& offset, OleColor color) {
        p.setPen(toQColor(color));
        p.drawText(rect.translated(offset), kTextFlags, d.caption);
    };
    if (d.disabled) {
        text({1, 1}, k.highlight);
        text({}, k.shadow);
        return;
    }
    switch (d.specialEffect) {
    case Skin::SpecialEffect::Engraved:
        text({1, 1}, k.highlight);
        break;
    case Skin::SpecialEffect::Raised:
        text({1, 1}, k.shadow);
        break;
    case Skin::SpecialEffect::DropShadow:
        text({2, 2}, k.darkShadow);
        break;
    case Skin::SpecialEffect::None:
    default:
        break;
    }
    text({}, d.over ? k.hoverText : k.text);
}

void paintFocus(QPainter& p, const QRect& face, const SkinDrawing& d)
{
    QPen pen(toQColor(d.colors.text));
    pen.setDashPattern({1, 1});
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRect ring = face.adjusted(3, 3, -4, -4);
    if (d.type == Skin::ButtonType::Oval)
        p.drawEllipse(ring.adjusted(ring.width() / 7, ring.height() / 7, -ring.width() / 7, -ring.height() / 7));
    else
        p.drawRect(ring);
}

}  // namespace

void paintSkin(QPainter& painter, const QSize& size, const SkinDrawing& d)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    Canvas canvas(painter, size);
    paintLook(canvas, d);

    const QRect face(QPoint(), size);
    const QString caption = d.type == Skin::ButtonType::FaceOnly ? QString() : d.caption;
    const QPixmap picture = preparedPicture(d.picture, d.colors.mask, d.useMaskColor, d.greyscale || d.disabled);
    QFont font = d.font;
    if (d.type == Skin::ButtonType::Glossy && d.isDefault)
        font.setBold(true);
    painter.setFont(font);
    Placement at
        = place(face, picture.size() / picture.devicePixelRatio(), QFontMetrics(font), caption, d.picturePosition);
    if (d.pressed) {
        at.picture.translate(1, 1);
        at.caption.translate(1, 1);
    }
    if (!picture.isNull())
        painter.drawPixmap(at.picture, picture);
    if (!caption.isEmpty())
        paintCaption(painter, at.caption, d);
    if (d.focused && d.showFocusRect && !d.disabled)
        paintFocus(painter, face, d);
    painter.restore();
}

QRegion skinRegion(Skin::ButtonType type, const QSize& size)
{
    using enum Skin::ButtonType;
    const QRect all(QPoint(), size);
    if (type == Oval)
        return ovalRegion(size);
    if (type != Outlined && type != Xp && type != Flat)
        return {};
    const int r = size.width() - 1, b = size.height() - 1;
    QRegion region(all);
    for (const QPoint& corner : {QPoint(0, 0), QPoint(r, 0), QPoint(0, b), QPoint(r, b)})
        region -= QRegion(corner.x(), corner.y(), 1, 1);
    return region;
}

QSize skinMinimumSize(Skin::ButtonType type, const QSize& content)
{
    // The margins all round, and the dot a pressed caption moves by.
    const QSize room = content + QSize(2 * kMargin + 1, 2 * kMargin + 1);
    if (type != Skin::ButtonType::Oval)
        return room;
    // A rectangle fits in an ellipse whose axes are sqrt(2) times its sides.
    return QSize(int(std::ceil(room.width() * M_SQRT2)), int(std::ceil(room.height() * M_SQRT2)));
}

QSize skinContentSize(const QSize& picture, const QSize& caption, Skin::PicturePosition position)
{
    using enum Skin::PicturePosition;
    if (picture.isEmpty())
        return caption;
    if (caption.isEmpty() || position == Behind)
        return picture.expandedTo(caption);
    if (position == Left || position == Right)
        return QSize(picture.width() + kGap + caption.width(), std::max(picture.height(), caption.height()));
    return QSize(std::max(picture.width(), caption.width()), picture.height() + kGap + caption.height());
}

QPixmap preparedPicture(const QPixmap& picture, OleColor mask, bool useMask, bool grey)
{
    if (picture.isNull())
        return picture;
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    if (grey) {
        // Rows of 32-bit pixels have no padding: the pixels lie end to end.
        for (QRgb& pixel : std::span(reinterpret_cast<QRgb*>(image.bits()), image.sizeInBytes() / sizeof(QRgb))) {
            const int g = qGray(pixel);
            pixel = qRgba(g, g, g, qAlpha(pixel));
        }
    }
    QPixmap result = QPixmap::fromImage(image);
    if (useMask) {
        // The mask is found on the original colours: grey must not hide more.
        result.setMask(picture.createMaskFromColor(toQColor(mask), Qt::MaskInColor));
    }
    return result;
}
