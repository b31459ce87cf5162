#include "controls/UserStore.h"

#include <QSettings>

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    const QSettings store(QStringLiteral("quillon"), QStringLiteral("quillon"));
    return store.value(section + u'/' + key, defaultValue).toString();
}

void SaveSetting(const QString& section, const QString& key, const QString& value)
{
    QSettings store(QStringLiteral("quillon"), QStringLiteral("quillon"));
    store.setValue(section + u'/' + key, value);
}
