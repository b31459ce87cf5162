// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ListBox.h"

ListBox::ListBox(QObject* parent) : QAbstractListModel(parent)
{ }

QString ListBox::item(int index) const
{
    return index >= 0 && index < m_rows.size() ? m_rows.at(index) : QString();
}

void ListBox::addItem(const QString& text)
{
    beginInsertRows({}, m_rows.size(), m_rows.size());
    m_rows.append(text);
    endInsertRows();
}

void ListBox::addItems(const QStringList& texts)
{
    if (texts.isEmpty())
        return;
    beginInsertRows({}, m_rows.size(), m_rows.size() + texts.size() - 1);
    m_rows.append(texts);
    endInsertRows();
}

bool ListBox::removeItem(int index)
{
    if (index < 0 || index >= m_rows.size())
        return false;
    beginRemoveRows({}, index, index);
    m_rows.removeAt(index);
    endRemoveRows();
    // The selection stays on its row, as a view's does, and goes with it:
    // the playlist's selection is the cursor that next and prev move.
    if (m_listIndex == index)
        setListIndex(-1);
    else if (m_listIndex > index)
        setListIndex(m_listIndex - 1);
    return true;
}

void ListBox::clear()
{
    if (!m_rows.isEmpty()) {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }
    setListIndex(-1);
}

bool ListBox::setListIndex(int index)
{
    if (index < -1 || index >= m_rows.size())
        return false;
    if (index != m_listIndex) {
        m_listIndex = index;
        Q_EMIT listIndexChanged(index);
    }
    return true;
}

int ListBox::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

QVariant ListBox::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_rows.at(index.row());
    return {};
}
