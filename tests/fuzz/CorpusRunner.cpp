// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fuzz.h"

// Without libFuzzer a target runs every file of the folders or files it is
// given once, so the normal build keeps it compiling and its seeds passing.
int main(int argc, char** argv)
{
    LLVMFuzzerInitialize(&argc, &argv);
    int runs = 0;
    for (const QString& given : QCoreApplication::arguments().mid(1)) {
        const QFileInfo info(given);
        for (const QFileInfo& seed :
             info.isDir() ? QDir(given).entryInfoList(QDir::Files, QDir::Name) : QFileInfoList {info}) {
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
