// The in-memory table engine: fixed schema, rows in append order, a cursor over the current
// view (master filter, then ordering), pending edits, master/detail links and change
// notifications that can be suspended during bulk changes.
// Tests: tests/data/table_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/dataerror.h"
#include "data/largepages.h"

namespace kv::data {

// Every failure of the table engine; the message is the user-visible text.
class TableError : public DataError {
  public:
    using DataError::DataError;
};

enum class FieldType { String, Integer, Word, Boolean, Memo };

struct FieldDef {
    std::string name;
    FieldType type = FieldType::String;
    std::size_t size = 0;  // characters, for String fields only
    // A field added after files were first written: a file without its column loads, the
    // field reading null.
    bool optional = false;
};

// Texts are immutable and shared, so rows that repeat a long value (a page's keyword text on
// each of its keyword rows) hold one copy of it.
using SharedText = std::shared_ptr<const std::string>;
SharedText MakeText(std::string_view s);
SharedText MakeText(std::string&& s);  // takes the characters over
inline SharedText MakeText(const char* s) {
    return MakeText(std::string_view(s));
}

struct Cell {
    SharedText text;          // String and Memo fields
    std::int32_t number = 0;  // Integer, Word and Boolean fields
    bool null = true;
};

// Rows live in their table's memory pool: a rebuild appends and frees rows by the hundred
// thousand, which the general-purpose heap does far more slowly.
struct Row {
    using allocator_type = std::pmr::polymorphic_allocator<>;
    explicit Row(allocator_type alloc = {}) : cells(alloc) {}
    Row(const Row& other, allocator_type alloc) : cells(other.cells, alloc) {}
    Row(Row&&) = default;
    Row& operator=(Row&&) = default;

    std::pmr::vector<Cell> cells;
};

struct RowDeleter {
    std::pmr::memory_resource* pool = nullptr;
    void operator()(Row* row) const { std::pmr::polymorphic_allocator<>(pool).delete_object(row); }
};
using RowPtr = std::unique_ptr<Row, RowDeleter>;

// An ordering: fields ascending, or one field descending.
struct IndexDef {
    std::string name;
    std::vector<std::string> fields;
    bool descending = false;
};

struct MasterLink {
    class Table* master = nullptr;
    std::string detailField;
    std::string masterField;
    explicit operator bool() const { return master != nullptr; }
};

// Bound views (grid models) watch a table through this interface.
class TableObserver {
  public:
    virtual ~TableObserver() = default;
    // Rows, values or the view changed: everything shown must be read again.
    virtual void TableDataChanged(class Table& table) = 0;
    // Only the current row moved.
    virtual void TableCursorMoved(class Table& /*table*/) {}
};

class Table {
  public:
    enum class State { Browse, Insert, Edit };

    Table(std::string name, std::vector<FieldDef> fields);
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const std::string& Name() const { return name_; }
    const std::vector<FieldDef>& Fields() const { return fields_; }
    // Field position by name, ignoring case; TableError when there is none.
    int FieldIndex(std::string_view fieldName) const;
    std::optional<int> FindField(std::string_view fieldName) const;

    // Cursor over the current view.
    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof();
    bool Bof();
    int RecordCount();
    int CurrentIndex();  // position in the view, -1 when the view is empty
    void MoveTo(int index);
    bool IsEmpty() { return RecordCount() == 0; }

    // Field values of the current row (or of the pending row while editing). An empty view
    // reads as empty text and 0.
    std::string AsString(int field);
    std::string AsString(std::string_view fieldName) { return AsString(FieldIndex(fieldName)); }
    SharedText AsSharedText(int field);
    std::int32_t AsInteger(int field);
    std::int32_t AsInteger(std::string_view fieldName) { return AsInteger(FieldIndex(fieldName)); }
    bool AsBoolean(int field);
    bool AsBoolean(std::string_view fieldName) { return AsBoolean(FieldIndex(fieldName)); }
    bool IsNull(int field);

    // Values of any row of the view, for bound views.
    std::string CellText(int index, int field);
    const Cell& CellAt(int index, int field);

