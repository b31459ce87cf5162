#pragma once

#include "toc/BotMode.h"

#include <QObject>
#include <QString>

#include <cstdio>
#include <optional>

class MarlTOCSock;

// What the command line tells the bot.
struct HeadlessBotSettings {
    QString screenName;
    QString password;
    QString room;
    QString exchange = QStringLiteral("4");
    // Unset: the per-user store's hosts (or their defaults).
    std::optional<TocEndpoint> server;
    std::optional<TocEndpoint> authorizer;
    // Empty: the owner is found in the room as without bot mode.
    QString owner;
    // Unset: the per-user store's, else auto.
    std::optional<TocDialect> dialect;
};

// Runs bot mode without windows: fills in the form's bot panel, switches
// bot mode on, signs on, joins the room each time the sign-on completes,
// and writes one line per step of the sign-on and per failure to the log.
class HeadlessBot : public QObject {
    Q_OBJECT
public:
    HeadlessBot(FormState& form, BotMode& botMode, MarlTOCSock& toc, HeadlessBotSettings settings,
                std::FILE* logTo = stderr);

    // Call after Form_Load.
    void start();

private:
    void useDialect();
    void log(const QString& line);

    FormState& m_form;
    BotMode& m_botMode;
    MarlTOCSock& m_toc;
    HeadlessBotSettings m_settings;
    std::FILE* m_log;
};
