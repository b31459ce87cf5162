#pragma once

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The entry points libFuzzer calls; the plain runner calls them too.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

// A property every input must keep. Checked in every build type, and an
// abort is what libFuzzer and the test runner both take for a failure.
inline void fuzzCheck(bool holds, const char* what)
{
    if (holds)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    fuzzCheck(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
              "the file is written whole");
}

// Reads a fuzz input front to back: control bytes first, then text.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_bytes(reinterpret_cast<const char*>(data), qsizetype(size))
    { }

    bool atEnd() const { return m_bytes.isEmpty(); }
    // The next byte, or 0 once the input is used up.
    std::uint8_t byte() { return atEnd() ? 0 : std::uint8_t(take(1)[0]); }
    // The bytes up to the separator (which is dropped), or the rest.
    QByteArray until(char separator)
    {
        const qsizetype at = m_bytes.indexOf(separator);
        const QByteArray part = take(at < 0 ? m_bytes.size() : at);
        take(at < 0 ? 0 : 1);
        return part;
    }
    QByteArray rest() { return take(m_bytes.size()); }

private:
    QByteArray take(qsizetype n)
    {
        const QByteArray part = m_bytes.first(n).toByteArray();
        m_bytes = m_bytes.sliced(n);
        return part;
    }

    QByteArrayView m_bytes;
};
