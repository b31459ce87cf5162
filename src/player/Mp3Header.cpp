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
// byte by byte, so a damaged or mislabelled .mp3 (a run of zeros, a video)
// would be read to its end before the song is announced. Small reads draw
// on a budget that ends that search; a single large read is a tag's body
// (cover art), which is read whole, and is not charged.
class FactsStream : public TagLib::IOStream {
public:
    explicit FactsStream(const QByteArray& name) : m_file(name.constData(), true) {}

    TagLib::FileName name() const override { return m_file.name(); }
    TagLib::ByteVector readBlock(unsigned long length) override
    {
        if (length > kUncharged)
            return m_file.readBlock(length);
        if (m_budget == 0)
            return {};
        TagLib::ByteVector block = m_file.readBlock(std::min(length, m_budget));
        m_budget -= std::min<unsigned long>(block.size(), m_budget);
        return block;
    }
    void writeBlock(const TagLib::ByteVector&) override {}
    void insert(const TagLib::ByteVector&, unsigned long, unsigned long) override {}
    void removeBlock(unsigned long, unsigned long) override {}
    bool readOnly() const override { return true; }
    bool isOpen() const override { return m_file.isOpen(); }
    void seek(long offset, Position p) override { m_file.seek(offset, p); }
    void clear() override { m_file.clear(); }
    long tell() const override { return m_file.tell(); }
    long length() override { return m_file.length(); }
    void truncate(long) override {}

private:
    static constexpr unsigned long kUncharged = 64 * 1024;
    TagLib::FileStream m_file;
    unsigned long m_budget = 1024 * 1024;
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

} // namespace

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
