#include "player/Mp3Header.h"

#include "controls/TextField.h"

#include <QFile>

#include <array>

namespace {

const char* const kBitrates[16] = {"0",   "32",  "40",  "48",  "56",  "64",  "80",  "96",
                                   "112", "128", "160", "192", "224", "256", "320", "0"};
const char* const kFrequencies[3] = {"44", "48", "32"};

} // namespace

void ReadMp3Header(const QString& path, Label& lblbitrate, Label& lblKhz, Label& lblmode)
{
    std::array<unsigned char, 4> header{};
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        for (int i = 0; i < 4; ++i) {
            // Past the end of the file a byte reads as zero; a read that
            // fails outright leaves every label alone.
            char byte = 0;
            const qint64 got = file.seek(i) ? file.read(&byte, 1) : -1;
            if (got < 0)
                return;
            header[i] = got == 1 ? static_cast<unsigned char>(byte) : 0;
        }
    }

    const int frequency = (header[2] >> 2) & 0x3;
    const int channelMode = (header[3] >> 6) & 0x3;
    const int bitrate = (header[2] >> 4) & 0xF;

    if (frequency < 3)
        lblKhz.setCaption(QLatin1String(kFrequencies[frequency]));
    lblmode.setCaption(channelMode == 3 ? QStringLiteral("mono") : QStringLiteral("stereo"));
    lblbitrate.setCaption(QLatin1String(kBitrates[bitrate]));
}
