#include "MillionPointFile.h"

#include "formats/FileText.h"

#include <QFile>

void WriteMillionPointFile(const QString &path, int points)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    constexpr int kPiece = 10000;
    QString text;
    for (int first = 1; first <= points; first += kPiece) {
        text.clear();
        for (int i = first; i < first + kPiece && i <= points; ++i) {
            text += QStringLiteral("%1,控制点%1,4538%2.%3,512%4.%5,%6.250\r\n")
                        .arg(i)
                        .arg(i % 1000, 3, 10, QChar(u'0'))
                        .arg(i % 997, 3, 10, QChar(u'0'))
                        .arg(i % 991, 3, 10, QChar(u'0'))
                        .arg(i % 983, 3, 10, QChar(u'0'))
                        .arg(i % 200 - 100);
        }
        out.write(EncodeFileText(text));
    }
    out.write("\r\n");
}
