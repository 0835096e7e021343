#pragma once

#include <algorithm>
#include <vector>

// A byte store indexed from 0 to an inclusive upper bound, as the protocols address their frames.
// Reallocating clears it. Writes beyond the bound are dropped and reads beyond it give 0, so no
// received chunk, however long, can reach past the storage.
class ByteBuffer {
public:
    void reallocate(int upperBound) { m_bytes.assign(static_cast<size_t>(upperBound) + 1, 0); }
    bool isAllocated() const { return !m_bytes.empty(); }
    int upperBound() const { return static_cast<int>(m_bytes.size()) - 1; }

    void set(int index, unsigned char value)
    {
        if (index >= 0 && index <= upperBound())
            m_bytes[static_cast<size_t>(index)] = value;
    }
    unsigned char at(int index) const
    {
        return index >= 0 && index <= upperBound() ? m_bytes[static_cast<size_t>(index)] : 0;
    }

    // Element k of this buffer becomes element k + 1 of source, for every k both hold.
    void copyShiftedFrom(const ByteBuffer &source)
    {
        const int last = std::min(upperBound(), source.upperBound() - 1);
        for (int k = 0; k <= last; ++k)
            m_bytes[static_cast<size_t>(k)] = source.m_bytes[static_cast<size_t>(k) + 1];
    }

private:
    std::vector<unsigned char> m_bytes;
};
