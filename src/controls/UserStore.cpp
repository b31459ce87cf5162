#include "controls/UserStore.h"

#include <QSettings>

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    const QSettings store(QStringLiteral("quillon"), QStringLiteral("quillon"));
    const QVariant value = store.value(section + u'/' + key, defaultValue);
    // A file written by hand with a comma in a value (room=Rock, Pop) holds
    // a list, which as a string would be empty: the value as it was meant.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void SaveSetting(const QString& section, const QString& key, const QString& value)
{
    QSettings store(QStringLiteral("quillon"), QStringLiteral("quillon"));
    store.setValue(section + u'/' + key, value);
}
