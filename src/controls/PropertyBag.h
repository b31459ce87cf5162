// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <algorithm>
#include <utility>

// The saved properties of a control: keys in the order they were written,
// each with one value. A reader names the value to use when a key is
// missing, so a control saved by an older version still loads.
class PropertyBag {
public:
    void WriteProperty(const QString& key, const QVariant& value);
    QVariant ReadProperty(const QString& key, const QVariant& defaultValue = {}) const;
    QStringList keys() const;

    friend bool operator==(const PropertyBag&, const PropertyBag&) = default;

private:
    qsizetype indexOf(const QString& key) const
    {
        const auto it
            = std::find_if(m_entries.cbegin(), m_entries.cend(), [&key](const auto& e) { return e.first == key; });
        return it == m_entries.cend() ? -1 : it - m_entries.cbegin();
    }

    QList<std::pair<QString, QVariant>> m_entries;
};
