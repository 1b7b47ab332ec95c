// The two result grids as the main window designs them, with the system colours of a
// standard desktop scheme, for exports made without a window.
#include "data/exportgrid.h"
#include "data/tablefields.h"

namespace kv::data {

namespace {

constexpr ExportColor kWindowColor{0xFF, 0xFF, 0xFF};
constexpr ExportColor kWindowTextColor{0x00, 0x00, 0x00};
constexpr ExportColor kButtonFaceColor{0xF0, 0xF0, 0xF0};
constexpr ExportColor kHotTrackColor{0x00, 0x66, 0xCC};
constexpr int kDesignedPixelsPerInch = 96;

ExportFont WindowFont() {
    return {"MS Sans Serif", 8, kWindowTextColor};
}

ExportColumn Column(std::string_view field, std::string caption, int width,
                    ExportAlignment alignment) {
    ExportColumn column;
    column.field = std::string(field);
    column.caption = std::move(caption);
    column.widthPixels = width;
    column.alignment = alignment;
    column.color = kWindowColor;
    column.font = WindowFont();
    column.titleAlignment = ExportAlignment::Left;
    column.titleColor = kButtonFaceColor;
    column.titleFont = WindowFont();
    return column;
}

ExportGrid Grid(std::string name, std::vector<ExportColumn> columns) {
    ExportGrid grid;
    grid.name = std::move(name);
    grid.columns = std::move(columns);
    grid.footerColor = kWindowColor;
    grid.fixedColor = kButtonFaceColor;
    grid.buttonFaceColor = kButtonFaceColor;
    grid.flat = true;
    grid.threeDimensional = true;
    grid.columnLines = true;
    grid.rowLines = true;
    grid.pixelsPerInch = kDesignedPixelsPerInch;
    return grid;
}

}  // namespace

ExportGrid DesignedFrequencyGrid(std::string_view countFooter) {
    ExportGrid grid = Grid(
        "DBGridEh1",
        {Column(keywordres_fields::Keyword, strings::kKeywordCaption, 130, ExportAlignment::Left),
         Column(keywordres_fields::Count, strings::kCountCaption, 55, ExportAlignment::Right)});
    grid.columns[1].bars = true;
    // Footer cells take their column's alignment and the grid's font.
    grid.footerRows.push_back({{strings::kTotal, ExportAlignment::Left, WindowFont()},
                               {std::string(countFooter), ExportAlignment::Right, WindowFont()}});
    return grid;
}

ExportGrid DesignedPagesGrid() {
    ExportColumn url =
        Column(keywordres2_fields::Url, strings::kWebPageCaption, 150, ExportAlignment::Left);
    url.font.underline = true;
    url.font.color = kHotTrackColor;
    return Grid("DBGridEh2", {Column(keywordres2_fields::Rank, strings::kRankCaption, 55,
                                     ExportAlignment::Right),
                              std::move(url),
                              Column(keywordres2_fields::Keywords, strings::kMetaKeywordsCaption,
                                     356, ExportAlignment::Left),
                              Column(keywordres2_fields::Sources, strings::kSourcesCaption, 110,
                                     ExportAlignment::Left)});
}

}  // namespace kv::data
