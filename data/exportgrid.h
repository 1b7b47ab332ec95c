// Grid export: what a result grid shows (columns, titles, footers, fonts, colours) and the
// writers of its five file formats: tab-separated text, ";"-separated values, HTML, Rich Text
// and a workbook of spreadsheet cell records. The writers know no widgets and no table
// engine: a grid describes itself as an ExportGrid and hands its rows over as an
// ExportRowSource. Tests: tests/export/.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/dataerror.h"
#include "data/datastrings.h"

namespace kv::data {

// A failed export; the message is the user-visible text.
class ExportError : public DataError {
  public:
    using DataError::DataError;
};

// A colour resolved to red, green and blue at the time of export.
struct ExportColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const ExportColor&, const ExportColor&) = default;
};

struct ExportFont {
    std::string name;
    int sizePoints = 8;
    ExportColor color;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

enum class ExportAlignment { Left, Right, Center };

struct ExportColumn {
    std::string field;  // empty: the column shows no field
    int widthPixels = 64;
    ExportAlignment alignment = ExportAlignment::Left;
    ExportColor color;  // background of data cells
    ExportFont font;
    std::string caption;
    ExportAlignment titleAlignment = ExportAlignment::Left;
    ExportColor titleColor;
    ExportFont titleFont;
    // Integer cells drawn as bars proportional to the column's largest value (HTML), so the
    // shape of a theme shows at a glance.
    bool bars = false;
};

// The colour of those bars, in the grid and in the HTML export.
inline constexpr ExportColor kExportBarColor{0xB4, 0xCD, 0xEB};

// One cell of a footer row; its background is the grid's footer colour.
struct ExportFooterCell {
    std::string text;
    ExportAlignment alignment = ExportAlignment::Left;
    ExportFont font;
};

struct ExportGrid {
    std::string name;                   // the grid's component name, the HTML page title
    std::vector<ExportColumn> columns;  // the visible columns in their shown order
    // Footer rows, each with one cell per visible column.
    std::vector<std::vector<ExportFooterCell>> footerRows;
    ExportColor footerColor;
    ExportColor fixedColor;       // fixed (title) cells, the HTML table background
    ExportColor buttonFaceColor;  // the system's button face, third entry of the Rich Text colours
    bool flat = true;
    bool threeDimensional = true;
    bool columnLines = true;
    bool rowLines = true;
    int pixelsPerInch = 96;  // horizontal, of the screen the widths were measured on
};

// A data cell: the field's display text and, for the workbook, what kind of value it holds.
struct ExportCell {
    enum class Kind { Null, Text, Integer, Number };
    Kind kind = Kind::Null;
    std::string text;  // display text; empty for Null
    std::int64_t integer = 0;
    double number = 0;

    static ExportCell Null() { return {}; }
    static ExportCell Text(std::string text);
    static ExportCell Integer(std::int64_t value);  // display text in decimal
    static ExportCell Number(double value, std::string displayText);
};

// The rows of a grid's table in the table's current order. An adapter over a live table
// walks it with display updates suspended and leaves it on the row and scroll position it
// had. Integer fields (16 and 32 bits, signed or unsigned) give Integer cells, floating-point
// and currency fields Number cells, null fields Null, every other field its display text.
class ExportRowSource {
  public:
    using RowVisitor = std::function<void(std::span<const ExportCell> cells)>;
    virtual ~ExportRowSource() = default;
    // Calls visit once per row, from the first to the last, with one cell per column in
    // `columns`; a column without a field, or with a field the table lacks, gets Null.
    virtual void ForEachRow(std::span<const ExportColumn> columns,
                            const RowVisitor& visit) const = 0;
};

// Rows held in memory, cells addressed by field name (letter case ignored).
class ExportTableRows : public ExportRowSource {
  public:
    explicit ExportTableRows(std::vector<std::string> fields) : fields_(std::move(fields)) {}
    // A row with one cell per field, in the order of the field names.
    void AddRow(std::vector<ExportCell> cells);
    std::size_t RowCount() const { return rows_.size(); }
    void ForEachRow(std::span<const ExportColumn> columns, const RowVisitor& visit) const override;

  private:
    std::vector<std::string> fields_;
    std::vector<std::vector<ExportCell>> rows_;
};

enum class ExportFormat { Text, Csv, Html, Rtf, Workbook };

// Formats that are not text; they are never written to a terminal.
bool ExportFormatIsBinary(ExportFormat format);

// The file contents of the grid in the format. A CSV file starts with the UTF-8 byte-order
// mark, so spreadsheet programs read non-ASCII keywords right.
std::string ExportGridBytes(ExportFormat format, const ExportGrid& grid,
                            const ExportRowSource& rows);

// Writes the file through a temporary file in the same folder, so an existing file is
// replaced whole or not at all. Raises ExportError "Cannot create file %s" on failure.
void ExportGridToFile(ExportFormat format, const ExportGrid& grid, const ExportRowSource& rows,
                      const std::string& path);

// Save dialog support (the filter is strings::kExportSaveFilter): the filter entries in order,
// 1-based, and their extensions.
inline constexpr int kExportFirstFilterIndex = 3;  // HTML
std::optional<ExportFormat> ExportFormatFromFilterIndex(int index);
std::string_view ExportExtension(ExportFormat format);  // "txt", "csv", "htm", "rtf", "xls"
std::optional<ExportFormat> ExportFormatFromExtension(std::string_view extension);

// The chosen name with "." and the extension appended unless its last three characters
// already equal the extension, letter case ignored ("keywordshtm" stays as it is).
std::string ExportFileName(std::string_view chosen, ExportFormat format);

// The grids as designed in the main window, for exports made without a window.
// countFooter is the text under the Count column (the number of keywords).
ExportGrid DesignedFrequencyGrid(std::string_view countFooter);
ExportGrid DesignedPagesGrid();

}  // namespace kv::data
