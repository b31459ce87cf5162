#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
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

// Reads a fuzz input front to back: control bytes first, then text.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : m_bytes(reinterpret_cast<const char*>(data), qsizetype(size))
    { }

    bool atEnd() const { return m_bytes.isEmpty(); }
    // The next byte, or 0 once the input is used up.
    std::uint8_t byte()
    {
        if (m_bytes.isEmpty())
            return 0;
        const auto b = static_cast<std::uint8_t>(m_bytes.front());
        m_bytes = m_bytes.sliced(1);
        return b;
    }
    // The bytes up to the separator (which is dropped), or the rest.
    QByteArray until(char separator)
    {
        const qsizetype at = m_bytes.indexOf(separator);
        const QByteArrayView part = at < 0 ? m_bytes : m_bytes.first(at);
        m_bytes = at < 0 ? QByteArrayView() : m_bytes.sliced(at + 1);
        return part.toByteArray();
    }
    QByteArray rest()
    {
        const QByteArray all = m_bytes.toByteArray();
        m_bytes = QByteArrayView();
        return all;
    }

private:
    QByteArrayView m_bytes;
};
