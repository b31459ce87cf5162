#include "app/ListFile.h"

#include "chatlink/AnsiText.h"
#include "controls/ListBox.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

QString decodeListText(const QByteArray& bytes)
{
    return AnsiText::fromUtf8OrAnsi(std::string_view(bytes.constData(), std::size_t(bytes.size())));
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

void LoadOrCreateListFile(const QString& dir, const QString& fileName, ListBox& list)
{
    const QString path = dir + u'/' + fileName;
    if (!QDir(dir).entryList({fileName}, QDir::Files).contains(fileName))
        SaveListToFile(path, list);
    LoadListFromFile(path, list);
}
