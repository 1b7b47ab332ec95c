#include "detect/enginesql.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "data/datastrings.h"
#include "data/enginefields.h"
#include "data/tablefile.h"
#include "data/tables.h"
#include "detect/detectstrings.h"
#include "detect/enginedefinition.h"
#include "parseutils/regexpr.h"
#include "parseutils/templatefuncs.h"
#include "text/format.h"
#include "text/textcompare.h"

namespace kv::detect {

namespace {

namespace f = data::se_fields;
using data::FieldType;

// A definition file is a few kilobytes; these bound what a hostile one can make us do.
constexpr std::size_t kMaxSqlBytes = 4 * 1024 * 1024;
constexpr int kMaxSqlSteps = 5'000'000;  // virtual machine instructions, checked per 1000
constexpr int kMaxPacingSeconds = 3600;

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using DbPtr = std::unique_ptr<sqlite3, DbCloser>;
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

// Only what a definition file needs: tables, rows and plain functions; no ATTACH (it would
// write files), no PRAGMA.
int Authorize(void*, int action, const char*, const char*, const char*, const char*) {
    switch (action) {
        case SQLITE_CREATE_TABLE:
        case SQLITE_DROP_TABLE:
        case SQLITE_INSERT:
        case SQLITE_UPDATE:
        case SQLITE_DELETE:
        case SQLITE_READ:
        case SQLITE_SELECT:
        case SQLITE_FUNCTION:
        case SQLITE_TRANSACTION:
        case SQLITE_ALTER_TABLE:
        case SQLITE_RECURSIVE:
            return SQLITE_OK;
        default:
            return SQLITE_DENY;
    }
}

int Progress(void* steps) {
    return ++*static_cast<int*>(steps) > kMaxSqlSteps / 1000 ? 1 : 0;
}

int LineOf(const std::string& sql, const char* at) {
    const auto offset = static_cast<std::size_t>(at - sql.c_str());
    return 1 + static_cast<int>(std::count(sql.begin(), sql.begin() + offset, '\n'));
}

void RunSql(sqlite3* db, const std::string& sql) {
    int steps = 0;
    sqlite3_set_authorizer(db, Authorize, nullptr);
    sqlite3_progress_handler(db, 1000, Progress, &steps);
    const char* next = sql.c_str();
    while (*next) {
        const char* start = next;
        while (*start == ' ' || *start == '\t' || *start == '\r' || *start == '\n') ++start;
        sqlite3_stmt* raw = nullptr;
        const int rc = sqlite3_prepare_v2(db, start, -1, &raw, &next);
        StmtPtr stmt(raw);
        const auto fail = [&] {
            return EngineDefinitionError(text::FormatText(
                strings::kAtLine, {std::to_string(LineOf(sql, start)), sqlite3_errmsg(db)}));
        };
        if (rc != SQLITE_OK) throw fail();
        if (!stmt) continue;  // a comment or blanks
        while (true) {
            const int step = sqlite3_step(stmt.get());
            if (step == SQLITE_DONE) break;
            if (step != SQLITE_ROW) throw fail();
        }
    }
}

std::string Quoted(std::string_view identifier) {
    return "\"" + std::string(identifier) + "\"";
}

// A value as a SQL literal; line breaks become char() joins so the text stays one line.
std::string Literal(const std::string& value) {
    std::string out = "'";
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\'') {
            out += "''";
        } else if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') {
            out += "' || char(13, 10) || '";
            ++i;
        } else if (c == '\r' || c == '\n') {
            out += c == '\r' ? "' || char(13) || '" : "' || char(10) || '";
        } else {
            out += c;
        }
    }
    return out + "'";
}

bool IsPatternField(std::string_view name) {
    for (std::string_view p : {f::GetTextTotalTextRegExpr, f::GetTextRegExpr, f::GetUrlRegExpr,
                               f::NextSearchRegExpr, f::GetUrlUnwrapRegExpr, f::BlockedRegExpr})
        if (text::SameAsciiNoCase(p, name)) return true;
    return false;
}

