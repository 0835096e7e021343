#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The bytes of the instrument that a transfer has not yet taken as a frame. A real line delivers a
// frame in pieces of any size: they wait here and are joined with the bytes that follow. Positions
// count from the first byte not yet taken, as a frame's terminator is recognised by where it lands.
class FrameBuffer {
public:
    // The longest frame is 246 bytes; beyond this much the oldest bytes are noise and go first.
    static constexpr qsizetype kBound = 4096;

    void append(QByteArrayView bytes)
    {
        m_bytes.append(bytes.data(), bytes.size());
        if (m_bytes.size() > kBound)
            m_bytes.remove(0, m_bytes.size() - kBound);
    }
    const QByteArray &bytes() const { return m_bytes; }
    qsizetype size() const { return m_bytes.size(); }
    bool isEmpty() const { return m_bytes.isEmpty(); }
    // Byte i as a number; 0 past the end.
    unsigned char at(qsizetype i) const
    {
        return i >= 0 && i < m_bytes.size() ? static_cast<unsigned char>(m_bytes.at(i)) : 0;
    }
    // Bytes 0..end, taken out; what follows them stays.
    QByteArray takeFrame(qsizetype end)
    {
        QByteArray frame = m_bytes.left(end + 1);
        m_bytes.remove(0, end + 1);
        return frame;
    }
    void clear() { m_bytes.clear(); }

private:
    QByteArray m_bytes;
};

// Byte i of a frame as a number; 0 past its end, so no damaged frame is read beyond its bytes.
inline unsigned char frameByte(const QByteArray &frame, qsizetype i)
{
    return i >= 0 && i < frame.size() ? static_cast<unsigned char>(frame.at(i)) : 0;
}
