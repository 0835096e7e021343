// The table of coordinate file formats: each format's extension as its entry names it, and the entry
// chosen back to its format. The dialogs' lists built from it are held against the surveyor's in
// FileCommandsTest.
#include "formats/CoordinateFormats.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>

namespace {

TEST(CoordinateFormats, EntriesNameTheirExtensionAndChosenPositionsGiveTheirFormats)
{
    // Every entry names the extension of its format.
    for (int index = 0; index < CoordinateFormats::count(); ++index) {
        const CoordinateFormat &format = CoordinateFormats::at(index);
        const QString named = QStringLiteral("(*.%1)").arg(format.extension);
        for (const QStringView label : {format.openLabel, format.saveLabel}) {
            if (!label.isEmpty()) {
                EXPECT_TRUE(label.endsWith(named)) << label.toString().toStdString();
            }
        }
    }

    // The two lists hold the same nine formats in the same order: the position chosen is the format
    // in both, the HYL NEZ format when the dialog reports a position it did not offer.
    for (int position = 1; position <= 9; ++position) {
        EXPECT_EQ(CoordinateFormats::opened(position).number, position);
        EXPECT_EQ(CoordinateFormats::saved(position).number, position);
    }
    for (const int outside : {0, 10, -1}) {
        EXPECT_EQ(CoordinateFormats::opened(outside).number, HylNez);
        EXPECT_EQ(CoordinateFormats::saved(outside).number, HylNez);
    }
    // The drawing and the text document are read back as their lines; every other as fields.
    for (int number = 1; number <= 9; ++number) {
        const bool rawLines = number == 3 || number == 8;
        EXPECT_EQ(CoordinateFormats::find(number)->reading == CoordinateFormat::AsRawLines, rawLines)
            << number;
    }
    EXPECT_EQ(CoordinateFormats::find(10), nullptr);
}

} // namespace