    // Editing. Set* need Insert or Edit state; longer texts are cut to the field's width.
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void CheckBrowseMode();  // posts a pending edit
    void Delete();
    State GetState() const { return state_; }
    void SetString(int field, std::string_view value);
    void SetString(std::string_view fieldName, std::string_view value) {
        SetString(FieldIndex(fieldName), value);
    }
    void SetText(int field, const SharedText& value);  // shares the text when it fits
    void SetInteger(int field, std::int64_t value);
    void SetInteger(std::string_view fieldName, std::int64_t value) {
        SetInteger(FieldIndex(fieldName), value);
    }
    void SetBoolean(int field, bool value);
    void SetBoolean(std::string_view fieldName, bool value) {
        SetBoolean(FieldIndex(fieldName), value);
    }

    // Exact, case-sensitive search of the view from its first row; moves the cursor there.
    bool Locate(std::string_view fieldName, std::string_view value);

    void EmptyTable();
    // Makes room for count rows in all, so a bulk append does not regrow the row list.
    void ReserveRows(std::size_t count) { rows_.reserve(count); }

    // Orderings.
    void AddIndex(IndexDef index);
    void SetIndexName(const std::string& indexName);
    void SetIndexFieldNames(const std::string& fieldList);  // "Keyword;Rank"
    void ClearOrdering();

    // Master/detail.
    void SetMasterLink(const MasterLink& link);
    void RemoveMasterLink() { SetMasterLink(MasterLink{}); }
    const MasterLink& GetMasterLink() const { return link_; }

    // Notifications of bound views; nested suspends resume at the outermost resume.
    void AddObserver(TableObserver* observer);
    void RemoveObserver(TableObserver* observer);
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // All rows in storage (append) order, for files; not filtered or ordered.
    const std::vector<RowPtr>& StoredRows() const { return rows_; }
    // A new row of this table with one null cell per field.
    RowPtr NewRow();
    // Replaces every row at once (files); the rows must come from NewRow().
    void ReplaceRows(std::vector<RowPtr> rows);
    // Cuts a text to the width of a field (unchanged for memos).
    std::string_view FitText(int field, std::string_view value) const;

  private:
    void EnsureView();
    void InvalidateView();
    std::optional<Cell> MasterKey();
    bool MatchesMaster(const Row& row, const Cell& key) const;
    void SortView();
    void SetCurrent(int index);
    void NotifyData();
    void NotifyCursor();
    void MasterChanged();
    Row& EditRow(int field);
    Row* CurrentRow();
    const Cell& ReadCell(int field);
    void CheckField(int field) const;

    std::string name_;
    std::vector<FieldDef> fields_;
    // Before every row, so they go last.
    LargePageRegions rowMemory_;
    std::pmr::unsynchronized_pool_resource pool_;
    std::vector<RowPtr> rows_;

    std::vector<Row*> view_;
    bool viewDirty_ = true;
    Row* current_ = nullptr;
    int currentIndex_ = -1;
    bool eof_ = true;
    bool bof_ = true;

    std::vector<IndexDef> indexes_;
    std::vector<int> orderFields_;
    bool orderDescending_ = false;

    MasterLink link_;
    int linkField_ = -1;
    int masterLinkField_ = -1;
    std::optional<Cell> masterKeySeen_;
    std::vector<Table*> details_;

    State state_ = State::Browse;
    RowPtr pending_;

    // The last shared text fitted to each field's width, so rows that repeat one long text
    // neither count its characters again nor copy it.
    struct FitMemo {
        SharedText source;
        SharedText fitted;
    };
    std::vector<FitMemo> fitMemo_;

    std::vector<TableObserver*> observers_;
    int disableCount_ = 0;
    bool pendingDataNotice_ = false;
    bool pendingCursorNotice_ = false;
};

// Keeps a table's notifications suspended for a scope.
class ControlsDisabled {
  public:
    explicit ControlsDisabled(Table& table) : table_(table) { table_.DisableControls(); }
    ~ControlsDisabled() { table_.EnableControls(); }
    ControlsDisabled(const ControlsDisabled&) = delete;
    ControlsDisabled& operator=(const ControlsDisabled&) = delete;

  private:
    Table& table_;
};

}  // namespace kv::data
