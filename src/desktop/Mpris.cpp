// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/Mpris.h"

#include "controls/Playlist.h"
#include "controls/UserStore.h"
#include "controls/Values.h"
#include "player/CoverArt.h"
#include "player/MediaPlayer.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMimeDatabase>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcMpris, "quillon.mpris", QtWarningMsg)

namespace {

const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.quillon");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kPlaying = QStringLiteral("Playing");
const QString kPaused = QStringLiteral("Paused");
const QString kStopped = QStringLiteral("Stopped");

}  // namespace

// The interfaces as the bus shows them; each call goes to the Mpris object.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
public:
    explicit MprisRootAdaptor(Mpris& mpris) : QDBusAbstractAdaptor(&mpris), m_mpris(mpris) { }

    bool CanQuit() const { return true; }
    bool CanRaise() const { return m_mpris.canRaise(); }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QStringLiteral("Quillon"); }
    QString DesktopEntry() const { return QStringLiteral("org.quillon.Quillon"); }
    QStringList SupportedUriSchemes() const
    {
        return {QStringLiteral("file"), QStringLiteral("http"), QStringLiteral("https")};
    }
    // The kinds a folder brings in.
    QStringList SupportedMimeTypes() const
    {
        return QStringLiteral("audio/mpeg audio/x-wav audio/flac audio/x-flac audio/ogg audio/x-ms-wma audio/opus "
                              "audio/mp4 audio/aac application/vnd.ms-asf")
            .split(u' ');
    }

public Q_SLOTS:
    void Raise() { m_mpris.raise(); }
    void Quit() { m_mpris.quit(); }

private:
    Mpris& m_mpris;
};

class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE setVolume)
    Q_PROPERTY(bool Shuffle READ Shuffle WRITE setShuffle)
    // Every song plays once; the player has no repeat to offer.
    Q_PROPERTY(QString LoopStatus READ LoopStatus)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)
public:
    explicit MprisPlayerAdaptor(Mpris& mpris) : QDBusAbstractAdaptor(&mpris), m_mpris(mpris) { }

    QString PlaybackStatus() const { return m_mpris.playbackStatus(); }
    double Rate() const { return 1.0; }
    QVariantMap Metadata() const { return m_mpris.metadata(); }
    double Volume() const { return m_mpris.volume(); }
    void setVolume(double volume) { m_mpris.setVolume(volume); }
    bool Shuffle() const { return m_mpris.shuffle(); }
    void setShuffle(bool on) { m_mpris.setShuffle(on); }
    QString LoopStatus() const { return QStringLiteral("None"); }
    qlonglong Position() const { return m_mpris.position(); }
    bool CanGoNext() const { return m_mpris.canGoNext(); }
    bool CanGoPrevious() const { return m_mpris.canGoPrevious(); }
    bool CanPlay() const { return m_mpris.canPlay(); }
    bool CanPause() const { return m_mpris.canPause(); }
    bool CanSeek() const { return m_mpris.canSeek(); }
    bool CanControl() const { return true; }

public Q_SLOTS:
    void Next() { m_mpris.next(); }
    void Previous() { m_mpris.previous(); }
    void Pause() { m_mpris.pause(); }
    void PlayPause() { m_mpris.playPause(); }
    void Stop() { m_mpris.stop(); }
    void Play() { m_mpris.play(); }
    void Seek(qlonglong offset) { seeked(m_mpris.seek(offset)); }
    void SetPosition(const QDBusObjectPath& track, qlonglong position)
    {
        seeked(m_mpris.setPosition(track.path(), position));
    }
    void OpenUri(const QString& uri, const QDBusMessage& call)
    {
        if (m_mpris.openUri(uri))
            return;
        // The caller hears of an address that was not taken.
        call.setDelayedReply(true);
        QDBusConnection::sessionBus().send(
            call.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("Not a file or an http(s) stream: ") + uri));
    }

Q_SIGNALS:
    void Seeked(qlonglong position);

private:
    void seeked(qint64 position)
    {
        if (position >= 0)
            Q_EMIT Seeked(position);
    }

    Mpris& m_mpris;
};

const QString Mpris::kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");

std::unique_ptr<Mpris> Mpris::publish(MprisLinks links)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCDebug(lcMpris) << "no session bus, so no media keys:" << bus.lastError().message();
        return {};
    }
    std::unique_ptr<Mpris> mpris(new Mpris(std::move(links)));
    if (!bus.registerObject(kObjectPath, mpris.get(), QDBusConnection::ExportAdaptors)) {
        qCDebug(lcMpris) << "cannot register" << kObjectPath << bus.lastError().message();
        return {};
    }
    // A second instance takes the name the MPRIS rules give it.
    const QString instance
        = kServiceName + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
    if (!mpris->registerOn(kServiceName) && !mpris->registerOn(instance))
        return {};
    return mpris;
}

