// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/Playlist.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

bool looksAbsolute(const QString& text)
{
    static const QRegularExpression absolute(QStringLiteral(R"(^(/|\\\\|[A-Za-z]:[\\/]|[A-Za-z][A-Za-z0-9+.-]*://))"));
    return absolute.match(text).hasMatch();
}

}  // namespace

QString Playlist::nameOf(const QString& row)
{
    return row.left(row.indexOf(u';'));
}

QString Playlist::pathOf(const QString& row)
{
    const QString second = row.section(u';', 1, 1);
    for (qsizetype at = row.indexOf(u';'); at >= 0; at = row.indexOf(u';', at + 1)) {
        const QString rest = row.mid(at + 1);
        if (looksAbsolute(rest))
            return rest;
    }
    return second;
}

QStringList Playlist::names() const
{
    QStringList names;
    names.reserve(count());
    for (const QString& row : items())
        names.append(nameOf(row));
    return names;
}

int Playlist::rowOfPath(const QString& path) const
{
    const QString tail = u';' + path;
    const auto found
        = std::find_if(items().cbegin(), items().cend(), [&](const QString& row) { return row.endsWith(tail); });
    return found == items().cend() ? -1 : int(found - items().cbegin());
}

QVariant Playlist::data(const QModelIndex& index, int role) const
{
    const QVariant row = TextList::data(index, role);
    return row.isValid() ? QVariant(nameOf(row.toString())) : row;
}
