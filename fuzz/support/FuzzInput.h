#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// A fuzzer's bytes read front to back as choices and data. Past the end every choice is 0 and every
// piece is empty, so any input, however short, is a complete run.
class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }
    uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    // The next count bytes, fewer at the end.
    QByteArray bytes(size_t count)
    {
        const size_t taken = count < m_size - m_pos ? count : m_size - m_pos;
        const QByteArray piece(reinterpret_cast<const char *>(m_data + m_pos), static_cast<qsizetype>(taken));
        m_pos += taken;
        return piece;
    }
    QByteArray rest() { return bytes(m_size - m_pos); }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
};
