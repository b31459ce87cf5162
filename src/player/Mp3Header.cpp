#include "player/Mp3Header.h"

#include "controls/TextField.h"

#include <QFile>

#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>

#include <algorithm>

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

}  // namespace

SongTags ReadMp3Header(const QString& path, Label& lblbitrate, Label& lblKhz, Label& lblmode)
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

    lblKhz.setCaption(QString::number(audio->sampleRate() / 1000));
    lblmode.setCaption(audio->channels() == 1 ? QStringLiteral("mono") : QStringLiteral("stereo"));
    lblbitrate.setCaption(QString::number(std::max(audio->bitrate(), 0)));

    // The file's own view of its tags, not tag(): a WAV file's tag() is
    // only its ID3v2 tag, never the INFO list most WAV files carry.
    const TagLib::PropertyMap tags = file.file()->properties();
    return {tagText(tags, "ARTIST"), tagText(tags, "TITLE"), tagText(tags, "ALBUM")};
}

SongTags ReadSongTags(const QString& path)
{
    Label bitrate, frequency, mode;
    return ReadMp3Header(path, bitrate, frequency, mode);
}
