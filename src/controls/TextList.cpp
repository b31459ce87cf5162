// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/TextList.h"

TextList::TextList(QObject* parent) : QAbstractListModel(parent)
{ }

QString TextList::item(int index) const
{
    return index >= 0 && index < m_rows.size() ? m_rows.at(index) : QString();
}

void TextList::addItem(const QString& text)
{
    beginInsertRows({}, count(), count());
    m_rows.append(text);
    endInsertRows();
}

void TextList::addItems(const QStringList& texts)
{
    if (texts.isEmpty())
        return;
    beginInsertRows({}, count(), count() + static_cast<int>(texts.size()) - 1);
    m_rows.append(texts);
    endInsertRows();
}

bool TextList::removeItem(int index)
{
    if (index < 0 || index >= m_rows.size())
        return false;
    beginRemoveRows({}, index, index);
    m_rows.removeAt(index);
    endRemoveRows();
    // The selection stays on its row, as a view's does, and goes with it:
    // the playlist's selection is the cursor that next and prev move.
    if (m_selectedRow == index)
        selectRow(-1);
    else if (m_selectedRow > index)
        selectRow(m_selectedRow - 1);
    return true;
}

void TextList::clear()
{
    if (!m_rows.isEmpty()) {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }
    selectRow(-1);
}

bool TextList::selectRow(int index)
{
    if (index < -1 || index >= m_rows.size())
        return false;
    if (index != m_selectedRow) {
        m_selectedRow = index;
        Q_EMIT selectedRowChanged(index);
    }
    return true;
}

int TextList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant TextList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_rows.at(index.row());
    return {};
}
