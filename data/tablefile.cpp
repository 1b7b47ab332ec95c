#include "data/tablefile.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <vector>

#include "data/datastrings.h"
#include "data/replacementfile.h"
#include "text/format.h"
#include "text/textcompare.h"

namespace kv::data {

namespace {

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using DbPtr = std::unique_ptr<sqlite3, DbCloser>;

struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

std::string Quoted(const std::string& identifier) {
    std::string out = "\"";
    for (char c : identifier) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

bool IsText(FieldType t) {
    return t == FieldType::String || t == FieldType::Memo;
}

std::string ColumnList(const Table& table) {
    std::string cols;
    for (const auto& f : table.Fields()) cols += (cols.empty() ? "" : ", ") + Quoted(f.name);
    return cols;
}

StmtPtr Prepare(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return nullptr;
    return StmtPtr(stmt);
}

void WriteRows(sqlite3* db, Table& table, const std::string& name) {
    const auto exec = [db](const std::string& sql) {
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            throw TableError(sqlite3_errmsg(db));
    };
    const auto& fields = table.Fields();
    std::string columns, params;
    for (const auto& f : fields) {
        columns += (columns.empty() ? "" : ", ") + Quoted(f.name) +
                   (IsText(f.type) ? " TEXT" : " INTEGER");
        params += params.empty() ? "?" : ", ?";
    }
    exec("PRAGMA journal_mode=OFF");
    exec("PRAGMA synchronous=OFF");
    exec("CREATE TABLE " + Quoted(name) + " (" + columns + ")");
    exec("BEGIN");
    StmtPtr insert = Prepare(
        db, "INSERT INTO " + Quoted(name) + " (" + ColumnList(table) + ") VALUES (" + params + ")");
    if (!insert) throw TableError(sqlite3_errmsg(db));
    for (const auto& row : table.StoredRows()) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const Cell& c = row->cells[i];
            const int col = static_cast<int>(i) + 1;
            if (c.null) {
                sqlite3_bind_null(insert.get(), col);
            } else if (IsText(fields[i].type)) {
                const std::string_view t =
                    c.text ? std::string_view(*c.text) : std::string_view("");
                sqlite3_bind_text(insert.get(), col, t.data(), static_cast<int>(t.size()),
                                  SQLITE_STATIC);
            } else {
                sqlite3_bind_int(insert.get(), col, c.number);
            }
        }
        if (sqlite3_step(insert.get()) != SQLITE_DONE) throw TableError(sqlite3_errmsg(db));
        sqlite3_reset(insert.get());
    }
    exec("COMMIT");
}

}  // namespace

std::string TableNameOfFile(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

void LoadTableFile(Table& table, const std::string& path) {
    const std::string cannotOpen = text::FormatText(strings::kCannotOpenFile, path);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || access(path.c_str(), R_OK) != 0)
        throw TableError(cannotOpen);

    RemoveStaleSavingFiles(path);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    DbPtr db(raw);
    if (rc != SQLITE_OK) throw TableError(cannotOpen);

    const std::string name = TableNameOfFile(path);
    const auto invalid = [&](const std::string& why) {
        return TableError(text::FormatText(strings::kNotATableFile, {path, name, why}));
    };
    // A damaged file (cut short, overwritten in part) can read as rows of NULLs: check first.
    StmtPtr check = Prepare(db.get(), "PRAGMA quick_check(1)");
    if (!check) throw invalid(sqlite3_errmsg(db.get()));
    const int checked = sqlite3_step(check.get());
    if (checked != SQLITE_ROW) throw invalid(sqlite3_errmsg(db.get()));
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(check.get(), 0));
    const std::string verdict = text != nullptr ? text : "";
    if (verdict != "ok") throw invalid(text::FormatText(strings::kFileDamaged, verdict));
    check.reset();
    // SQLite would read a quoted name that is no column as a text literal: check the columns.
    sqlite3_db_config(db.get(), SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    StmtPtr info = Prepare(db.get(), "PRAGMA table_info(" + Quoted(name) + ")");
    if (!info) throw invalid(sqlite3_errmsg(db.get()));
    std::vector<std::string> columns;
    while (sqlite3_step(info.get()) == SQLITE_ROW)
        columns.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 1)));
    if (columns.empty()) throw invalid(text::FormatText(strings::kFileHoldsNoTable, name));
    // The fields the file has, in table order; an optional one it lacks stays null.
    const auto& fields = table.Fields();
    std::vector<std::size_t> loaded;
    std::string selected;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto& f = fields[i];
        const bool present = std::any_of(columns.begin(), columns.end(), [&](const std::string& c) {
            return text::SameAsciiNoCase(c, f.name);
        });
        if (!present && f.optional) continue;
        if (!present) throw invalid(text::FormatText(strings::kFieldMissing, f.name));
        loaded.push_back(i);
        selected += (selected.empty() ? "" : ", ") + Quoted(f.name);
    }
    StmtPtr select =
        Prepare(db.get(), "SELECT " + selected + " FROM " + Quoted(name) + " ORDER BY rowid");
    if (!select) throw invalid(sqlite3_errmsg(db.get()));

    std::vector<RowPtr> rows;
    int step;
    while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
        RowPtr row = table.NewRow();
        for (std::size_t col = 0; col < loaded.size(); ++col) {
            const std::size_t i = loaded[col];
            const int type = sqlite3_column_type(select.get(), static_cast<int>(col));
            if (type == SQLITE_NULL) continue;
            Cell& c = row->cells[i];
            c.null = false;
            if (IsText(fields[i].type)) {
                const auto* text = reinterpret_cast<const char*>(
                    sqlite3_column_text(select.get(), static_cast<int>(col)));
                const int size = sqlite3_column_bytes(select.get(), static_cast<int>(col));
                c.text = MakeText(table.FitText(
                    static_cast<int>(i), std::string_view(text, static_cast<std::size_t>(size))));
            } else {
                if (type != SQLITE_INTEGER)
                    throw invalid(text::FormatText(strings::kFieldNotInteger, fields[i].name));
                const sqlite3_int64 v = sqlite3_column_int64(select.get(), static_cast<int>(col));
                const bool fits = fields[i].type == FieldType::Word ? v >= 0 && v <= 0xFFFF
                                  : fields[i].type == FieldType::Boolean
                                      ? v == 0 || v == 1
                                      : v >= INT32_MIN && v <= INT32_MAX;
                if (!fits)
                    throw invalid(text::FormatText(strings::kFieldValueOutOfRange,
                                                   {fields[i].name, std::to_string(v)}));
                c.number = static_cast<std::int32_t>(v);
            }
        }
        rows.push_back(std::move(row));
    }
    if (step != SQLITE_DONE) throw invalid(sqlite3_errmsg(db.get()));
    table.ReplaceRows(std::move(rows));
}

void SaveTableFile(Table& table, const std::string& path) {
    table.CheckBrowseMode();
    const std::string cannotCreate = text::FormatText(strings::kCannotCreateFile, path);
    ReplacementFile pending(path);
    if (!pending.Valid()) throw TableError(cannotCreate);
    try {
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(pending.TemporaryPath().c_str(), &raw,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        DbPtr db(raw);
        if (rc != SQLITE_OK) throw TableError(cannotCreate);
        WriteRows(db.get(), table, TableNameOfFile(path));
        if (sqlite3_close(db.release()) != SQLITE_OK) throw TableError(cannotCreate);
    } catch (const TableError&) {
        throw TableError(cannotCreate);
    }
    if (!pending.Commit()) throw TableError(cannotCreate);
}

}  // namespace kv::data
