#include "core/CoordinateTableModel.h"
#include "formats/CoordinateFileFormat.h"
#include "formats/CoordinateFileReader.h"
#include "formats/CoordinateFileWriter.h"
#include "formats/FileText.h"
#include "support/FileChecks.h"
#include "support/FuzzTargets.h"

// The coordinate file reader in every format, then every writer on the table it filled. Byte 0:
// bits 0 to 3 the format (modulo 9, from 1), bit 4 the order ENZ; the rest is the file.
QString FuzzCoordinateFile(FuzzInput &input)
{
    const int choice = input.byte();
    const int format = (choice & 0x0F) % Csv + 1;
    const bool nez = (choice & 0x10) == 0;
    const QByteArray bytes = input.rest();

    const CoordinateFileContent content = ReadCoordinateFile(bytes, format, nez);
    const QString broken = CheckRowsFromOwnLines(content, DecodeFileText(bytes), format);
    if (!broken.isEmpty())
        return broken;

    CoordinateTableModel table;
    content.replaceTable(table);
    QString text = BuildCoordinateText(table, format, nez);
    BuildCoordinateText(table, CadDrawing, nez);
    BuildTableOrderText(table);
    if (content.rawLines())
        return {};

    // Saved and opened again in the same format, the file gives back the same rows.
    text += QStringLiteral("\r\n");
    const CoordinateFileContent again = ReadCoordinateFile(EncodeFileText(text), format, nez);
    if (again.count() != content.count())
        return QStringLiteral("%1 rows read, %2 after a save and open")
            .arg(content.count())
            .arg(again.count());
    for (int i = 1; i <= content.count(); ++i) {
        // The table keeps its cells apart with the unit separator and shows one inside a cell as a
        // space, so that the cells after it keep their place.
        CoordinatePoint read = content.row(i);
        for (QString *cell : {&read.number, &read.name, &read.first, &read.second, &read.height})
            cell->replace(QChar(0x1F), u' ');
        if (!(again.row(i) == read))
            return QStringLiteral("row %1 changed in a save and open: %2 became %3")
                .arg(i)
                .arg(RowText(read), RowText(again.row(i)));
    }
    return {};
}
