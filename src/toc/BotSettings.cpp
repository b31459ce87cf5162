// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/BotSettings.h"

#include "controls/UserStore.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// The option's value, else the store's key; empty when neither has one.
QString optionOrStored(const std::optional<QString>& option, const QString& key)
{
    return option ? option->trimmed() : readSetting(BotMode::kBotGroup, key).trimmed();
}

QString missing(const QString& option, const QString& key)
{
    return QStringLiteral("--bot needs --%1 (or the key %2 under [%3] in %4)")
        .arg(option, key, BotMode::kBotGroup, BotMode::storeFile());
}

// The first line of a file, without its line end.
std::variant<QString, UsageError> firstLine(const QString& path, const QString& what)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return UsageError {QStringLiteral("cannot read %1 %2: %3").arg(what, path, file.errorString())};
    QByteArray line = file.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty())
        return UsageError {QStringLiteral("%1 %2 holds no password on its first line").arg(what, path)};
    return QString::fromUtf8(line);
}

std::variant<QString, UsageError> password(const BotOptions& options, const QProcessEnvironment& environment)
{
    if (options.passwordFile)
        return firstLine(*options.passwordFile, QStringLiteral("the password file"));
    if (const QString credentials = environment.value(QStringLiteral("CREDENTIALS_DIRECTORY"));
        !credentials.isEmpty()) {
        const QString path = credentials + QStringLiteral("/toc-password");
        if (QFile::exists(path))
            return firstLine(path, QStringLiteral("the credential"));
    }
    if (const QString fromEnvironment = environment.value(QStringLiteral("QUILLON_TOC_PASSWORD"));
        !fromEnvironment.isEmpty())
        return fromEnvironment;
    if (options.password && !options.password->isEmpty())
        return *options.password;
    return UsageError {QStringLiteral("--bot needs a password: --password-file FILE, "
                                      "$CREDENTIALS_DIRECTORY/toc-password, $QUILLON_TOC_PASSWORD or --password")};
}

std::optional<UsageError> endpoint(const std::optional<QString>& text, const QString& option, quint16 defaultPort,
                                   std::optional<TocEndpoint>& into)
{
    if (!text)
        return std::nullopt;
    into = TocEndpoint::parse(*text, defaultPort);
    if (into)
        return std::nullopt;
    return UsageError {QStringLiteral("--%1 takes HOST, HOST:PORT, [IPV6] or [IPV6]:PORT, with a host name or "
                                      "address and a port from 1 to 65535, not \"%2\"")
                           .arg(option, *text)};
}

}  // namespace

std::variant<HeadlessBotSettings, UsageError> resolveBotSettings(const BotOptions& options,
                                                                 const QProcessEnvironment& environment)
{
    HeadlessBotSettings settings;
    // Each stored value that the options given leave in use is checked as
    // its option is.
    using Key = std::pair<QString, QString>;
    const QString& toc = BotMode::kGroup;
    QList<Key> stored;
    if (!options.server)
        stored << Key(toc, BotMode::kServerKey) << Key(toc, BotMode::kPortKey);
    if (!options.authorizer)
        stored << Key(toc, BotMode::kAuthorizerKey) << Key(toc, BotMode::kAuthPortKey);
    if (!options.tocVersion)
        stored << Key(toc, BotMode::kVersionKey);
    if (!options.exchange)
        stored << Key(BotMode::kBotGroup, BotMode::kExchangeKey);
    for (const auto& [group, key] : std::as_const(stored)) {
        if (auto problem = BotMode::storedProblem(group, key))
            return UsageError {*problem, UsageError::kBadConfiguration};
    }

    if (options.tocVersion) {
        settings.dialect = parseTocDialect(*options.tocVersion);
        if (!settings.dialect)
            return UsageError {QStringLiteral("--toc-version takes 1, 2 or auto, not \"%1\"").arg(*options.tocVersion)};
    } else {
        settings.dialect = BotMode::storedDialect().value_or(TocDialect::Auto);
    }
    settings.screenName = optionOrStored(options.screenName, BotMode::kScreenNameKey);
    if (settings.screenName.isEmpty())
        return UsageError {missing(QStringLiteral("screen-name"), BotMode::kScreenNameKey)};
    settings.room = optionOrStored(options.room, BotMode::kRoomKey);
    if (settings.room.isEmpty())
        return UsageError {missing(QStringLiteral("room"), BotMode::kRoomKey)};
    // Without an owner nobody could ever command the bot: its start line
    // is posted before it is in the room, and the server shows its own
    // lines as its own.
    settings.owner = optionOrStored(options.owner, BotMode::kOwnerKey);
    if (settings.owner.isEmpty())
        return UsageError {missing(QStringLiteral("owner"), BotMode::kOwnerKey)};

    if (const QString exchange = optionOrStored(options.exchange, BotMode::kExchangeKey);
        !exchange.isEmpty() || options.exchange) {
        bool ok = false;
        exchange.toShort(&ok);
        if (!ok)
            return UsageError {
                QStringLiteral("--exchange takes a whole number from -32768 to 32767, not \"%1\"").arg(exchange)};
        settings.exchange = exchange;
    }
    if (auto error = endpoint(options.server, QStringLiteral("toc-server"), BotMode::kServerPort, settings.server))
        return *error;
    if (auto error
        = endpoint(options.authorizer, QStringLiteral("authorizer"), BotMode::kAuthorizerPort, settings.authorizer))
        return *error;

    auto secret = password(options, environment);
    if (auto* error = std::get_if<UsageError>(&secret))
        return *error;
    settings.password = std::get<QString>(secret);
    return settings;
}

std::optional<QString> passwordFileWarning(const QString& path)
{
    const QFileInfo info(path);
    const auto others
        = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    if (!info.exists() || !(info.permissions() & others))
        return std::nullopt;
    // Quoted for a shell where it needs to be.
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9/._+-]+$"));
    const QString quoted
        = plain.match(path).hasMatch() ? path : u'\'' + QString(path).replace(u'\'', QStringLiteral("'\\''")) + u'\'';
    return QStringLiteral("warning: others than its owner can read or change the password file %1; "
                          "mend it with: chmod go-rwx %2")
        .arg(path, quoted);
}
