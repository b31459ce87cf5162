// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// The choices a skin button offers, shared by the button, its palette and
// its drawing. Each keeps the number it is saved under. A saved number this
// version does not know is kept as it is, so that it is saved back
// unchanged, and is drawn as the comments below say.
namespace Skin {
Q_NAMESPACE

// The look drawn over the face.
enum class ButtonType : int {
    Outlined = 1,  // raised bevel inside a dark outline, corners cut
    Classic = 2,  // two-level raised bevel; also any unknown number
    Xp = 3,  // gradient face in a dark blue frame, corners cut
    Rounded = 4,  // bevel with rounded corners
    Flat = 5,  // flat face, outline with cut corners
    Thin = 6,  // thin bevel in shades of the light colour
    Bevel = 7,  // one-level bevel, always shown
    HoverBevel = 8,  // the one-level bevel while the pointer is over
    Selection = 9,  // selection colours while the pointer is over
    FaceOnly = 10,  // face and pictures, no caption
    Transparent = 11,  // the container shows through
    HoverDoubleBevel = 12,  // the two-level bevel while the pointer is over
    Oval = 13,  // elliptic button
    Glossy = 14,  // gradient from the highlight; the default's caption bold
};
Q_ENUM_NS(ButtonType)

// Where the colours come from; any unknown number acts as System.
enum class ColorScheme : int {
    System = 1,  // the desktop's button colours
    Custom = 2,  // the button's own back and fore colours
    Grey = 3,  // fixed light grey
    Container = 4,  // the window's background and text colours
};
Q_ENUM_NS(ColorScheme)

// How the caption is set off from the face; any unknown number is None.
enum class SpecialEffect : int {
    None = 0,
    Engraved = 1,
    Raised = 2,
    DropShadow = 3,
};
Q_ENUM_NS(SpecialEffect)

// Where a picture goes relative to the caption.
enum class PicturePosition : int {
    Left = 0,
    Right = 1,
    Above = 2,
    Below = 3,
    Behind = 4,  // the caption over the whole face
};
Q_ENUM_NS(PicturePosition)

}  // namespace Skin
