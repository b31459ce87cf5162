// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "controls/TextList.h"

// The playlist: one row per song as the playlist file stores it, the name,
// ";" and the path, and the selected row, which is the cursor that next and
// prev move. A view shows the names.
class Playlist : public TextList {
    Q_OBJECT
public:
    using TextList::TextList;

    // The name of a stored row: everything before its first ";".
    static QString nameOf(const QString& row);
    // The path of a stored row. A file whose name holds ";" splits into
    // more than two fields; the path is then the rest of the row from the
    // first field that starts a full path, so that such a song still plays.
    static QString pathOf(const QString& row);

    QString name(int index) const { return nameOf(item(index)); }
    QString path(int index) const { return pathOf(item(index)); }
    QStringList names() const;
    // The row whose path is exactly this one; -1 for none.
    int rowOfPath(const QString& path) const;
    // The cursor's song; empty with no cursor.
    QString selectedName() const { return name(selectedRow()); }

    QVariant data(const QModelIndex& index, int role) const override;
};
