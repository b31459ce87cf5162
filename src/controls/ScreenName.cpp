#include "controls/ScreenName.h"

QString NormalizeName(const QString& name)
{
    return QString(name).remove(u' ').toLower();
}
