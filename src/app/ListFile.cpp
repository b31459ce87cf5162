#include "app/ListFile.h"

#include "controls/ListBox.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b < 0xA0) ? QChar(kCp1252High[b - 0x80]) : QChar(b);
    }
    return text;
}

} // namespace

QString decodeListText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeCp1252(bytes);
}

void LoadListFromFile(const QString& SourceFile, ListBox& ToFormList)
{
    ToFormList.clear();
    QFile file(SourceFile);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = decodeListText(file.readAll());
    QStringList rows;
    for (QStringView line : QStringView(text).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.isEmpty())
            rows.append(line.toString());
    }
    ToFormList.addItems(rows);
}

bool SaveListToFile(const QString& path, const ListBox& list)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes;
    for (const QString& row : list.items()) {
        bytes += row.toUtf8();
        bytes += "\r\n";
    }
    file.write(bytes);
    return file.commit();
}

bool directoryListsFile(const QString& dir, const QString& fileName)
{
    return QDir(dir).entryList({fileName}, QDir::Files).contains(fileName);
}
