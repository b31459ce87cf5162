// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ScreenName.h"

QString normalizeName(const QString& name)
{
    return QString(name).remove(u' ').toLower();
}

QString screenNameKey(const QString& name)
{
    QString key;
    key.reserve(name.size());
    for (const QChar c : name) {
        if (c == u' ')
            continue;
        key.append(c >= u'A' && c <= u'Z' ? QChar(c.unicode() + (u'a' - u'A')) : c);
    }
    return key;
}

bool sameScreenName(const QString& a, const QString& b)
{
    const QString key = screenNameKey(a);
    return !key.isEmpty() && key == screenNameKey(b);
}
