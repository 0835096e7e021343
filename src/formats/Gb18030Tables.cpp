#include "Gb18030Tables.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

const Gb18030Tables &Gb18030Tables::instance()
{
    static const Gb18030Tables tables;
    return tables;
}

// Every two-byte sequence and every character goes to the codec at once, each followed by a line
// end, which no sequence takes in.
Gb18030Tables::Gb18030Tables()
    : m_characters(static_cast<size_t>((kLastLead - kFirstLead + 1) * kTrails)), m_codes(0x10000)
{
    QByteArray sequences;
    for (int lead = kFirstLead; lead <= kLastLead; ++lead) {
        for (int trail = kFirstTrail; trail < kFirstTrail + kTrails; ++trail) {
            const char sequence[] = {char(lead), char(trail), '\n'};
            sequences.append(sequence, 3);
        }
    }
    const QString decoded = QStringDecoder(kCodecName).decode(sequences);
    size_t index = 0;
    for (qsizetype start = 0; start < decoded.size() && index < m_characters.size(); ++index) {
        const qsizetype end = decoded.indexOf(u'\n', start);
        if (end < 0)
            break;
        if (end - start == 1 &&
            isTwoByteCharacter(reinterpret_cast<const unsigned char *>(sequences.constData() + 3 * index)))
            m_characters[index] = decoded[start].unicode();
        start = end + 1;
    }

    QString characters;
    for (char32_t c = 0x80; c <= 0xFFFF; ++c) {
        if (!QChar::isSurrogate(c)) {
            characters.append(QChar(char16_t(c)));
            characters.append(QChar(u'\n'));
        }
    }
    const QByteArray encoded = QStringEncoder(kCodecName).encode(characters);
    qsizetype start = 0;
    for (qsizetype k = 0; k < characters.size() && start < encoded.size(); k += 2) {
        const qsizetype end = encoded.indexOf('\n', start);
        if (end < 0)
            break;
        const auto *bytes = reinterpret_cast<const unsigned char *>(encoded.constData() + start);
        if (end - start == 2 && isTwoByteCharacter(bytes))
            m_codes[characters[k].unicode()] = static_cast<quint16>(bytes[0] << 8 | bytes[1]);
        start = end + 1;
    }
}
