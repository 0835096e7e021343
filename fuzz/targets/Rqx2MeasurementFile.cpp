#include "formats/Rqx2MeasurementFile.h"
#include "core/MeasurementTableModel.h"
#include "formats/FileText.h"
#include "rqx2/Rqx2MeasurementList.h"
#include "support/FileChecks.h"
#include "support/FuzzTargets.h"

// The RQX2 measurement file reader, then the writer on the list it filled. Byte 0: bit 0 the order
// ENZ; the rest is the file.
QString FuzzRqx2MeasurementFile(FuzzInput &input)
{
    const bool nez = (input.byte() & 1) == 0;
    const QByteArray bytes = input.rest();
    const QString text = DecodeFileText(bytes);
    const Rqx2MeasurementFile::Content content = Rqx2MeasurementFile::read(text);
    const QString broken = CheckRowsFromOwnLines(content.rows, text, QChar(0xFF0C));
    if (!broken.isEmpty())
        return broken;

    // Saved and opened again, the file gives back the same rows.
    MeasurementTableModel list;
    list.setColumns(Rqx2MeasurementList::columns(nez));
    list.append(content.rows);
    QString written = Rqx2MeasurementFile::build(QStringLiteral("文件名： F0001"), list);
    written += QStringLiteral("\r\n");
    return CompareRows(content.rows, Rqx2MeasurementFile::read(DecodeFileText(EncodeFile(written))).rows);
}
