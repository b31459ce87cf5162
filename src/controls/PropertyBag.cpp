// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/PropertyBag.h"

void PropertyBag::WriteProperty(const QString& key, const QVariant& value)
{
    if (const qsizetype at = indexOf(key); at >= 0)
        m_entries[at].second = value;
    else
        m_entries.append({key, value});
}

QVariant PropertyBag::ReadProperty(const QString& key, const QVariant& defaultValue) const
{
    const qsizetype at = indexOf(key);
    return at < 0 ? defaultValue : m_entries.at(at).second;
}

QStringList PropertyBag::keys() const
{
    QStringList result;
    for (const auto& entry : m_entries)
        result.append(entry.first);
    return result;
}
