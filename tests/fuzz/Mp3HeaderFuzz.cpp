#include "FuzzInput.h"

#include "controls/TextField.h"
#include "player/Mp3Header.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

bool isNumber(const QString& text)
{
    bool ok = false;
    text.toInt(&ok);
    return ok;
}

} // namespace

// Whatever the file holds, the labels get numbers and a channel mode, or
// stay as they were.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song.mp3"));
    {
        QFile file(path);
        fuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the song can be written");
        fuzzCheck(file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size), "written whole");
    }
    const QString before = QStringLiteral("before");
    Label bitrate, khz, mode;
    for (Label* label : {&bitrate, &khz, &mode})
        label->setCaption(before);

    ReadMp3Header(path, bitrate, khz, mode);

    fuzzCheck(bitrate.caption() == before || isNumber(bitrate.caption()), "a bit rate is a number");
    fuzzCheck(khz.caption() == before || isNumber(khz.caption()), "a frequency is a number");
    fuzzCheck(mode.caption() == before || mode.caption() == u"mono" || mode.caption() == u"stereo"
                  || mode.caption() == u"joint stereo" || mode.caption() == u"dual channel",
              "a channel mode is named");
    return 0;
}
