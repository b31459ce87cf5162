// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

// The built program (QUILLON_BINARY of the test's target), with its files
// under a home folder the test gives, no display, no journal and no
// password from this shell, and all it prints kept. Every wait is for what
// it prints, with a ceiling only a hung program reaches.
class RunningProgram {
public:
    static constexpr int kCeiling = 30000;

    explicit RunningProgram(const QString& home)
    {
        for (const char* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_LOGGING_RULES", "NO_COLOR", "TERM", "XDG_DATA_HOME",
              "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "JOURNAL_STREAM", "CREDENTIALS_DIRECTORY", "QUILLON_TOC_PASSWORD"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("HOME"), home);
        QObject::connect(&process, &QProcess::readyReadStandardOutput,
                         [this] { out += process.readAllStandardOutput(); });
        QObject::connect(&process, &QProcess::readyReadStandardError,
                         [this] { err += process.readAllStandardError(); });
    }
    ~RunningProgram()
    {
        process.kill();
        process.waitForFinished(5000);
        // What the last run printed, beside the failure it may explain.
        if (testing::Test::HasFailure())
            std::fprintf(stderr, "stdout:\n%s\nstderr:\n%s\n", out.constData(), err.constData());
    }

    // Starts afresh, and waits for the text on stdout when one is given.
    bool start(const QStringList& arguments, const QByteArray& until = {})
    {
        out.clear(), err.clear(), m_taken = 0;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(QUILLON_BINARY), arguments);
        return process.waitForStarted(kCeiling) && (until.isEmpty() || shows(out, until));
    }
    void type(const QString& line) { process.write(line.toUtf8() + '\n'); }
    // Whether the text comes on the stream (out or err).
    bool shows(const QByteArray& stream, const QByteArray& text)
    {
        return QTest::qWaitFor([&] { return stream.contains(text); }, kCeiling);
    }
    // The first whole line of stdout not taken yet that holds the text,
    // trimmed; empty when none comes.
    QString lineWith(const QString& text)
    {
        qsizetype at = -1, end = -1;
        const auto whole
            = [&] { return (at = out.indexOf(text.toUtf8(), m_taken)) >= 0 && (end = out.indexOf('\n', at)) >= 0; };
        if (!QTest::qWaitFor(whole, kCeiling))
            return {};
        const qsizetype begin = out.lastIndexOf('\n', at) + 1;
        m_taken = end + 1;
        return QString::fromUtf8(out.mid(begin, end - begin)).trimmed();
    }
    // Whether it ended in time; all it printed is kept by then.
    bool ended()
    {
        const bool done = QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, kCeiling);
        out += process.readAllStandardOutput();
        err += process.readAllStandardError();
        return done;
    }
    // The exit status, or -1 when it crashed or still runs.
    int status() const
    {
        return process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit
            ? process.exitCode()
            : -1;
    }
    // Ends the input and answers the exit status.
    int end()
    {
        process.closeWriteChannel();
        ended();
        return status();
    }
    // A run that ends by itself: its exit status.
    int run(const QStringList& arguments) { return start(arguments) && ended() ? status() : -1; }
    // The closing line, then a normal end.
    bool unloaded() { return !lineWith(QStringLiteral("unloaded.")).isEmpty() && ended() && status() == 0; }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QProcess process;
    QByteArray out, err;

private:
    qsizetype m_taken = 0;
};

// A home folder made before the program that runs in it, for a fixture
// that derives from both.
struct FreshHome {
    QTemporaryDir home;
};
