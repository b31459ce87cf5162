// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>
#include <QStringList>

// Rows of text and one selected row (-1 for none). It is a list model so
// that a view can show a playlist of tens of thousands of rows without
// copying it.
class TextList : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TextList(QObject* parent = nullptr);

    // Qt's models count rows in int; the lists here hold far fewer.
    int count() const { return static_cast<int>(m_rows.size()); }
    const QStringList& items() const { return m_rows; }
    // The row's text, or empty for a position outside the list.
    QString item(int index) const;

    void addItem(const QString& text);
    void addItems(const QStringList& texts);
    // False (and nothing changes) for a position outside the list.
    bool removeItem(int index);
    void clear();

    int selectedRow() const { return m_selectedRow; }
    // -1 clears the selection; a position outside the list is refused
    // with false.
    bool selectRow(int index);
    // The selected row's text; empty with no selection.
    QString selectedText() const { return item(m_selectedRow); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

Q_SIGNALS:
    void selectedRowChanged(int index);

private:
    QStringList m_rows;
    int m_selectedRow = -1;
};
