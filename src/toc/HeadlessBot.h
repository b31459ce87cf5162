// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "toc/BotMode.h"

#include <QObject>
#include <QString>

#include <optional>

class TocClient;

// What the bot needs for one run: the command line's options over the
// per-user store's keys.
struct HeadlessBotSettings {
    QString screenName;
    QString password;
    QString room;
    QString exchange = QStringLiteral("4");
    // Unset: the per-user store's hosts (or their defaults).
    std::optional<TocEndpoint> server;
    std::optional<TocEndpoint> authorizer;
    QString owner;
    // Unset: the per-user store's, else auto.
    std::optional<TocDialect> dialect;
};

// Runs bot mode without windows: fills in bot mode's account, switches
// bot mode on, signs on, joins the room once signed on (bot mode joins it
// again after every new sign-on), and writes one line per step of the
// sign-on, per failure and per retry to the log.
class HeadlessBot : public QObject {
    Q_OBJECT
public:
    // sysexits' EX_CONFIG: the service manager is told not to restart us.
    static constexpr int kRefusedExitStatus = 78;

    HeadlessBot(BoolValue& useBot, BotMode& botMode, TocClient& toc, HeadlessBotSettings settings);

    // Call once the main form has started.
    void start();
    // 0, or kRefusedExitStatus once the server refused the sign-on.
    int exitStatus() const { return m_exitStatus; }

Q_SIGNALS:
    // The server refused the screen name or password: the run should end.
    void signOnRefused();

private:
    void useDialect();
    enum class Level { Info, Warning, Error };
    void log(const QString& line, Level level = Level::Info);

    BoolValue& m_useBot;
    BotMode& m_botMode;
    TocClient& m_toc;
    HeadlessBotSettings m_settings;
    bool m_joined = false;
    int m_exitStatus = 0;
};
