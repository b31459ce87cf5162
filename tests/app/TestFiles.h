// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>

// A file's bytes, or "(none)" when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

// Makes the file, with the bytes given; false when it cannot.
inline bool writeFile(const QString& path, const QByteArray& bytes = {})
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
