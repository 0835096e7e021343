#include "formats/Rqx5MeasurementFile.h"
#include "core/MeasurementTableModel.h"
#include "formats/FileText.h"
#include "rqx5/Rqx5MeasurementColumns.h"
#include "support/FileChecks.h"
#include "support/FuzzTargets.h"

// The RQX5 data file (.raw) and measurement file (.txt) readers, then the writer on the list they
// filled. Byte 0: bit 0 a data file, bit 1 the order ENZ; the rest is the file.
QString FuzzRqx5MeasurementFile(FuzzInput &input)
{
    const int choice = input.byte();
    const bool dataFile = choice & 1;
    const bool nez = (choice & 2) == 0;
    // A data line has 20 fields and a data file's trailer line up to one separator; a measurement
    // line 9 and a trailer line none.
    const int fields =
        dataFile ? Rqx5MeasurementColumns::kDataFileSubitems : Rqx5MeasurementColumns::kMeasurementSubitems;
    const int trailerSeparators = dataFile ? 1 : 0;
    const QByteArray bytes = input.rest();

    const Rqx5MeasurementFileContent content = ReadRqx5MeasurementFile(bytes, fields, trailerSeparators);
    QString broken = CheckRowsFromOwnLines(content.rows, DecodeFileText(bytes), kRqx5FieldSeparator);
    if (!broken.isEmpty())
        return broken;

    // Saved and opened again, the file gives back the same rows, date and instrument number.
    MeasurementTableModel list;
    if (dataFile)
        SetRqx5DataFileColumns(list, nez);
    else
        SetRqx5MeasurementColumns(list, nez);
    list.append(content.rows);
    QString written = BuildRqx5MeasurementText(list, fields, content.date, content.instrumentNumber);
    written += QStringLiteral("\r\n");
    const Rqx5MeasurementFileContent again =
        ReadRqx5MeasurementFile(EncodeFile(written), fields, trailerSeparators);
    broken = CompareRows(content.rows, again.rows);
    if (broken.isEmpty() &&
        (again.date != content.date || again.instrumentNumber != content.instrumentNumber))
        broken = QStringLiteral("date %1 and instrument number %2 became %3 and %4 in a save and open")
                     .arg(content.date, content.instrumentNumber, again.date, again.instrumentNumber);
    return broken;
}
