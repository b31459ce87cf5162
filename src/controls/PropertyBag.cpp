#include "controls/PropertyBag.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr quint32 kMagic = 0x51504231;  // "QPB1"

}  // namespace

void PropertyBag::WriteProperty(const QString& key, const QVariant& value)
{
    auto same = [&key](const auto& entry) { return entry.first == key; };
    if (auto it = std::find_if(m_entries.begin(), m_entries.end(), same); it != m_entries.end())
        it->second = value;
    else
        m_entries.append({key, value});
}

QVariant PropertyBag::ReadProperty(const QString& key, const QVariant& defaultValue) const
{
    for (const auto& [k, v] : m_entries) {
        if (k == key)
            return v;
    }
    return defaultValue;
}

bool PropertyBag::contains(const QString& key) const
{
    return std::any_of(m_entries.cbegin(), m_entries.cend(), [&key](const auto& e) { return e.first == key; });
}

QStringList PropertyBag::keys() const
{
    QStringList result;
    for (const auto& entry : m_entries)
        result.append(entry.first);
    return result;
}

bool PropertyBag::save(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_6_4);
    out << kMagic << qint32(m_entries.size());
    for (const auto& [key, value] : m_entries)
        out << key << value;
    // The stream notes a short write; the commit would not.
    return out.status() == QDataStream::Ok && file.commit();
}

bool PropertyBag::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_4);
    quint32 magic = 0;
    qint32 count = 0;
    in >> magic >> count;
    if (magic != kMagic || count < 0)
        return false;
    PropertyBag read;
    for (qint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString key;
        QVariant value;
        in >> key >> value;
        read.WriteProperty(key, value);
    }
    if (in.status() != QDataStream::Ok)
        return false;
    *this = std::move(read);
    return true;
}
