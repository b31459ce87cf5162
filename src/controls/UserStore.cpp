// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/UserStore.h"

#include <QRegularExpression>
#include <QSettings>

namespace {

QString& folder()
{
    static QString name = QStringLiteral("quillon");
    return name;
}

}  // namespace

QString readSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    const QSettings store(profileFolder(), QStringLiteral("quillon"));
    const QVariant value = store.value(section + u'/' + key, defaultValue);
    // A file written by hand with a comma in a value (room=Rock, Pop) holds
    // a list, which as a string would be empty: the value as it was meant.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void writeSetting(const QString& section, const QString& key, const QString& value)
{
    QSettings store(profileFolder(), QStringLiteral("quillon"));
    store.setValue(section + u'/' + key, value);
}

QString profileFolder()
{
    return folder();
}

bool selectProfile(const QString& name)
{
    // One plain folder name: no separators, nothing hidden, no way up.
    static const QRegularExpression plain(QStringLiteral(R"(^[A-Za-z0-9_@][A-Za-z0-9_.@-]{0,63}$)"));
    if (!plain.match(name).hasMatch())
        return false;
    folder() = QStringLiteral("quillon/") + name;
    return true;
}