Mpris::Mpris(MprisLinks links) : m_links(std::move(links))
{
    new MprisRootAdaptor(*this);
    new MprisPlayerAdaptor(*this);

    // Changes are gathered and announced once per turn of the event loop.
    m_announce.setSingleShot(true);
    m_announce.setInterval(0);
    connect(&m_announce, &QTimer::timeout, this, &Mpris::announceChanges);
    const auto schedule = [this] { m_announce.start(); };
    connect(&m_links.mediaPlayer, &MediaPlayer::playStateChanged, this, [this](MediaPlayer::PlayState state) {
        // Media set again (the last song played anew) is a new track too.
        if (state == MediaPlayer::Transitioning || m_links.mediaPlayer.url() != m_trackUrl)
            followTrack();
        m_announce.start();
    });
    connect(&m_links.mediaPlayer, &MediaPlayer::streamTitleChanged, this, schedule);
    connect(&m_links.autoRandom, &BoolValue::valueChanged, this, schedule);
    connect(&m_links.playlist, &TextList::selectedRowChanged, this, schedule);
    connect(&m_links.playlist, &QAbstractItemModel::rowsInserted, this, schedule);
    connect(&m_links.playlist, &QAbstractItemModel::rowsRemoved, this, schedule);
    connect(&m_links.playlist, &QAbstractItemModel::modelReset, this, schedule);
    if (!m_links.mediaPlayer.url().isEmpty())
        followTrack();
    m_announced = announced();
}

Mpris::~Mpris()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_serviceName.isEmpty())
        bus.unregisterService(m_serviceName);
    bus.unregisterObject(kObjectPath);
}

bool Mpris::registerOn(const QString& serviceName)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerService(serviceName)) {
        qCDebug(lcMpris) << "cannot take the name" << serviceName << bus.lastError().message();
        return false;
    }
    m_serviceName = serviceName;
    return true;
}

void Mpris::raise()
{
    if (m_links.raise)
        m_links.raise();
}

void Mpris::quit()
{
    // The caller has its answer before the program begins to end.
    QMetaObject::invokeMethod(
        this, [this] { m_links.quit(); }, Qt::QueuedConnection);
}

QString Mpris::playbackStatus() const
{
    switch (m_links.mediaPlayer.playState()) {
    case MediaPlayer::Playing:
    case MediaPlayer::Transitioning:
        return kPlaying;
    case MediaPlayer::Paused:
        return kPaused;
    default:
        return kStopped;
    }
}

void Mpris::followTrack()
{
    // Tags and cover are read here, once a track, so that what the bus
    // reads is only kept values.
    m_trackUrl = m_links.mediaPlayer.url();
    ++m_track;
    const QUrl location = QUrl::fromUserInput(m_trackUrl);
    m_tags = location.isLocalFile() ? readSongTags(location.toLocalFile()) : SongTags();
    m_artUrl = location.isLocalFile() ? coverArtUrl(location.toLocalFile()) : QString();
}

QString Mpris::coverArtUrl(const QString& path)
{
    const CoverArt art = readCoverArt(path);
    if (art.data.isEmpty())
        return {};
    // Named by its bytes: a picture shared by an album's songs is written
    // once, and a client that keeps pictures by address never shows an old one.
    const QMimeDatabase types;
    QString suffix = types.mimeTypeForName(art.mimeType).preferredSuffix();
    if (suffix.isEmpty())
        suffix = types.mimeTypeForData(art.data).preferredSuffix();
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + u'/' + profileFolder();
    const QString file = dir + QStringLiteral("/cover-")
        + QString::fromLatin1(QCryptographicHash::hash(art.data, QCryptographicHash::Sha256).toHex().left(32))
        + (suffix.isEmpty() ? QString() : u'.' + suffix);
    if (!QFileInfo(file).isFile()) {
        QSaveFile out(file);
        if (!QDir().mkpath(dir) || !out.open(QIODevice::WriteOnly) || out.write(art.data) != art.data.size()
            || !out.commit()) {
            qCDebug(lcMpris) << "cannot write the cover art to" << file << out.errorString();
            return {};
        }
    }
    return QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
}

QString Mpris::trackId() const
{
    return QStringLiteral("/org/quillon/Quillon/track/") + QString::number(m_track);
}

QString Mpris::title() const
{
    // A station says what it plays itself.
    QString streamTitle = m_links.mediaPlayer.streamTitle();
    if (!streamTitle.isEmpty())
        return streamTitle;
    if (!m_tags.title.isEmpty())
        return m_tags.title;
    // Untagged, the name the room was given for the playlist entry of the media.
    const QString url = m_links.mediaPlayer.url();
    if (const int row = m_links.playlist.rowOfPath(url); row >= 0)
        return m_links.playlist.name(row);
    const QString file = QUrl::fromUserInput(url).fileName();
    return file.isEmpty() ? url : file;
}

QVariantMap Mpris::metadata() const
{
    const QString url = m_links.mediaPlayer.url();
    if (url.isEmpty())
        return {};
    QVariantMap map {
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId()))},
        {QStringLiteral("xesam:title"), title()},
        {QStringLiteral("xesam:url"), QUrl::fromUserInput(url).toString(QUrl::FullyEncoded)},
    };
    if (!m_tags.artist.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList {m_tags.artist});
    if (!m_tags.album.isEmpty())
        map.insert(QStringLiteral("xesam:album"), m_tags.album);
    if (!m_artUrl.isEmpty())
        map.insert(QStringLiteral("mpris:artUrl"), m_artUrl);
    if (length() > 0)
        map.insert(QStringLiteral("mpris:length"), length());
    return map;
}

