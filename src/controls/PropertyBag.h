#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <utility>

// The saved properties of a control: keys in the order they were written,
// each with one value. A reader names the value to use when a key is
// missing, so a control saved by an older version still loads.
class PropertyBag {
public:
    void WriteProperty(const QString& key, const QVariant& value);
    QVariant ReadProperty(const QString& key, const QVariant& defaultValue = {}) const;
    bool contains(const QString& key) const;
    QStringList keys() const;

    // A binary file of the keys and values; false when the file cannot be
    // written whole, or read as a bag.
    bool save(const QString& path) const;
    bool load(const QString& path);

    friend bool operator==(const PropertyBag&, const PropertyBag&) = default;

private:
    QList<std::pair<QString, QVariant>> m_entries;
};
