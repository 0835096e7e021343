#include "Rqx5Decode.h"

#include "core/FrameBuffer.h"
#include "core/InstrumentCode.h"

namespace Rqx5Decode {

QString characters(const QByteArray &frame, int first, int last)
{
    QString text;
    text.reserve(last - first + 1);
    for (int k = first; k <= last; ++k)
        text += CodeToCharacter(frameByte(frame, k + 1));
    return text;
}

QString withoutSpaces(const QByteArray &frame, int first, int last)
{
    QString text;
    for (int k = first; k <= last; ++k) {
        const QString character = CodeToCharacter(frameByte(frame, k + 1));
        if (character != QLatin1String(" "))
            text += character;
    }
    return text;
}

} // namespace Rqx5Decode
