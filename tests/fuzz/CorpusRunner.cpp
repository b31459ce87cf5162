#include "FuzzInput.h"

#include <QDir>
#include <QFile>

// Without libFuzzer a target runs every file of the folders or files it is
// given once, so the normal build keeps it compiling and its seeds passing.
int main(int argc, char** argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo given(QString::fromLocal8Bit(argv[i]));
        const QFileInfoList files
            = given.isDir() ? QDir(given.filePath()).entryInfoList(QDir::Files, QDir::Name) : QFileInfoList {given};
        for (const QFileInfo& seed : files) {
            QFile file(seed.filePath());
            fuzzCheck(file.open(QIODevice::ReadOnly), "every seed can be read");
            const QByteArray bytes = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
            ++runs;
        }
    }
    std::printf("%d inputs run\n", runs);
    // A missing or empty corpus would pass without running anything.
    return runs > 0 ? 0 : 1;
}
