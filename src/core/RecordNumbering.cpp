#include "RecordNumbering.h"

void RecordNumbering::countedBy(const Transfer &transfer, std::function<long()> count)
{
    m_counter = &transfer;
    m_count = std::move(count);
}

void RecordNumbering::begun(const Transfer &transfer)
{
    if (&transfer == m_counter)
        return;
    m_counter = nullptr;
    m_count = {};
}
