#include "detect/casevariants.h"

#include <string>
#include <unordered_map>
#include <vector>

#include "data/tablefields.h"
#include "text/textcompare.h"

namespace kv::detect {

namespace {

struct Merged {
    std::string spelling;
    std::int64_t count = 0;
    std::int32_t best = -1;
};

// Every row of a table as cells, in table order.
std::vector<std::vector<data::Cell>> TakeRows(data::Table& table) {
    std::vector<std::vector<data::Cell>> rows;
    const auto fields = static_cast<int>(table.Fields().size());
    for (int row = 0; row < table.RecordCount(); ++row) {
        std::vector<data::Cell> cells;
        for (int field = 0; field < fields; ++field) cells.push_back(table.CellAt(row, field));
        rows.push_back(std::move(cells));
    }
    return rows;
}

}  // namespace

void MergeCaseVariants(data::DataTables& tables) {
    data::Table& res = tables.KeywordResClientDataSet;
    const int keywordField = res.FieldIndex(data::keywordres_fields::Keyword),
              countField = res.FieldIndex(data::keywordres_fields::Count);
    std::vector<std::string> order;  // group keys in table order
    std::unordered_map<std::string, Merged> groups;
    std::unordered_map<std::string, std::string> keptOf;  // spelling -> kept spelling
    for (int row = 0; row < res.RecordCount(); ++row) {
        const std::string spelling = res.CellText(row, keywordField);
        const std::int32_t count = res.CellAt(row, countField).number;
        const std::string key = text::SortKeyIgnoringCase(spelling);
        auto [it, added] = groups.try_emplace(key);
        if (added) order.push_back(key);
        Merged& group = it->second;
        group.count += count;
        if (count > group.best) {
            group.best = count;
            group.spelling = spelling;
        }
    }
    if (order.size() == static_cast<std::size_t>(res.RecordCount())) return;  // nothing to merge

    for (int row = 0; row < res.RecordCount(); ++row) {
        const std::string spelling = res.CellText(row, keywordField);
        keptOf[spelling] = groups[text::SortKeyIgnoringCase(spelling)].spelling;
    }
    res.EmptyTable();
    for (const std::string& key : order) {
        res.Append();
        res.SetString(keywordField, groups[key].spelling);
        res.SetInteger(countField, groups[key].count);
        res.Post();
    }

    data::Table& res2 = tables.KeywordRes2ClientDataSet;
    const int pageKeyword = res2.FieldIndex(data::keywordres2_fields::Keyword);
    const auto pages = TakeRows(res2);
    res2.EmptyTable();
    for (const auto& cells : pages) {
        res2.Append();
        for (std::size_t field = 0; field < cells.size(); ++field) {
            const data::Cell& cell = cells[field];
            if (cell.null) continue;
            const auto f = static_cast<int>(field);
            if (cell.text)
                res2.SetString(f, f == pageKeyword ? keptOf[*cell.text] : *cell.text);
            else
                res2.SetInteger(f, cell.number);
        }
        res2.Post();
    }
}

}  // namespace kv::detect
