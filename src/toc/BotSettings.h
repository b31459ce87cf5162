// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toc/HeadlessBot.h"

#include <QProcessEnvironment>
#include <QString>

#include <optional>
#include <variant>

// The bot's options as the command line gave them; unset when not given.
struct BotOptions {
    std::optional<QString> screenName;
    std::optional<QString> room;
    std::optional<QString> exchange;
    std::optional<QString> owner;
    std::optional<QString> password;
    std::optional<QString> passwordFile;
    std::optional<QString> server;
    std::optional<QString> authorizer;
    std::optional<QString> tocVersion;
};

struct UsageError {
    // A wrong command line; a bad value in the per-user store has the
    // status a service manager does not restart after (sysexits' EX_CONFIG).
    static constexpr int kUsage = 2;
    static constexpr int kBadConfiguration = 78;
    QString message;
    int exitStatus = kUsage;
};

// The settings of one run. Each option given wins over its key in the
// per-user store's [bot] group (screenname, room, exchange, owner) and is
// not written back; so does --toc-version over the key version under
// [toc], and without either the bot tries TOC2 and then TOC1. The password
// comes from the first of: the first line of --password-file, of
// $CREDENTIALS_DIRECTORY/toc-password (the service manager's credentials),
// $QUILLON_TOC_PASSWORD, --password. A setting
// that is missing or unusable gives a message naming its option or key;
// each stored value used is checked as its option is.
std::variant<HeadlessBotSettings, UsageError> resolveBotSettings(const BotOptions& options,
                                                                 const QProcessEnvironment& environment);

// A warning when others than its owner may read or write the password
// file, naming the file and the chmod that mends it.
std::optional<QString> passwordFileWarning(const QString& path);
