// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/Mp3Header.h"

#include "controls/Values.h"

#include <QFile>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/mpegfile.h>
#include <taglib/mpegheader.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <cmath>

namespace {

// A file read only for its facts. TagLib looks for the first MPEG frame
// in small steps, so a damaged or mislabelled .mp3 (a run of zeros, a
// video) would be read to its end before the song is announced; and a
// damaged tag header can ask for hundreds of megabytes at once. Small reads
// and large ones (a tag's body with its cover art) each draw on a budget
// that ends such a read long before a song's end.
class FactsStream : public TagLib::IOStream {
public:
    explicit FactsStream(const QByteArray& name) : m_file(name.constData(), true) { }

    TagLib::FileName name() const override { return m_file.name(); }
    TagLib::ByteVector readBlock(unsigned long length) override
    {
        unsigned long& budget = length > kSmallRead ? m_largeBudget : m_smallBudget;
        const unsigned long allowed = std::min(length, budget);
        TagLib::ByteVector block = allowed > 0 ? m_file.readBlock(allowed) : TagLib::ByteVector();
        budget -= block.size();
        return block;
    }
    void writeBlock(const TagLib::ByteVector&) override { }
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override { }
    void removeBlock(unsigned long, unsigned long) override { }
    bool readOnly() const override { return true; }
    bool isOpen() const override { return m_file.isOpen(); }
    void seek(long offset, Position p) override { m_file.seek(offset, p); }
    void clear() override { m_file.clear(); }
    long tell() const override { return m_file.tell(); }
    long length() override { return m_file.length(); }
    void truncate(long) override { }

private:
    static constexpr unsigned long kSmallRead = 4096;
    TagLib::FileStream m_file;
    unsigned long m_smallBudget = 256 * 1024;
    unsigned long m_largeBudget = 32 * 1024 * 1024;
};

// A tag is part of one chat line: line breaks and runs of blanks in it
// would break the line, so they become single blanks.
QString tagText(const TagLib::PropertyMap& tags, const char* key)
{
    const auto values = tags.find(key);
    if (values == tags.end())
        return {};
    return QString::fromUtf8(values->second.toString(" / ").toCString(true)).simplified();
}

// The bit rate of an MP3 file: its first frame header's when every frame
// has the same rate, the average otherwise. A Xing or VBRI header marks a
// variable rate and holds the average, which the tag library has taken;
// lame's "Info" header marks a constant one, and the tag library's
// average would count the tags and the header frame in. Without either
// header the frames are walked to see whether their rates vary. Unset when
// no frame is found.
std::optional<int> mpegBitrate(TagLib::MPEG::File& mpeg)
{
    const long first = mpeg.firstFrameOffset();
    if (first < 0)
        return std::nullopt;
    const TagLib::MPEG::Header header(&mpeg, first, false);
    if (!header.isValid() || header.bitrate() <= 0 || header.samplesPerFrame() <= 0 || header.sampleRate() <= 0)
        return std::nullopt;
    // Either header sits right after the side information, within the
    // first 40 bytes of the frame.
    mpeg.seek(first);
    const TagLib::ByteVector start = mpeg.readBlock(40);
    if (start.find("Xing") >= 0 || start.find("VBRI") >= 0)
        return std::nullopt;
    if (start.find("Info") >= 0)
        return header.bitrate();

    constexpr int kWalkedFrames = 20000;  // some nine minutes of 44.1 kHz
    long offset = first;
    double bytes = 0;
    int frames = 0;
    bool varies = false;
    for (; frames < kWalkedFrames; ++frames) {
        const TagLib::MPEG::Header frame(&mpeg, offset, false);
        if (!frame.isValid() || frame.frameLength() <= 0 || frame.sampleRate() != header.sampleRate()
            || frame.samplesPerFrame() != header.samplesPerFrame())
            break;
        varies = varies || frame.bitrate() != header.bitrate();
        bytes += frame.frameLength();
        offset += frame.frameLength();
    }
    if (!varies || frames == 0)
        return header.bitrate();
    const double seconds = double(frames) * header.samplesPerFrame() / header.sampleRate();
    return int(std::lround(bytes * 8 / seconds / 1000));
}

}  // namespace

SongFacts readSongFacts(const QString& path)
{
    FactsStream stream(QFile::encodeName(path));
    if (!stream.isOpen())
        return {};
    // The fast style reads headers and tags only: a VBR file's average
    // comes from its Xing or VBRI header.
    const TagLib::FileRef file(&stream, true, TagLib::AudioProperties::Fast);
    const TagLib::AudioProperties* audio = file.isNull() ? nullptr : file.audioProperties();
    if (!audio || audio->sampleRate() <= 0 || audio->channels() <= 0)
        return {};

    SongFacts facts;
    int kbps = std::max(audio->bitrate(), 0);
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file.file()))
        kbps = mpegBitrate(*mpeg).value_or(kbps);
    facts.audio = AudioFacts {kbps, audio->sampleRate() / 1000, audio->channels() == 1};
    // The file's own view of its tags, not tag(): a WAV file's tag() is
    // only its ID3v2 tag, never the INFO list most WAV files carry.
    const TagLib::PropertyMap tags = file.file()->properties();
    facts.tags = {tagText(tags, "ARTIST"), tagText(tags, "TITLE"), tagText(tags, "ALBUM")};
    return facts;
}

void showAudioFacts(const AudioFacts& facts, TextValue& bitRate, TextValue& frequency, TextValue& mode)
{
    frequency.setText(QString::number(facts.khz));
    mode.setText(facts.mono ? QStringLiteral("mono") : QStringLiteral("stereo"));
    bitRate.setText(QString::number(facts.kbps));
}

SongTags readMp3Header(const QString& path, TextValue& bitRate, TextValue& frequency, TextValue& mode)
{
    const SongFacts facts = readSongFacts(path);
    if (facts.audio)
        showAudioFacts(*facts.audio, bitRate, frequency, mode);
    return facts.tags;
}

SongTags readSongTags(const QString& path)
{
    return readSongFacts(path).tags;
}
