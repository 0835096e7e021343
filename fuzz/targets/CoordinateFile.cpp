#include "core/CoordinateTableModel.h"
#include "formats/CoordinateFileReader.h"
#include "formats/CoordinateFileWriter.h"
#include "formats/CoordinateFormats.h"
#include "formats/FileText.h"
#include "support/FileChecks.h"
#include "support/FuzzTargets.h"

#include <QBuffer>
#include <functional>

// The coordinate file reader in every format, then every writer on the table it filled. Byte 0:
// bits 0 to 3 the format (modulo the number of formats, from 1), bit 4 the order ENZ; the rest is the file.
QString FuzzCoordinateFile(FuzzInput &input)
{
    const int choice = input.byte();
    const int format = (choice & 0x0F) % CoordinateFormats::count() + 1;
    const bool nez = (choice & 0x10) == 0;
    const QByteArray bytes = input.rest();

    const CoordinateFileContent content = ReadCoordinateFile(bytes, format, nez);
    const QString broken = CheckRowsFromOwnLines(content, DecodeFileText(bytes), format);
    if (!broken.isEmpty())
        return broken;

    CoordinateTableModel table;
    content.replaceTable(table);
    // Every save the program makes of the table, as it writes the file.
    const auto saved = [&table](const std::function<bool(const CoordinateTableModel &, QIODevice &)> &write) {
        QBuffer file;
        file.open(QIODevice::WriteOnly);
        write(table, file);
        return file.data();
    };
    saved([nez](const CoordinateTableModel &t, QIODevice &d) {
        return WriteCoordinateFile(t, CadDrawing, nez, d);
    });
    saved(WriteTableOrderFile);

    // Saved and opened again in the same format, the file gives back the same rows or lines.
    const QByteArray file = content.rawLines()
                                ? saved(WriteRawLinesFile)
                                : saved([format, nez](const CoordinateTableModel &t, QIODevice &d) {
                                      return WriteCoordinateFile(t, format, nez, d);
                                  });
    const CoordinateFileContent again = ReadCoordinateFile(file, format, nez);
    if (again.count() != content.count())
        return QStringLiteral("%1 rows read, %2 after a save and open")
            .arg(content.count())
            .arg(again.count());
    for (int i = 1; i <= content.count(); ++i) {
        const QString read = content.rawLines() ? content.line(i) : RowText(content.row(i));
        const QString back = content.rawLines() ? again.line(i) : RowText(again.row(i));
        if (back != read)
            return QStringLiteral("row %1 changed in a save and open: %2 became %3").arg(i).arg(read, back);
    }
    return {};
}
