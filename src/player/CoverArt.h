// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The picture a song carries in its tags (the front cover where it names
// one), as the image file's bytes and their MIME type.
struct CoverArt {
    QByteArray data;
    QString mimeType;
};

// Empty for a file with no picture, of a kind the tag library does not
// read, or that is not a regular file.
CoverArt readCoverArt(const QString& path);
