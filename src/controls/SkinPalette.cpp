// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/SkinPalette.h"

#include <QPalette>

#include <algorithm>

namespace {

int red(OleColor c)
{
    return int(c & 0xFF);
}
int green(OleColor c)
{
    return int((c >> 8) & 0xFF);
}
int blue(OleColor c)
{
    return int((c >> 16) & 0xFF);
}
OleColor clamped(int r, int g, int b)
{
    return oleColor(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255));
}

// The 3-D colours around a face, as schemes 2 and 4 derive them.
void deriveBevel(SkinPalette& p, bool soft)
{
    p.light = shift(p.face, 31, soft);
    p.highlight = shift(p.face, 47, soft);
    p.shadow = shift(p.face, -64, soft);
    p.darkShadow = shift(p.face, -192, soft);
}

}  // namespace

OleColor oleColor(int r, int g, int b)
{
    return OleColor(r) | OleColor(g) << 8 | OleColor(b) << 16;
}

QColor toQColor(OleColor c)
{
    return QColor(red(c), green(c), blue(c));
}

OleColor fromQColor(const QColor& color)
{
    return oleColor(color.red(), color.green(), color.blue());
}

OleColor translateColor(OleColor color, const QPalette& system)
{
    if (!(color & 0x80000000))
        return color & 0xFFFFFF;
    switch (color) {
    case SystemColor::Window:
        return fromQColor(system.color(QPalette::Base));
    case SystemColor::WindowText:
        return fromQColor(system.color(QPalette::Text));
    case SystemColor::Highlight:
        return fromQColor(system.color(QPalette::Highlight));
    case SystemColor::HighlightText:
        return fromQColor(system.color(QPalette::HighlightedText));
    case SystemColor::ButtonFace:
        return fromQColor(system.color(QPalette::Button));
    case SystemColor::ButtonShadow:
        return fromQColor(system.color(QPalette::Dark));
    case SystemColor::GrayText:
        return fromQColor(system.color(QPalette::Disabled, QPalette::Text));
    case SystemColor::ButtonText:
        return fromQColor(system.color(QPalette::ButtonText));
    case SystemColor::ButtonHighlight:
        return fromQColor(system.color(QPalette::Light));
    case SystemColor::DarkShadow3D:
        return fromQColor(system.color(QPalette::Shadow));
    case SystemColor::Light3D:
        return fromQColor(system.color(QPalette::Midlight));
    default:
        return fromQColor(system.color(QPalette::Button));  // an index this desktop has no colour for
    }
}

OleColor shift(OleColor c, int n, bool soft)
{
    if (soft)
        n /= 2;
    return clamped(red(c) + n, green(c) + n, blue(c) + n);
}

OleColor blend(OleColor c, int a)
{
    auto mix = [a](int channel) { return qRound(channel * (255 - a) / 255.0) + a; };
    return clamped(mix(red(c)), mix(green(c)), mix(blue(c)));
}

SkinPalette SkinPalette::compute(const Inputs& in, const QPalette& system, const QPalette& container)
{
    auto sys = [&system](OleColor code) { return translateColor(code, system); };
    SkinPalette p;
    switch (in.colorScheme) {
    case Skin::ColorScheme::Custom:
        p.face = sys(in.over ? in.backOver : in.backColor);
        p.hoverFace = sys(in.backOver);
        p.text = sys(in.foreColor);
        p.hoverText = sys(in.foreOver);
        deriveBevel(p, in.softBevel);
        p.selection = shift(p.face, -128, in.softBevel);
        p.selection2 = p.face;
        break;
    case Skin::ColorScheme::Grey:
        p.face = p.hoverFace = 0xC0C0C0;
        p.text = p.hoverText = 0;
        p.light = 0xDFDFDF;
        p.highlight = 0xFFFFFF;
        p.shadow = 0x808080;
        p.darkShadow = 0;
        p.selection = 0x800000;
        p.selection2 = 0xD1ADAD;
        break;
    case Skin::ColorScheme::Container:
        p.face = p.hoverFace = fromQColor(container.color(QPalette::Window));
        p.text = p.hoverText = fromQColor(container.color(QPalette::WindowText));
        deriveBevel(p, in.softBevel);
        p.selection = sys(SystemColor::Highlight);
        p.selection2 = blend(p.selection, 176);
        break;
    case Skin::ColorScheme::System:
    default:
        p.face = p.hoverFace = sys(SystemColor::ButtonFace);
        p.text = p.hoverText = sys(SystemColor::ButtonText);
        p.light = sys(SystemColor::Light3D);
        p.highlight = sys(SystemColor::ButtonHighlight);
        p.shadow = sys(SystemColor::ButtonShadow);
        p.darkShadow = sys(SystemColor::DarkShadow3D);
        p.selection = sys(SystemColor::Highlight);
        p.selection2 = blend(p.selection, 176);
        break;
    }
    p.mask = sys(in.maskColor);
    p.lightFace = shift(p.face, 48, in.softBevel);
    if (in.buttonType == Skin::ButtonType::Xp) {
        // The XP-like look keeps the face's hue: blue grows in proportion.
        const int n = in.softBevel ? 24 : 48;
        p.lightFace = (p.lightFace & 0x00FFFF) | OleColor(std::min(255, blue(p.face) + blue(p.face) * n / 192)) << 16;
    }
    return p;
}
