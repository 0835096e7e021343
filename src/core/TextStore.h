#pragma once

#include <QString>
#include <vector>

// Per-record texts indexed by record number. The store grows with the index instead of having a
// fixed number of records, so a long transfer is never cut off; a position never written reads empty.
class TextStore {
public:
    void clear() { m_texts.clear(); }
    const QString &at(long index) const
    {
        static const QString empty;
        return index >= 0 && static_cast<size_t>(index) < m_texts.size() ? m_texts[static_cast<size_t>(index)]
                                                                         : empty;
    }
    void set(long index, const QString &text) { slot(index) = text; }
    void append(long index, const QString &text) { slot(index) += text; }

private:
    QString &slot(long index)
    {
        if (index < 0)
            index = 0;
        if (static_cast<size_t>(index) >= m_texts.size())
            m_texts.resize(static_cast<size_t>(index) + 1);
        return m_texts[static_cast<size_t>(index)];
    }
    std::vector<QString> m_texts;
};
