// SPDX-License-Identifier: GPL-3.0-or-later
#include "player/CoverArt.h"

#include <QFile>
#include <QFileInfo>

#include <taglib/attachedpictureframe.h>
#include <taglib/fileref.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tfilestream.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

namespace {

QByteArray bytes(const TagLib::ByteVector& data)
{
    return QByteArray(data.data(), qsizetype(data.size()));
}

QString text(const TagLib::String& s)
{
    return QString::fromStdWString(s.toWString());
}

CoverArt fromId3(TagLib::ID3v2::Tag* tag)
{
    if (!tag)
        return {};
    const TagLib::ID3v2::FrameList frames = tag->frameListMap()["APIC"];
    const TagLib::ID3v2::AttachedPictureFrame* chosen = nullptr;
    for (const TagLib::ID3v2::Frame* frame : frames) {
        const auto* picture = dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frame);
        if (picture && (!chosen || picture->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover))
            chosen = picture;
        if (chosen && chosen->type() == TagLib::ID3v2::AttachedPictureFrame::FrontCover)
            break;
    }
    return chosen ? CoverArt {bytes(chosen->picture()), text(chosen->mimeType())} : CoverArt {};
}

CoverArt fromPictures(const TagLib::List<TagLib::FLAC::Picture*>& pictures)
{
    const TagLib::FLAC::Picture* chosen = nullptr;
    for (const TagLib::FLAC::Picture* picture : pictures) {
        if (!chosen || picture->type() == TagLib::FLAC::Picture::FrontCover)
            chosen = picture;
        if (chosen->type() == TagLib::FLAC::Picture::FrontCover)
            break;
    }
    return chosen ? CoverArt {bytes(chosen->data()), text(chosen->mimeType())} : CoverArt {};
}

CoverArt fromMp4(TagLib::MP4::Tag* tag)
{
    if (!tag || !tag->contains("covr"))
        return {};
    const TagLib::MP4::CoverArtList covers = tag->item("covr").toCoverArtList();
    if (covers.isEmpty())
        return {};
    const TagLib::MP4::CoverArt& cover = covers.front();
    const char* type = cover.format() == TagLib::MP4::CoverArt::PNG ? "image/png"
        : cover.format() == TagLib::MP4::CoverArt::JPEG             ? "image/jpeg"
                                                                    : "";
    return {bytes(cover.data()), QString::fromLatin1(type)};
}

}  // namespace

CoverArt readCoverArt(const QString& path)
{
    // Only regular files: a FIFO or a device would block the reader.
    if (!QFileInfo(path).isFile())
        return {};
    TagLib::FileStream stream(QFile::encodeName(path).constData(), true);
    if (!stream.isOpen())
        return {};
    const TagLib::FileRef ref(&stream, false);
    TagLib::File* file = ref.file();
    if (!file || !file->isValid())
        return {};
    if (auto* mpeg = dynamic_cast<TagLib::MPEG::File*>(file))
        return fromId3(mpeg->ID3v2Tag());
    if (auto* flac = dynamic_cast<TagLib::FLAC::File*>(file))
        return fromPictures(flac->pictureList());
    if (auto* mp4 = dynamic_cast<TagLib::MP4::File*>(file))
        return fromMp4(mp4->tag());
    if (auto* vorbis = dynamic_cast<TagLib::Ogg::Vorbis::File*>(file))
        return vorbis->tag() ? fromPictures(vorbis->tag()->pictureList()) : CoverArt {};
    if (auto* opus = dynamic_cast<TagLib::Ogg::Opus::File*>(file))
        return opus->tag() ? fromPictures(opus->tag()->pictureList()) : CoverArt {};
    return {};
}
