#include "FuzzInput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

// Without libFuzzer a target runs every file of the folders or files it is
// given once, so the normal build keeps it compiling and its seeds passing.
int main(int argc, char** argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo given(QString::fromLocal8Bit(argv[i]));
        QStringList files;
        if (given.isDir()) {
            for (const QString& name : QDir(given.filePath()).entryList(QDir::Files, QDir::Name))
                files.append(given.filePath() + u'/' + name);
        } else {
            files.append(given.filePath());
        }
        for (const QString& path : files) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
                return 1;
            }
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
            ++runs;
        }
    }
    std::printf("%d inputs run\n", runs);
    // A missing or empty corpus would pass without running anything.
    return runs > 0 ? 0 : 1;
}
