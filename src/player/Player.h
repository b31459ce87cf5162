#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>

#include "player/Mp3Header.h"

#include <functional>

class ChatExit;
class FormState;
class MediaPlayer;

// Starts songs by name and announces them; the search-result, clock and
// auto random timers.
class Player : public QObject {
    Q_OBJECT
public:
    Player(FormState& form, MediaPlayer& wmp, ChatExit& chat);

    void Play(const QString& song);
    // Waits `Length` seconds while serving events.
    void PaUse(double Length);
    // The whole part of a * r + b for a random r in [0, 1).
    int Random(const QString& a, const QString& b);
    void randomString(const QString& strString);
    void AutoRandom(bool Enabled);
    void stopTimers();

    // The timers' work, one tick each.
    // Takes over the search results: one is played, several are offered.
    void Timer1_Timer();
    // The play clock.
    void pTime_Timer();
    // Auto random: a random song whenever the player is idle, never one
    // that failed to open in this run; three failures in a row turn it off.
    void tmrAR_Timer();
    static constexpr int kAutoRandomFailures = 3;
    // A station's title held back because the last one was posted less
    // than a minute ago: posted now, if the station still plays.
    void tmrTitle_Timer();

    // Where Random's r comes from: a number in [0, 1). By default a
    // generator reseeded from the clock on every draw.
    using RandomSource = std::function<double()>;
    void setRandomSource(RandomSource source);
    // The wait that gives the player time to open a song before it is
    // announced; PaUse unless replaced.
    using Wait = std::function<void(double seconds)>;
    void setOpeningWait(Wait wait);

    // Timer1 is due on the next turn of the event loop whenever something
    // it looks at has changed, rather than every millisecond.
    QTimer Timer1;
    QTimer pTime;
    QTimer tmrAR;
    QTimer tmrTitle;

Q_SIGNALS:
    // Several search results wait and no picker is open: the names to offer.
    void songsOffered(const QStringList& names);

private:
    void startLine(const QString& name, const QString& path, const QString& n);
    void scheduleTimer1();
    void updateClocks();
    void resetClock();
    void mediaError(const QString& url);
    QString nowPlayingLine(QString line, const QString& n, const QString& name, const QString& path,
                           const SongTags& tags) const;
    void streamTitleChanged(const QString& title);
    void postStreamTitle();

    FormState& m_form;
    MediaPlayer& m_wmp;
    ChatExit& m_chat;
    RandomSource m_random;
    Wait m_openingWait;
    bool m_inTimer1 = false;
    bool m_timer1Missed = false;
    bool m_timersStopped = false;
    // Paths the player could not open in this run.
    QSet<QString> m_unplayable;
    // Auto random's last pick, whether it failed, and the failures in a row.
    QString m_autoPicked;
    bool m_autoPickFailed = false;
    int m_autoFailures = 0;
    // The stream last started by name, for the now-playing lines its own
    // titles bring; empty when the last line started was a file.
    struct Stream {
        QString path;
        QString n;
        QString title;
        bool titleDue = false;
    } m_stream;
};

// The file's size as the now-playing line shows it ("1.00 KB", "512 bytes").
// A missing or unreadable file gives "0 bytes".
QString GetFileSize(const QString& path);
// The same text for a size in bytes, with the locale's decimal separator.
QString fileSizeText(qint64 bytes);
