#include "MeasurementXlsx.h"

#include "FileText.h"
#include "core/MeasurementTableModel.h"
#include "core/NumericText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <map>

namespace {

// A double holds 15 significant decimal digits exactly.
constexpr int kMaxSignificantDigits = 15;
// The widest column a spreadsheet allows, in its column units.
constexpr double kMaxColumnWidth = 255;
// Room beside the widest text of a column, so that it does not touch the grid.
constexpr double kColumnMargin = 1;
constexpr lxw_row_t kHeaderRow = 0;

// Captions of the columns that hold measured quantities: heights, distances and coordinates, of the
// station and of the measured point. Angles, numbers and names are text.
const QSet<QString> &numberCaptions()
{
    static const QSet<QString> captions = {
        QStringLiteral("仪高"),    QStringLiteral("仪器高"),  QStringLiteral("棱镜高"),
        QStringLiteral("目标高"),  QStringLiteral("斜距"),    QStringLiteral("平距"),
        QStringLiteral("高差"),    QStringLiteral("测站--N"), QStringLiteral("测站--E"),
        QStringLiteral("测站--Z"), QStringLiteral("坐标--N"), QStringLiteral("坐标--E"),
        QStringLiteral("坐标--Z")};
    return captions;
}

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

QString withReason(const QString &what, const QString &reason)
{
    return reason.isEmpty() ? what : what + QStringLiteral("：") + reason;
}

// The workbook under construction: libxlsxwriter keeps every cell until it is closed, which writes
// the file; it is closed (and its memory freed) whatever happens.
class Workbook {
public:
    Workbook(const QByteArray &fileName, const QByteArray &scratchFolder) : m_scratchFolder(scratchFolder)
    {
        lxw_workbook_options options{};
        options.tmpdir = m_scratchFolder.isEmpty() ? nullptr : m_scratchFolder.data();
        m_book = workbook_new_opt(fileName.constData(), &options);
        m_sheet = m_book ? workbook_add_worksheet(m_book, nullptr) : nullptr;
        if (m_sheet) {
            m_header = workbook_add_format(m_book);
            format_set_bold(m_header);
        } else {
            m_error = LXW_ERROR_MEMORY_MALLOC_FAILED;
        }
    }
    ~Workbook() { close(); }
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    void text(lxw_row_t row, lxw_col_t column, const QString &text, bool header = false)
    {
        if (m_error == LXW_NO_ERROR)
            m_error = worksheet_write_string(m_sheet, row, column, text.toUtf8().constData(),
                                             header ? m_header : nullptr);
    }

    void number(lxw_row_t row, lxw_col_t column, const MeasurementXlsx::ShownNumber &number)
    {
        if (m_error == LXW_NO_ERROR)
            m_error =
                worksheet_write_number(m_sheet, row, column, number.value, numberFormat(number.decimals));
    }

    void width(lxw_col_t column, double width)
    {
        if (m_error == LXW_NO_ERROR)
            m_error = worksheet_set_column(m_sheet, column, column, width, nullptr);
    }

    void freezeHeader()
    {
        if (m_sheet)
            worksheet_freeze_panes(m_sheet, kHeaderRow + 1, 0);
    }

    // Writes the file; the first error met on the way, or the file's.
    lxw_error close()
    {
        if (m_book) {
            const lxw_error closed = workbook_close(m_book);
            m_book = nullptr;
            if (m_error == LXW_NO_ERROR)
                m_error = closed;
        }
        return m_error;
    }

private:
    lxw_format *numberFormat(int decimals)
    {
        lxw_format *&format = m_numberFormats[decimals];
        if (!format) {
            format = workbook_add_format(m_book);
            const QByteArray pattern = decimals > 0 ? "0." + QByteArray(decimals, '0') : QByteArray("0");
            format_set_num_format(format, pattern.constData());
        }
        return format;
    }

    QByteArray m_scratchFolder;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_header = nullptr;
    std::map<int, lxw_format *> m_numberFormats;
    lxw_error m_error = LXW_NO_ERROR;
};

} // namespace

