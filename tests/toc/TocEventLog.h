#pragma once

#include "toc/MarlTOCSock.h"

#include <QMetaMethod>
#include <QStringList>

#include <algorithm>
#include <type_traits>

// Every event the client raises, in order, as "Name(arg|arg|...)";
// IncomingPacket is counted apart because every frame raises it.
class TocEventLog : public QObject {
public:
    explicit TocEventLog(MarlTOCSock& toc) : m_toc(toc)
    {
        using T = MarlTOCSock;
        on(&T::LoggedIn, &T::LoggedOff, &T::Error, &T::IncomingBuddyCapabilities, &T::IncomingMessage, &T::BuddyOnline,
           &T::BuddyOffline, &T::Warned, &T::JoinedChat, &T::IncomingChatMessage, &T::ChatUserUpdate,
           &T::IncomingChatInvite, &T::LeftChat, &T::PassWordUpdate, &T::ScreenNameFormatUpdate, &T::IncomingProfile,
           &T::RendevousRequest, &T::IncomingBartData);
        connect(&toc, &T::IncomingPacket, this, [this](qint16, const QByteArray& data) {
            ++packets;
            lastPacket = data;
        });
        connect(&toc, &T::connectionFailed, this, [this] { ++failures; });
    }

    bool has(const QString& prefix) const
    {
        return std::any_of(events.begin(), events.end(), [&](const QString& e) { return e.startsWith(prefix); });
    }

    QStringList events;
    int packets = 0;
    QByteArray lastPacket;
    int failures = 0;

private:
    template <typename... Args, typename... More> void on(void (MarlTOCSock::*signal)(Args...), More... more)
    {
        const QString name = QString::fromLatin1(QMetaMethod::fromSignal(signal).name());
        connect(&m_toc, signal, this, [this, name](Args... args) {
            events.append(name + u'(' + QStringList {text(args)...}.join(u'|') + u')');
        });
        if constexpr (sizeof...(More) > 0)
            on(more...);
    }
    template <typename V> static QString text(const V& v)
    {
        if constexpr (std::is_same_v<V, bool>)
            return v ? QStringLiteral("true") : QStringLiteral("false");
        else if constexpr (std::is_arithmetic_v<V>)
            return QString::number(v);
        else
            return v;
    }

    MarlTOCSock& m_toc;
};
