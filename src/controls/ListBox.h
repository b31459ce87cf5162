// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>
#include <QStringList>

// A list box as the main form's procedures see it: rows of text and one
// selected index (-1 for none). It is a list model so that a view can show
// a playlist of tens of thousands of rows without copying it.
class ListBox : public QAbstractListModel {
    Q_OBJECT
public:
    explicit ListBox(QObject* parent = nullptr);

    int count() const { return m_rows.size(); }
    const QStringList& items() const { return m_rows; }
    // The row's text, or empty for a position outside the list.
    QString item(int index) const;

    void addItem(const QString& text);
    void addItems(const QStringList& texts);
    // False (and nothing changes) for a position outside the list.
    bool removeItem(int index);
    void clear();

    int listIndex() const { return m_listIndex; }
    // -1 clears the selection; a position outside the list is refused
    // with false, as a list box refuses an invalid index.
    bool setListIndex(int index);
    // The selected row's text; empty with no selection.
    QString text() const { return item(m_listIndex); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

Q_SIGNALS:
    void listIndexChanged(int index);

private:
    QStringList m_rows;
    int m_listIndex = -1;
};
