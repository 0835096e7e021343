#include "formats/FileText.h"
#include "support/FuzzTargets.h"

// File text decoding and encoding. Any bytes decode; no byte at the end of a file is lost (a line
// end added to the file adds just a line end to its text); and the text decoded, written and read
// again is the same text, so a file saved by the program opens with the lines it was saved with.
QString FuzzFileText(FuzzInput &input)
{
    const QByteArray bytes = input.rest();
    const QString text = DecodeFileText(bytes);
    const auto shown = [](const QByteArray &b) { return QString::fromLatin1(b.toHex(' ')); };
    if (DecodeFileText(bytes + "\r\n") != text + QStringLiteral("\r\n"))
        return QStringLiteral("the end of %1 reads differently once a line end follows it").arg(shown(bytes));
    const QByteArray written = EncodeFile(text);
    const QString again = DecodeFileText(written);
    if (again != text)
        return QStringLiteral("the text of %1 reads back from %2 as %3")
            .arg(shown(bytes), shown(written), again);
    return {};
}