qint64 Mpris::length() const
{
    const MediaPlayer::Duration duration = m_links.mediaPlayer.duration();
    return duration ? std::chrono::microseconds(*duration).count() : -1;
}

double Mpris::volume() const
{
    return m_links.mediaPlayer.volume() / 100.0;
}

void Mpris::setVolume(double volume)
{
    // Above 1.0 would be louder than recorded, which the player does not do.
    const int percent = int(std::lround(std::clamp(std::isnan(volume) ? 0.0 : volume, 0.0, 1.0) * 100));
    if (m_links.setVolume)
        m_links.setVolume(percent);
    else
        m_links.mediaPlayer.setVolume(percent);
    m_announce.start();
}

void Mpris::volumeChanged()
{
    m_announce.start();
}

qint64 Mpris::position() const
{
    return m_links.mediaPlayer.position() * 1000;
}

bool Mpris::canGoNext() const
{
    return m_links.playlist.count() > 0;
}

bool Mpris::canGoPrevious() const
{
    return m_links.playlist.selectedRow() > 0;
}

bool Mpris::canPlay() const
{
    return !m_links.mediaPlayer.url().isEmpty() || m_links.playlist.count() > 0;
}

bool Mpris::canPause() const
{
    return !m_links.mediaPlayer.url().isEmpty();
}

bool Mpris::canSeek() const
{
    // A stream has no length, and a song stopped no place to move to.
    return length() > 0 && playbackStatus() != kStopped;
}

bool Mpris::shuffle() const
{
    return m_links.autoRandom.value();
}

void Mpris::setShuffle(bool on)
{
    if (on != shuffle())
        m_links.command(on ? QStringLiteral("ar") : QStringLiteral("xar"));
}

qint64 Mpris::seek(qint64 offset)
{
    if (!canSeek())
        return -1;
    const qint64 target = std::max<qint64>(0, position() + offset);
    // Past the end is the next song, as the desktop's rules have it.
    if (target >= length()) {
        next();
        return -1;
    }
    m_links.mediaPlayer.setPosition(target / 1000);
    return target;
}

qint64 Mpris::setPosition(const QString& track, qint64 position)
{
    // A request meant for a song that has since ended is not for this one.
    if (!canSeek() || track != trackId() || position < 0 || position > length())
        return -1;
    m_links.mediaPlayer.setPosition(position / 1000);
    return position;
}

bool Mpris::openUri(const QString& uri)
{
    const QUrl url(uri);
    const QString scheme = url.scheme().toLower();
    QString location;
    if (scheme == u"file" && url.isLocalFile())
        location = url.toLocalFile();
    else if (scheme == u"http" || scheme == u"https")
        location = uri;
    return !location.isEmpty() && m_links.open && m_links.open(location);
}

void Mpris::play()
{
    if (playbackStatus() == kPlaying)
        return;
    if (!m_links.mediaPlayer.url().isEmpty())
        m_links.command(QStringLiteral("unpause"));
    else if (m_links.playlist.selectedRow() >= 0)
        m_links.playSelected();
    else if (canGoNext())
        // Nothing selected: next starts the first entry.
        m_links.command(QStringLiteral("next"));
}

void Mpris::pause()
{
    if (playbackStatus() == kPlaying)
        m_links.command(QStringLiteral("pause"));
}

void Mpris::playPause()
{
    if (playbackStatus() == kPlaying)
        pause();
    else
        play();
}

void Mpris::stop()
{
    if (playbackStatus() != kStopped)
        m_links.command(QStringLiteral("stop"));
}

void Mpris::next()
{
    if (canGoNext())
        m_links.command(QStringLiteral("next"));
}

void Mpris::previous()
{
    if (canGoPrevious())
        m_links.command(QStringLiteral("prev"));
}

QVariantMap Mpris::announced() const
{
    return {
        {QStringLiteral("PlaybackStatus"), playbackStatus()},
        {QStringLiteral("Metadata"), metadata()},
        {QStringLiteral("Volume"), volume()},
        {QStringLiteral("CanGoNext"), canGoNext()},
        {QStringLiteral("CanGoPrevious"), canGoPrevious()},
        {QStringLiteral("CanPlay"), canPlay()},
        {QStringLiteral("CanPause"), canPause()},
        {QStringLiteral("CanSeek"), canSeek()},
        {QStringLiteral("Shuffle"), shuffle()},
    };
}

void Mpris::announceChanges()
{
    QVariantMap now = announced();
    // A song that is still opening has no length yet: its tags are told
    // once, with the length, when it plays.
    if (m_links.mediaPlayer.playState() == MediaPlayer::Transitioning)
        now.insert(QStringLiteral("Metadata"), m_announced.value(QStringLiteral("Metadata")));
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it) {
        if (m_announced.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    }
    m_announced = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

#include "Mpris.moc"
