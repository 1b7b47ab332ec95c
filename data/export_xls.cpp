// Workbook: a bare stream of spreadsheet cell records, little-endian. Text goes in the
// Windows-1252 code page that readers assume for this stream, exactly as it always did, when
// every text of the grid has a place in it; otherwise the stream declares the later record
// version whose text records hold UTF-16, so no character is lost.
#include <bit>
#include <cstring>

#include "data/export_encoding.h"
#include "data/export_writers.h"

namespace kv::data::exportdetail {

namespace {

constexpr std::uint16_t kBeginOfFile = 0x0809;
constexpr std::uint16_t kEndOfFile = 0x000A;
constexpr std::uint16_t kTextCell = 0x0204;
constexpr std::uint16_t kIntegerCell = 0x027E;
constexpr std::uint16_t kNumberCell = 0x0203;
constexpr std::uint16_t kEmptyCell = 0x0201;
constexpr std::uint16_t kCodePageVersion = 0x0000;  // 8-bit text in the reader's code page
constexpr std::uint16_t kUnicodeVersion = 0x0600;   // text records hold UTF-16
constexpr std::uint16_t kWorksheet = 0x0010;
constexpr std::uint8_t kUtf16Flag = 0x01;

// Row and column numbers are 16-bit; the format has 256 columns.
constexpr std::size_t kMaxRows = 65536;
constexpr std::size_t kMaxColumns = 256;
// Readers refuse longer records: 2080 data bytes in the code page version, 8224 in the
// Unicode one. A text cell longer than that is cut at a character boundary.
constexpr std::size_t kMaxCodePageText = 2080 - 8;
constexpr std::size_t kMaxUtf16Units = (8224 - 9) / 2;
// The integer cell keeps 30 bits of the value; larger integers go in number cells.
constexpr std::int64_t kMaxCompactInteger = (std::int64_t{1} << 29) - 1;
constexpr std::int64_t kMinCompactInteger = -(std::int64_t{1} << 29);

class RecordWriter {
  public:
    void Add16(std::uint16_t value) {
        data_ += static_cast<char>(value & 0xFF);
        data_ += static_cast<char>(value >> 8);
    }
    void Add32(std::uint32_t value) {
        Add16(static_cast<std::uint16_t>(value & 0xFFFF));
        Add16(static_cast<std::uint16_t>(value >> 16));
    }
    void Add64(std::uint64_t value) {
        Add32(static_cast<std::uint32_t>(value & 0xFFFFFFFF));
        Add32(static_cast<std::uint32_t>(value >> 32));
    }
    void AddBytes(std::string_view bytes) { data_ += bytes; }

    // Closes the record whose data was added since the last call.
    void End(std::uint16_t type) {
        out_ += static_cast<char>(type & 0xFF);
        out_ += static_cast<char>(type >> 8);
        out_ += static_cast<char>(data_.size() & 0xFF);
        out_ += static_cast<char>(data_.size() >> 8);
        out_ += data_;
        data_.clear();
    }
    // Row, column and format index 0: the start of every cell record.
    void CellStart(std::uint16_t row, std::uint16_t column) {
        Add16(row);
        Add16(column);
        Add16(0);
    }
    std::string Take() { return std::move(out_); }

  private:
    std::string out_;
    std::string data_;
};

struct PlacedCell {
    std::uint16_t row;
    std::uint16_t column;
    ExportCell cell;  // footers and titles arrive as text cells
};

std::vector<PlacedCell> PlaceCells(const ExportGrid& grid, const ExportRowSource& rows) {
    if (grid.columns.size() > kMaxColumns)
        throw std::invalid_argument("export grid has more columns than a workbook holds");
    std::vector<PlacedCell> placed;
    std::size_t row = 0;
    ForEachGridRow(grid, rows, [&](RowKind, std::span<const CellView> cells) {
        for (std::size_t c = 0; c < cells.size(); ++c)
            placed.push_back(
                {static_cast<std::uint16_t>(row), static_cast<std::uint16_t>(c), *cells[c].cell});
        ++row;
    });
    if (row > kMaxRows)
        throw ExportError(FormatText(strings::kExportTooManyRows, std::to_string(row)));
    return placed;
}

std::u16string CutUtf16(std::u16string units) {
    if (units.size() <= kMaxUtf16Units) return units;
    std::size_t keep = kMaxUtf16Units;
    if (units[keep] >= 0xDC00 && units[keep] <= 0xDFFF) --keep;  // never half a pair
    units.resize(keep);
    return units;
}

void WriteTextCell(RecordWriter& writer, const PlacedCell& placed, bool unicode) {
    writer.CellStart(placed.row, placed.column);
    if (unicode) {
        const std::u16string units = CutUtf16(ToUtf16(placed.cell.text));
        writer.Add16(static_cast<std::uint16_t>(units.size()));
        writer.AddBytes(std::string(1, static_cast<char>(kUtf16Flag)));
        for (char16_t unit : units) writer.Add16(unit);
    } else {
        std::string bytes = ToWindows1252(placed.cell.text).value_or(std::string());
        if (bytes.size() > kMaxCodePageText) bytes.resize(kMaxCodePageText);
        writer.Add16(static_cast<std::uint16_t>(bytes.size()));
        writer.AddBytes(bytes);
    }
    writer.End(kTextCell);
}

void WriteNumberCell(RecordWriter& writer, const PlacedCell& placed, double value) {
    writer.CellStart(placed.row, placed.column);
    writer.Add64(std::bit_cast<std::uint64_t>(value));
    writer.End(kNumberCell);
}

void WriteCell(RecordWriter& writer, const PlacedCell& placed, bool unicode) {
    const ExportCell& cell = placed.cell;
    switch (cell.kind) {
        case ExportCell::Kind::Null:
            writer.CellStart(placed.row, placed.column);
            writer.End(kEmptyCell);
            return;
        case ExportCell::Kind::Integer:
            if (cell.integer < kMinCompactInteger || cell.integer > kMaxCompactInteger) {
                WriteNumberCell(writer, placed, static_cast<double>(cell.integer));
                return;
            }
            writer.CellStart(placed.row, placed.column);
            writer.Add32(static_cast<std::uint32_t>(cell.integer) * 4 + 2);
            writer.End(kIntegerCell);
            return;
        case ExportCell::Kind::Number:
            WriteNumberCell(writer, placed, cell.number);
            return;
        case ExportCell::Kind::Text:
            WriteTextCell(writer, placed, unicode);
            return;
    }
}

}  // namespace

std::string WriteWorkbook(const ExportGrid& grid, const ExportRowSource& rows) {
    const std::vector<PlacedCell> cells = PlaceCells(grid, rows);
    bool unicode = false;
    for (const PlacedCell& placed : cells)
        if (placed.cell.kind == ExportCell::Kind::Text && !ToWindows1252(placed.cell.text))
            unicode = true;

    RecordWriter writer;
    writer.Add16(unicode ? kUnicodeVersion : kCodePageVersion);
    writer.Add16(kWorksheet);
    writer.Add32(0);  // build and year
    writer.End(kBeginOfFile);
    for (const PlacedCell& placed : cells) WriteCell(writer, placed, unicode);
    writer.End(kEndOfFile);
    return writer.Take();
}

}  // namespace kv::data::exportdetail
