// Rich Text table: the body is written first while the colour and font tables are
// collected in the order of first use; the header with both tables goes before it.
#include <cstdio>

#include "data/export_encoding.h"
#include "data/export_writers.h"

namespace kv::data::exportdetail {

namespace {

constexpr std::string_view kEol = "\r\n";
constexpr int kTwipsPerInch = 1440;
constexpr ExportColor kBlack{0, 0, 0};
constexpr ExportColor kWhite{255, 255, 255};

// Text with "\", "{" and "}" escaped; other characters as \uN (with "?" for readers without
// Unicode), an invalid UTF-8 byte as the code page byte it stood for.
void AppendRtfText(std::string& out, std::string_view text) {
    ForEachCharacter(text, [&](char32_t codePoint, int invalidByte) {
        if (invalidByte >= 0) {
            char escape[16];
            std::snprintf(escape, sizeof escape, "\\'%02x", invalidByte);
            out += escape;
        } else if (codePoint < 0x80) {
            if (codePoint == '\\' || codePoint == '{' || codePoint == '}') out += '\\';
            out += static_cast<char>(codePoint);
        } else {
            std::u16string units;
            AppendUtf16(units, codePoint);
            for (char16_t unit : units)
                out += "\\u" + std::to_string(static_cast<std::int16_t>(unit)) + "?";
        }
    });
}

class RtfTables {
  public:
    explicit RtfTables(ExportColor buttonFace) : colors_{kBlack, kWhite, buttonFace} {}

    int ColorIndex(ExportColor color) {
        for (std::size_t i = 0; i < colors_.size(); ++i)
            if (colors_[i] == color) return static_cast<int>(i);
        colors_.push_back(color);
        return static_cast<int>(colors_.size() - 1);
    }

    int FontIndex(const std::string& name) {
        for (std::size_t i = 0; i < fonts_.size(); ++i)
            if (fonts_[i] == name) return static_cast<int>(i);
        fonts_.push_back(name);
        return static_cast<int>(fonts_.size() - 1);
    }

    std::string Header() const {
        std::string header = "{\\rtf0\\ansi";
        header += kEol;
        header += "{\\colortbl";
        for (const ExportColor& c : colors_)
            header += "\\red" + std::to_string(c.red) + "\\green" + std::to_string(c.green) +
                      "\\blue" + std::to_string(c.blue) + ";";
        header += "}";
        header += kEol;
        header += "{\\fonttbl";
        for (std::size_t i = 0; i < fonts_.size(); ++i) {
            header += "\\f" + std::to_string(i) + "\\fnil ";
            AppendRtfText(header, fonts_[i]);
            header += ";";
        }
        header += "}";
        header += kEol;
        return header;
    }

  private:
    std::vector<ExportColor> colors_;
    std::vector<std::string> fonts_;
};

std::string_view AlignmentControl(ExportAlignment alignment) {
    switch (alignment) {
        case ExportAlignment::Right:
            return "\\qr";
        case ExportAlignment::Center:
            return "\\qc";
        case ExportAlignment::Left:
            break;
    }
    return "\\ql";
}

// Right cell edges in twips: each column's share is cut to whole twips before it is added.
std::vector<long long> RightEdges(const ExportGrid& grid) {
    if (grid.pixelsPerInch <= 0) throw std::invalid_argument("export grid without pixels per inch");
    std::vector<long long> edges;
    long long edge = 0;
    for (const ExportColumn& column : grid.columns) {
        edge += static_cast<long long>(column.widthPixels) * kTwipsPerInch / grid.pixelsPerInch;
        edges.push_back(edge);
    }
    return edges;
}

}  // namespace

std::string WriteRtf(const ExportGrid& grid, const ExportRowSource& rows) {
    RtfTables tables(grid.buttonFaceColor);
    const std::vector<long long> edges = RightEdges(grid);
    const std::string spacing = grid.flat ? "12" : "24";
    std::string body;

    ForEachGridRow(grid, rows, [&](RowKind, std::span<const CellView> cells) {
        body += "\\trowd\\trgaph40";
        body += kEol;
        for (std::size_t c = 0; c < cells.size(); ++c) {
            for (std::string_view side : {"l", "t", "b", "r"}) {
                body += "\\clbrdr" + std::string(side) + "\\brdrs\\brdrcf0";
                body += kEol;
            }
            body += "\\clshdng10000\\clcfpat" +
                    std::to_string(tables.ColorIndex(cells[c].background)) + "\\cellx" +
                    std::to_string(edges[c]);
            body += kEol;
        }
        body += "{\\trrh0";
        body += kEol;
        for (const CellView& cell : cells) {
            const ExportFont& font = *cell.font;
            body += "\\pard\\intbl{";
            body += AlignmentControl(cell.alignment);
            body += "\\sb" + spacing + "\\sa" + spacing;
            body += "\\fs" + std::to_string(font.sizePoints * 2);
            if (font.bold) body += "\\b";
            if (font.italic) body += "\\i";
            if (font.strikeOut) body += "\\strike";
            if (font.underline) body += "\\ul";
            body += "\\f" + std::to_string(tables.FontIndex(font.name));
            body += "\\cf" + std::to_string(tables.ColorIndex(font.color));
            body += "\\cb" + std::to_string(tables.ColorIndex(cell.background));
            body += " ";
            AppendRtfText(body, cell.cell->text);
            body += "\\cell}";
            body += kEol;
        }
        body += "\\pard\\intbl\\row}";
        body += kEol;
    });

    return tables.Header() + body + "}";
}

}  // namespace kv::data::exportdetail
