// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/SkinPalette.h"

#include <QFont>
#include <QPixmap>
#include <QRegion>
#include <QString>

class QPainter;

// Everything one drawing of a skin button depends on.
struct SkinDrawing {
    Skin::ButtonType type = Skin::ButtonType::Classic;
    bool pressed = false;
    bool over = false;
    bool focused = false;
    bool disabled = false;
    bool showFocusRect = true;
    bool isDefault = false;
    bool softBevel = false;
    SkinPalette colors;
    QString caption;
    QFont font;
    Skin::SpecialEffect specialEffect = Skin::SpecialEffect::None;
    QPixmap picture;  // already the over or the normal one
    Skin::PicturePosition picturePosition = Skin::PicturePosition::Left;
    bool useMaskColor = true;
    bool greyscale = false;
};

// The frame colour of the Xp look, a dark blue.
constexpr OleColor kXpFrame = 0x733C00;

void paintSkin(QPainter& painter, const QSize& size, const SkinDrawing& d);
// The window region of a look; empty for the rectangular ones.
QRegion skinRegion(Skin::ButtonType type, const QSize& size);
// The smallest button of a look that shows content (caption and picture
// as placed together) whole.
QSize skinMinimumSize(Skin::ButtonType type, const QSize& content);
// Caption and picture together, placed as PicturePosition says.
QSize skinContentSize(const QSize& picture, const QSize& caption, Skin::PicturePosition position);
// The picture as drawn: the mask colour transparent, and grey if asked.
QPixmap preparedPicture(const QPixmap& picture, OleColor mask, bool useMask, bool grey);