bool IsAddressField(std::string_view name) {
    for (std::string_view p : {f::PrepareSearchURL, f::StartSearchURL, f::NextSearchFirstPartUrl})
        if (text::SameAsciiNoCase(p, name)) return true;
    return false;
}

// Compiles every part of every line of a pattern set; the message names the line.
std::string PatternProblem(const std::string& patterns) {
    int lineNumber = 0;
    for (const std::string& line : NonEmptyLines(patterns)) {
        ++lineNumber;
        std::vector<std::string> parts;
        parseutils::GetRegExprList(line, parts);
        for (const std::string& part : parts) {
            try {
                TRegExpr compiled;
                compiled.SetExpression(part);
            } catch (const ERegExpr& e) {
                return text::FormatText(strings::kSqlPatternLine,
                                        {std::to_string(lineNumber), e.what()});
            }
        }
    }
    return "";
}

bool IsHeaderNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

std::string HeaderProblem(const std::string& lines) {
    for (const std::string& line : NonEmptyLines(lines)) {
        const std::size_t colon = line.find(':');
        const std::string name = line.substr(0, colon);
        if (colon == std::string::npos || name.empty() ||
            !std::all_of(name.begin(), name.end(), IsHeaderNameChar))
            return text::FormatText(strings::kSqlNotHeaderLine, line);
        // These belong to the exchange itself; a second copy would break it.
        for (std::string_view own : {"Host", "Content-Length", "Transfer-Encoding", "Connection"})
            if (text::SameAsciiNoCase(name, own))
                return text::FormatText(strings::kSqlOwnHeader, name);
    }
    return "";
}

std::string StatusProblem(const std::string& list) {
    std::istringstream words(list);
    std::string word;
    while (std::getline(words, word, ',')) {
        word.erase(0, word.find_first_not_of(" \t"));
        word.erase(word.find_last_not_of(" \t") + 1);
        if (word.empty()) continue;
        if (ParseStatusList(word).size() != 1)
            return text::FormatText(strings::kSqlNotStatus, word);
    }
    return "";
}

// What is wrong with one value, or "".
std::string ValueProblem(data::Table& table, int field, const data::Cell& cell) {
    const data::FieldDef& def = table.Fields()[static_cast<std::size_t>(field)];
    const std::string value = cell.text ? *cell.text : std::string();
    if (def.type == FieldType::String && table.FitText(field, value).size() != value.size())
        return text::FormatText(strings::kSqlTooLong, std::to_string(def.size));
    if (IsPatternField(def.name)) return PatternProblem(value);
    if (IsAddressField(def.name) && !value.empty() && !value.starts_with("http://") &&
        !value.starts_with("https://"))
        return text::FormatText(strings::kSqlNotAddress, value);
    if (text::SameAsciiNoCase(def.name, f::RequestHeaderLines)) return HeaderProblem(value);
    if (text::SameAsciiNoCase(def.name, f::BlockedStatusCodes)) return StatusProblem(value);
    if (text::SameAsciiNoCase(def.name, f::GetUrlUnwrapDecode) &&
        cell.number >= kUnwrapDecodingCount)
        return strings::kSqlBadUnwrap;
    if (text::SameAsciiNoCase(def.name, f::MinSecondsBetweenRequests) &&
        (cell.number < 0 || cell.number > kMaxPacingSeconds))
        return text::FormatText(strings::kSqlPacingRange, std::to_string(kMaxPacingSeconds));
    return "";
}