namespace MeasurementXlsx {

bool holdsNumbers(const QString &caption)
{
    return numberCaptions().contains(caption);
}

std::optional<ShownNumber> shownNumber(QStringView text)
{
    // Only the form a number cell shows itself in: an optional minus, the whole part without leading
    // zeros, and a point only with decimals after it. "0012", "+1", ".5" and "12." would be shown
    // otherwise, and so would "-0.000", as nought has no sign.
    const QStringView number = text.trimmed();
    const QStringView digits = number.startsWith(u'-') ? number.mid(1) : number;
    const qsizetype point = digits.indexOf(u'.');
    const qsizetype whole = point < 0 ? digits.size() : point;
    if (DecimalNumberLength(number) != number.size() || digits.startsWith(u'+') || whole == 0 ||
        (whole > 1 && digits.front() == u'0') || point == digits.size() - 1)
        return std::nullopt;
    ShownNumber shown;
    shown.decimals = point < 0 ? 0 : static_cast<int>(digits.size() - point - 1);
    int significant = 0;
    for (const QChar c : digits) {
        if (c != u'.' && (significant > 0 || c != u'0'))
            ++significant;
    }
    if (significant > kMaxSignificantDigits || (significant == 0 && number.startsWith(u'-')))
        return std::nullopt;
    shown.value = NumericValue(number);
    return shown;
}

int textWidth(QStringView text)
{
    int width = 0;
    for (const char32_t c : text.toUcs4())
        width += isWide(c) ? 2 : 1;
    return width;
}

bool write(const QString &path, const MeasurementTableModel &list, const std::vector<int> &columns,
           QString *error)
{
    auto fail = [&](const QString &what, const QString &reason) {
        if (error)
            *error = withReason(what, reason);
        return false;
    };
    // The workbook is whole only once libxlsxwriter has closed it without an error; until then it is
    // in a file of its own beside the target.
    QTemporaryFile scratch(path + QStringLiteral(".XXXXXX"));
    if (!scratch.open())
        return fail(QStringLiteral("文件无法创建"), scratch.errorString());
    scratch.close();

    const QStringList headers = list.headers();
    std::vector<bool> numbers;
    std::vector<int> widths;
    for (const int column : columns) {
        numbers.push_back(holdsNumbers(headers.value(column)));
        widths.push_back(textWidth(headers.value(column)));
    }

    Workbook book(QFile::encodeName(scratch.fileName()), QFile::encodeName(QDir::tempPath()));
    for (size_t c = 0; c < columns.size(); ++c)
        book.text(kHeaderRow, static_cast<lxw_col_t>(c), headers.value(columns[c]), true);
    for (int row = 1; row <= list.count(); ++row) {
        const auto sheetRow = static_cast<lxw_row_t>(kHeaderRow + row);
        for (size_t c = 0; c < columns.size(); ++c) {
            const QString cell = list.cell(row, columns[c]);
            if (cell.isEmpty())
                continue;
            const auto sheetColumn = static_cast<lxw_col_t>(c);
            const std::optional<ShownNumber> number = numbers[c] ? shownNumber(cell) : std::nullopt;
            if (number) {
                book.number(sheetRow, sheetColumn, *number);
                widths[c] = std::max(widths[c], textWidth(QStringView(cell).trimmed()));
            } else {
                book.text(sheetRow, sheetColumn, cell);
                widths[c] = std::max(widths[c], textWidth(cell));
            }
        }
    }
    for (size_t c = 0; c < columns.size(); ++c)
        book.width(static_cast<lxw_col_t>(c), std::min(kMaxColumnWidth, widths[c] + kColumnMargin));
    book.freezeHeader();
    const lxw_error closed = book.close();
    if (closed != LXW_NO_ERROR)
        return fail(QStringLiteral("文件无法写入"), QString::fromUtf8(lxw_strerror(closed)));

    // Put in place as every other file of the program: the old file stays until the new one is whole,
    // and a file replaced keeps its permissions.
    QByteArray bytes;
    return ReadFileBytes(scratch.fileName(), &bytes, error) && WriteFileAtomically(path, bytes, error);
}

} // namespace MeasurementXlsx
