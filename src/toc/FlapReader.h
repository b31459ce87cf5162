// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// One FLAP frame as it came off the wire.
struct FlapFrame {
    char marker = 0;
    quint8 type = 0;
    quint16 sequence = 0;
    QByteArray payload;
};

// Cuts a byte stream into FLAP frames, however the stream was split into
// reads. Received bytes are appended to one buffer and frames are taken from
// a read offset, so each byte is copied a bounded number of times whatever
// the number of frames waiting; the consumed front is dropped once it makes
// up half of the buffer.
class FlapReader {
public:
    static constexpr qsizetype kHeaderSize = 6;
    static constexpr char kMarker = '*';

    void append(QByteArrayView bytes);
    // The next whole frame, or nothing while fewer bytes than it needs wait.
    std::optional<FlapFrame> next();
    // Whether a whole frame waits.
    bool hasFrame() const;
    void clear();
    // Whether the waiting bytes can still be the start of a frame: nothing
    // waits, or the first byte is the marker. Known from the first byte on,
    // not only once a whole frame is there.
    bool inStep() const { return pending() == 0 || m_buffer.at(m_offset) == kMarker; }
    // Bytes received and not yet taken as a frame.
    qsizetype pending() const { return m_buffer.size() - m_offset; }

private:
    void compact();

    QByteArray m_buffer;
    qsizetype m_offset = 0;
};