// One SQL value as a cell of the field; the message says what is wrong.
std::string ReadCell(sqlite3_stmt* select, int column, const data::FieldDef& def,
                     data::Cell& cell) {
    const int type = sqlite3_column_type(select, column);
    if (type == SQLITE_NULL) return "";
    cell.null = false;
    if (def.type == FieldType::String || def.type == FieldType::Memo) {
        if (type != SQLITE_TEXT) return strings::kSqlNotText;
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(select, column));
        cell.text = data::MakeText(
            std::string_view(text, static_cast<std::size_t>(sqlite3_column_bytes(select, column))));
        return "";
    }
    if (type != SQLITE_INTEGER) return strings::kSqlNotNumber;
    const sqlite3_int64 v = sqlite3_column_int64(select, column);
    const bool fits = def.type == FieldType::Word      ? v >= 0 && v <= 0xFFFF
                      : def.type == FieldType::Boolean ? v == 0 || v == 1
                                                       : v >= INT32_MIN && v <= INT32_MAX;
    if (!fits) return text::FormatText(strings::kSqlOutOfRange, std::to_string(v));
    cell.number = static_cast<std::int32_t>(v);
    return "";
}

}  // namespace

std::string WriteEngineSql(data::Table& se) {
    const auto& fields = se.Fields();
    std::string columns;
    std::string out = std::string(strings::kSqlExportHead) + "CREATE TABLE SE (\n";
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const bool text = fields[i].type == FieldType::String || fields[i].type == FieldType::Memo;
        out += "  " + fields[i].name + (text ? " TEXT" : " INTEGER") +
               (i + 1 < fields.size() ? ",\n" : "\n");
        columns += (i ? ", " : "") + fields[i].name;
    }
    out += ");\n";
    for (const auto& row : se.StoredRows()) {
        out += "\nINSERT INTO SE (" + columns + ")\nVALUES (";
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const data::Cell& c = row->cells[i];
            const bool text =
                fields[i].type == FieldType::String || fields[i].type == FieldType::Memo;
            out += i ? ",\n        " : "";
            out += c.null ? "NULL"
                   : text ? Literal(c.text ? *c.text : "")
                          : std::to_string(c.number);
        }
        out += ");\n";
    }
    return out;
}

void ReadEngineSql(const std::string& sql, data::Table& into) {
    if (sql.size() > kMaxSqlBytes) throw EngineDefinitionError(strings::kSqlTooLarge);
    if (sql.find('\0') != std::string::npos) throw EngineDefinitionError(strings::kSqlHoldsNul);
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(raw);
        throw EngineDefinitionError(strings::kSqlNoMemory);
    }
    DbPtr db(raw);
    RunSql(db.get(), sql);
    sqlite3_set_authorizer(db.get(), nullptr, nullptr);

    std::vector<std::string> columns;
    {
        sqlite3_stmt* info = nullptr;
        sqlite3_prepare_v2(db.get(), "PRAGMA table_info(\"SE\")", -1, &info, nullptr);
        StmtPtr guard(info);
        while (info && sqlite3_step(info) == SQLITE_ROW)
            columns.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(info, 1)));
    }
    if (columns.empty()) throw EngineDefinitionError(strings::kSqlNoTable);
    const auto& fields = into.Fields();
    for (const std::string& column : columns) {
        const bool known = std::any_of(fields.begin(), fields.end(), [&](const data::FieldDef& d) {
            return text::SameAsciiNoCase(d.name, column);
        });
        if (!known)
            throw EngineDefinitionError(text::FormatText(strings::kSqlUnknownField, column));
    }
    std::vector<int> fieldOfColumn;
    std::string selected;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const bool present = std::any_of(columns.begin(), columns.end(), [&](const std::string& c) {
            return text::SameAsciiNoCase(c, fields[i].name);
        });
        if (!present && !fields[i].optional)
            throw EngineDefinitionError(
                text::FormatText(data::strings::kFieldMissing, fields[i].name));
        if (!present) continue;
        fieldOfColumn.push_back(static_cast<int>(i));
        selected += (selected.empty() ? "" : ", ") + Quoted(fields[i].name);
    }
    sqlite3_stmt* rawSelect = nullptr;
    sqlite3_prepare_v2(db.get(), ("SELECT " + selected + " FROM SE ORDER BY rowid").c_str(), -1,
                       &rawSelect, nullptr);
    StmtPtr select(rawSelect);
    if (!select) throw EngineDefinitionError(sqlite3_errmsg(db.get()));

    std::vector<data::RowPtr> rows;
    std::set<std::string> names;
    const int nameField = into.FieldIndex(f::SEName);
    int step;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        data::RowPtr row = into.NewRow();
        const std::string rowNumber = std::to_string(rows.size() + 1);
        const auto rowProblem = [&](std::string_view field, std::string_view problem) {
            return EngineDefinitionError(
                text::FormatText(strings::kSqlRowField, {rowNumber, field, problem}));
        };
        for (std::size_t col = 0; col < fieldOfColumn.size(); ++col) {
            const int field = fieldOfColumn[col];
            const data::FieldDef& def = fields[static_cast<std::size_t>(field)];
            data::Cell& cell = row->cells[static_cast<std::size_t>(field)];
            std::string problem = ReadCell(select.get(), static_cast<int>(col), def, cell);
            if (problem.empty()) problem = ValueProblem(into, field, cell);
            if (!problem.empty()) throw rowProblem(def.name, problem);
        }
        const data::Cell& name = row->cells[static_cast<std::size_t>(nameField)];
        if (name.null || !name.text || name.text->empty())
            throw rowProblem(f::SEName, strings::kSqlNoName);
        // The name is also the key of its tick in set.ini.
        if (std::any_of(name.text->begin(), name.text->end(), [](char c) {
                return c == '=' || c == '[' || c == ']' || (c >= 0 && c < 32);
            }))
            throw rowProblem(f::SEName, text::FormatText(strings::kSqlBadName, *name.text));
        if (!names.insert(*name.text).second)
            throw rowProblem(f::SEName, text::FormatText(strings::kSqlNameTwice, *name.text));
        rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE) throw EngineDefinitionError(sqlite3_errmsg(db.get()));
    into.ReplaceRows(std::move(rows));
}

