// SPDX-License-Identifier: GPL-3.0-or-later
#include "toc/FlapReader.h"

#include "toc/TocWire.h"

void FlapReader::append(QByteArrayView bytes)
{
    compact();
    m_buffer.append(bytes);
}

bool FlapReader::hasFrame() const
{
    return pending() >= kHeaderSize
        && pending() >= kHeaderSize + decodeWord(QByteArrayView(m_buffer).sliced(m_offset + 4, 2));
}

std::optional<FlapFrame> FlapReader::next()
{
    if (!hasFrame())
        return std::nullopt;
    const QByteArrayView head = QByteArrayView(m_buffer).sliced(m_offset, kHeaderSize);
    const qsizetype length = decodeWord(head.sliced(4, 2));
    FlapFrame frame;
    frame.marker = head[0];
    frame.type = static_cast<quint8>(head[1]);
    frame.sequence = decodeWord(head.sliced(2, 2));
    frame.payload = m_buffer.sliced(m_offset + kHeaderSize, length);
    m_offset += kHeaderSize + length;
    return frame;
}

void FlapReader::clear()
{
    m_buffer.clear();
    m_offset = 0;
}

void FlapReader::compact()
{
    if (m_offset == 0)
        return;
    if (m_offset == m_buffer.size()) {
        m_buffer.resize(0);  // keeps its capacity for the next reads
        m_offset = 0;
    } else if (m_offset >= m_buffer.size() / 2) {
        m_buffer.remove(0, m_offset);
        m_offset = 0;
    }
}
