// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/RunningCopy.h"

#include "desktop/Mpris.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>

bool raiseRunningCopy(qint64 pid)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QString service = QStringLiteral("org.mpris.MediaPlayer2.quillon");
    const QDBusReply<uint> owner = bus.interface()->servicePid(service);
    if (!owner.isValid() || qint64(owner.value()) != pid)
        return false;
    QDBusInterface root(service, Mpris::kObjectPath, QStringLiteral("org.mpris.MediaPlayer2"), bus);
    if (!root.property("CanRaise").toBool())
        return false;
    return root.call(QStringLiteral("Raise")).type() == QDBusMessage::ReplyMessage;
}