std::vector<std::string> MergeEngineRows(data::Table& target, data::Table& imported) {
    const int nameField = target.FieldIndex(f::SEName);
    const auto nameOf = [nameField](const data::RowPtr& row) {
        const auto& text = row->cells[static_cast<std::size_t>(nameField)].text;
        return text ? *text : std::string();
    };
    const auto copy = [&target](const data::RowPtr& from) {
        data::RowPtr row = target.NewRow();
        for (std::size_t i = 0; i < row->cells.size(); ++i) row->cells[i] = from->cells[i];
        return row;
    };
    std::vector<data::RowPtr> rows;
    std::vector<bool> used(imported.StoredRows().size(), false);
    for (const auto& old : target.StoredRows()) {
        const auto& news = imported.StoredRows();
        const auto match = std::find_if(news.begin(), news.end(), [&](const data::RowPtr& n) {
            return nameOf(n) == nameOf(old);
        });
        if (match == news.end()) {
            rows.push_back(copy(old));
        } else {
            used[static_cast<std::size_t>(match - news.begin())] = true;
            rows.push_back(copy(*match));
        }
    }
    std::vector<std::string> names;
    for (std::size_t i = 0; i < imported.StoredRows().size(); ++i) {
        names.push_back(nameOf(imported.StoredRows()[i]));
        if (!used[i]) rows.push_back(copy(imported.StoredRows()[i]));
    }
    target.ReplaceRows(std::move(rows));
    return names;
}

std::vector<std::string> ImportEngineFile(const std::string& sqlPath, const std::string& cdsPath) {
    std::ifstream in(sqlPath, std::ios::binary);
    if (!in) throw EngineDefinitionError(text::FormatText(data::strings::kCannotOpenFile, sqlPath));
    std::ostringstream sql;
    sql << in.rdbuf();
    data::Table imported("SE", data::EngineTableFields());
    ReadEngineSql(sql.str(), imported);
    data::Table target("SE", data::EngineTableFields());
    if (std::filesystem::exists(cdsPath)) data::LoadTableFile(target, cdsPath);
    std::vector<std::string> names = MergeEngineRows(target, imported);
    data::SaveTableFile(target, cdsPath);
    return names;
}

}  // namespace kv::detect
