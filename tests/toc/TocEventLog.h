#pragma once

#include "toc/MarlTOCSock.h"

#include <QObject>
#include <QStringList>

// Every event the client raises, in order, as "Name(arg|arg|...)";
// IncomingPacket is counted apart because every frame raises it.
class TocEventLog : public QObject {
public:
    explicit TocEventLog(MarlTOCSock& toc)
    {
        using T = MarlTOCSock;
        connect(&toc, &T::LoggedIn, this, [this](const QString& u, const QString& b, const QString& d) {
            add("LoggedIn", {u, b, d});
        });
        connect(&toc, &T::LoggedOff, this, [this](const QString& u) { add("LoggedOff", {u}); });
        connect(&toc, &T::Error, this, [this](qint16 c) { add("Error", {num(c)}); });
        connect(&toc, &T::IncomingBuddyCapabilities, this,
                [this](const QString& u, const QString& c) { add("IncomingBuddyCapabilities", {u, c}); });
        connect(&toc, &T::IncomingPacket, this, [this](qint16 type, const QByteArray& data) {
            ++packets;
            lastPacketType = type;
            lastPacket = data;
        });
        connect(&toc, &T::IncomingMessage, this,
                [this](const QString& u, const QString& m) { add("IncomingMessage", {u, m}); });
        connect(&toc, &T::BuddyOnline, this, [this](const QString& u) { add("BuddyOnline", {u}); });
        connect(&toc, &T::BuddyOffline, this, [this](const QString& u) { add("BuddyOffline", {u}); });
        connect(&toc, &T::Warned, this, [this](const QString& w, qint16 l) { add("Warned", {w, num(l)}); });
        connect(&toc, &T::JoinedChat, this, [this](const QString& r, qint32 id) { add("JoinedChat", {r, num(id)}); });
        connect(&toc, &T::IncomingChatMessage, this, [this](qint32 id, const QString& u, bool w, const QString& m) {
            add("IncomingChatMessage", {num(id), u, flag(w), m});
        });
        connect(&toc, &T::ChatUserUpdate, this, [this](qint32 id, bool in, const QString& u, const QString& u2) {
            add("ChatUserUpdate", {num(id), flag(in), u, u2});
        });
        connect(&toc, &T::IncomingChatInvite, this,
                [this](const QString& r, qint32 id, const QString& u, const QString& m) {
                    add("IncomingChatInvite", {r, num(id), u, m});
                });
        connect(&toc, &T::LeftChat, this, [this](qint32 id) { add("LeftChat", {num(id)}); });
        connect(&toc, &T::PassWordUpdate, this, [this](bool ok) { add("PassWordUpdate", {flag(ok)}); });
        connect(&toc, &T::ScreenNameFormatUpdate, this,
                [this](bool ok) { add("ScreenNameFormatUpdate", {flag(ok)}); });
        connect(&toc, &T::IncomingProfile, this, [this](const QString& p) { add("IncomingProfile", {p}); });
        connect(&toc, &T::RendevousRequest, this,
                [this](const QString& u, const QString& id, const QString& c, const QString& ip) {
                    add("RendevousRequest", {u, id, c, ip});
                });
        connect(&toc, &T::IncomingBartData, this,
                [this](const QString& u, const QString& b) { add("IncomingBartData", {u, b}); });
        connect(&toc, &T::connectionFailed, this, [this](const QString&) { ++failures; });
    }

    bool has(const QString& prefix) const
    {
        for (const QString& event : events) {
            if (event.startsWith(prefix))
                return true;
        }
        return false;
    }

    QStringList events;
    int packets = 0;
    qint16 lastPacketType = 0;
    QByteArray lastPacket;
    int failures = 0;

private:
    static QString num(qint64 n) { return QString::number(n); }
    static QString flag(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }
    void add(const char* name, const QStringList& args)
    {
        events.append(QLatin1String(name) + QLatin1Char('(') + args.join(QLatin1Char('|')) + QLatin1Char(')'));
    }
};
