// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/SkinKinds.h"

#include <QColor>
#include <QtGlobal>

class QPalette;

// A colour as the button's properties keep it: 0x00BBGGRR, or, with the
// top bit set, the index of a system colour that follows the desktop's
// theme (0x8000000F is the button face).
using OleColor = quint32;

namespace SystemColor {
constexpr OleColor Window = 0x80000005;
constexpr OleColor WindowText = 0x80000008;
constexpr OleColor Highlight = 0x8000000D;
constexpr OleColor HighlightText = 0x8000000E;
constexpr OleColor ButtonFace = 0x8000000F;
constexpr OleColor ButtonShadow = 0x80000010;
constexpr OleColor GrayText = 0x80000011;
constexpr OleColor ButtonText = 0x80000012;
constexpr OleColor ButtonHighlight = 0x80000014;
constexpr OleColor DarkShadow3D = 0x80000015;
constexpr OleColor Light3D = 0x80000016;
}  // namespace SystemColor

OleColor oleColor(int red, int green, int blue);
QColor toQColor(OleColor rgb);
OleColor fromQColor(const QColor& color);
// A system colour's current value in the palette; any other value as it is.
OleColor translateColor(OleColor color, const QPalette& system);

// Adds n to red, green and blue, each kept within 0..255; a soft bevel
// halves n.
OleColor shift(OleColor color, int n, bool soft = false);
// Mixes towards white by a (0..255).
OleColor blend(OleColor color, int a);

// The colours one drawing of a button uses, all plain 0x00BBGGRR.
struct SkinPalette {
    OleColor face = 0, hoverFace = 0, light = 0, highlight = 0, shadow = 0, darkShadow = 0;
    OleColor text = 0, hoverText = 0, selection = 0, selection2 = 0, mask = 0, lightFace = 0;

    struct Inputs {
        Skin::ColorScheme colorScheme = Skin::ColorScheme::System;
        Skin::ButtonType buttonType = Skin::ButtonType::Classic;
        bool softBevel = false;
        bool over = false;  // with scheme 2 the hover colours lead
        OleColor backColor = 0, backOver = 0, foreColor = 0, foreOver = 0, maskColor = 0;
    };
    // system: the running style's palette; container: the parent window's.
    static SkinPalette compute(const Inputs& in, const QPalette& system, const QPalette& container);
};
