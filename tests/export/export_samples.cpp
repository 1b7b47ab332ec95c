#include "tests/export/export_samples.h"

#include <cstdlib>

namespace kv::data::testing {

ExportTableRows SampleFrequencyRows() {
    ExportTableRows rows({"Keyword", "Count"});
    rows.AddRow({ExportCell::Text("seo"), ExportCell::Integer(5)});
    rows.AddRow({ExportCell::Text("say \"hi\" & <b>"), ExportCell::Integer(3)});
    rows.AddRow({ExportCell::Text("{brace} back\\slash"), ExportCell::Integer(2)});
    rows.AddRow({ExportCell::Text("Grüße €5"), ExportCell::Integer(1)});
    rows.AddRow({ExportCell::Text(""), ExportCell::Integer(1)});
    return rows;
}

ExportTableRows SamplePageRows() {
    ExportTableRows rows({"Keyword", "Rank", "url", "Keywords", "Keywords2", "Sources"});
    const auto row = [&](std::int64_t rank, ExportCell url, std::string keywords,
                         ExportCell sources) {
        rows.AddRow({ExportCell::Text("seo"), ExportCell::Integer(rank), std::move(url),
                     ExportCell::Text(keywords), ExportCell::Text("unused"), std::move(sources)});
    };
    row(1, ExportCell::Text("http://a.example/?q=1&x=<2>"), "seo; \"web\" design, {x}\\y",
        ExportCell::Text("meta,news,tags,data"));
    row(2, ExportCell::Null(), "", ExportCell::Null());
    row(3, ExportCell::Text("http://b.example/"), "Ключ, seo, 😀", ExportCell::Text("tags"));
    return rows;
}

ExportGrid TinyGrid() {
    ExportGrid grid;
    grid.name = "Tiny";
    const ExportFont font{"Arial", 10, {0x12, 0x34, 0x56}};
    ExportColumn a;
    a.field = "a";
    a.caption = "A";
    a.widthPixels = 100;
    a.alignment = ExportAlignment::Left;
    a.color = {0xFF, 0xFF, 0xFF};
    a.font = font;
    a.titleAlignment = ExportAlignment::Center;
    a.titleColor = {0xC0, 0xC0, 0xC0};
    a.titleFont = font;
    ExportColumn b = a;
    b.field = "b";
    b.caption = "B";
    b.widthPixels = 50;
    b.alignment = ExportAlignment::Right;
    grid.columns = {a, b};
    grid.footerColor = {0xFF, 0xFF, 0xFF};
    grid.fixedColor = {0xC0, 0xC0, 0xC0};
    grid.buttonFaceColor = {0xC0, 0xC0, 0xC0};
    return grid;
}

ExportTableRows TinyRows(std::vector<std::pair<std::string, std::int64_t>> rows) {
    ExportTableRows table({"a", "b"});
    for (auto& [text, number] : rows)
        table.AddRow({ExportCell::Text(std::move(text)), ExportCell::Integer(number)});
    return table;
}

std::string GoldenDir() {
    return std::string(KV_EXPORT_TEST_DIR) + "/golden";
}

}  // namespace kv::data::testing
