#include "bot/RoomPath.h"

QString roomPath(const QString& typed)
{
    return QString(typed).replace(u'\\', u'/');
}
