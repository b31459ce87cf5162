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

// Type 3's inner edges, in the colours of a well-known desktop theme.
struct EdgeColors {
    OleColor top, top2, left, bottom, bottom2, right;
};
constexpr EdgeColors kType3Normal {0xFFFFFF, 0xFFFFFF, 0xFEFEFE, 0xC5D0D6, 0xC5D0D6, 0xD6DFE2};
constexpr EdgeColors kType3Over {0xCFF0FF, 0x89D8FD, 0x6ACAFB, 0x0097E5, 0x30B3F8, 0x6ACAFB};
constexpr EdgeColors kType3Focus {0xFFE7CE, 0xF6D4BC, 0xF0C3AA, 0xEE8269, 0xE4AD89, 0xF0C3AA};
constexpr EdgeColors kType3Pressed {0xC1CCD1, 0xD5DCDE, 0xCFD9DC, 0xF3F3EF, 0xF3F3EF, 0xF3F3EF};
constexpr OleColor kType3DisabledFrame = 0xBAC7C9;

class Canvas {
public:
    Canvas(QPainter& p, const QSize& size) : p(p), r(size.width() - 1), b(size.height() - 1) { }

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

void paintType3(Canvas& c, const SkinDrawing& d)
{
    const SkinPalette& k = d.colors;
    if (d.disabled)
        c.fill(QRect(0, 0, c.r + 1, c.b + 1), k.lightFace);
    else
        c.gradient(k.lightFace, -25, d.pressed, d.softBevel);
    const OleColor frame = d.disabled ? kType3DisabledFrame : kType3Frame;
    c.hline(1, c.r - 1, 0, frame);
    c.hline(1, c.r - 1, c.b, frame);
    c.vline(0, 1, c.b - 1, frame);
    c.vline(c.r, 1, c.b - 1, frame);
    if (d.disabled)
        return;
    const EdgeColors& e = d.pressed ? kType3Pressed : d.over ? kType3Over : d.focused ? kType3Focus : kType3Normal;
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
    switch (d.type) {
    case 3:
        return paintType3(c, d);
    case 4:
        c.fill(all.adjusted(1, 1, -1, -1), face);
        if (d.disabled)
            return paintRoundBevel(c, k.light, k.shadow, face, face, k.shadow);
        if (d.pressed)
            return paintRoundBevel(c, k.darkShadow, k.highlight, k.shadow, k.light, k.shadow);
        return paintRoundBevel(c, k.highlight, k.darkShadow, k.light, k.shadow, k.shadow);
    case 11:
        return;  // the container shows through
    case 13: {
        // An ellipse drawn by the painter strays from the region's dots, and
        // the window shape would clip it into dashes.
        const QRegion shape = ovalRegion(all.size());
        const QRegion outline = edgeOf(shape);
        fillRegion(c, shape - outline, d.pressed ? shift(k.shadow, -24, d.softBevel) : hot ? k.shadow : face);
        fillRegion(c, outline, d.disabled ? k.shadow : k.darkShadow);
        return;
    }
    case 14:
        if (hot && !d.pressed)
            c.fill(all, k.light);
        else if (d.disabled)
            c.fill(all, face);
        else
            c.gradient(k.highlight, -58, d.pressed, d.softBevel);
        return;
    default:
        c.fill(all, d.type == 5 && d.pressed ? shift(face, -16, d.softBevel) : face);
        break;
    }
    if (d.disabled) {
        if (d.type != 8 && d.type != 9 && d.type != 10 && d.type != 12)
            c.bevel(0, k.highlight, k.shadow);
        return;
    }
    switch (d.type) {
    case 1:
        c.outline(0, k.darkShadow);
        d.pressed ? c.bevel(1, k.shadow, k.highlight) : c.bevel(1, k.highlight, k.shadow);
        break;
    case 5:
        c.outline(0, hot || d.pressed ? k.darkShadow : k.shadow);
        break;
    case 6: {
        const OleColor hi = shift(k.light, 8, d.softBevel), lo = shift(k.light, -8 * 9, d.softBevel);
        d.pressed ? c.bevel(0, lo, hi) : c.bevel(0, hi, lo);
        break;
    }
    case 7:
    case 8:
        if (d.pressed)
            c.bevel(0, k.shadow, k.highlight);
        else if (d.type == 7 || hot)
            c.bevel(0, k.highlight, k.shadow);
        break;
    case 9:
        if (hot || d.pressed) {
            c.fill(all.adjusted(1, 1, -1, -1), d.pressed ? shift(k.selection2, -24, d.softBevel) : k.selection2);
            c.outline(0, k.selection);
        }
        break;
    case 10:
        break;
    case 12:
        if (d.pressed) {
            c.bevel(0, k.darkShadow, k.highlight);
            c.bevel(1, k.shadow, k.light);
        } else if (hot) {
            c.bevel(0, k.highlight, k.darkShadow);
            c.bevel(1, k.light, k.shadow);
        }
        break;
    default: {  // 2, and any unknown type
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

Placement place(const QRect& face, const QSize& pic, const QFontMetrics& fm, const QString& caption, int position)
{
    const QRect area = face.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    Placement at {QRect(QPoint(), pic), area};
    at.picture.moveCenter(area.center());
    if (pic.isEmpty() || caption.isEmpty() || position == 4)
        return at;
    if (position == 0 || position == 1) {
        const int room = std::max(1, area.width() - pic.width() - kGap);
        const int textWidth = fm.boundingRect(QRect(0, 0, room, area.height()), kTextFlags, caption).width();
        const int left = area.left() + (area.width() - (pic.width() + kGap + textWidth)) / 2;
        const bool pictureFirst = position == 0;
        at.picture.moveLeft(pictureFirst ? left : left + textWidth + kGap);
        at.caption = QRect(pictureFirst ? left + pic.width() + kGap : left, area.top(), textWidth, area.height());
    } else {
        const int room = std::max(1, area.height() - pic.height() - kGap);
        const int textHeight = fm.boundingRect(QRect(0, 0, area.width(), room), kTextFlags, caption).height();
        const int top = area.top() + (area.height() - (pic.height() + kGap + textHeight)) / 2;
        const bool pictureFirst = position == 2;
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
    case 1:
        text({1, 1}, k.highlight);
        break;  // engraved
    case 2:
        text({1, 1}, k.shadow);
        break;  // raised
    case 3:
        text({2, 2}, k.darkShadow);
        break;  // drop shadow
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
    if (d.type == 13)
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
    // Type 10 is face and pictures only.
    const QString caption = d.type == 10 ? QString() : d.caption;
    const QPixmap picture = preparedPicture(d.picture, d.colors.mask, d.useMaskColor, d.greyscale || d.disabled);
    QFont font = d.font;
    if (d.type == 14 && d.isDefault)
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

QRegion skinRegion(int type, const QSize& size)
{
    const QRect all(QPoint(), size);
    if (type == 13)
        return ovalRegion(size);
    if (type != 1 && type != 3 && type != 5)
        return {};
    const int r = size.width() - 1, b = size.height() - 1;
    QRegion region(all);
    for (const QPoint& corner : {QPoint(0, 0), QPoint(r, 0), QPoint(0, b), QPoint(r, b)})
        region -= QRegion(corner.x(), corner.y(), 1, 1);
    return region;
}

QSize skinMinimumSize(int type, const QSize& content)
{
    // The margins all round, and the dot a pressed caption moves by.
    const QSize room = content + QSize(2 * kMargin + 1, 2 * kMargin + 1);
    if (type != 13)
        return room;
    // A rectangle fits in an ellipse whose axes are sqrt(2) times its sides.
    return QSize(int(std::ceil(room.width() * M_SQRT2)), int(std::ceil(room.height() * M_SQRT2)));
}

QSize skinContentSize(const QSize& picture, const QSize& caption, int position)
{
    if (picture.isEmpty())
        return caption;
    if (caption.isEmpty() || position == 4)
        return picture.expandedTo(caption);
    if (position == 0 || position == 1)
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
