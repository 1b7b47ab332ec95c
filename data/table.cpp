#include "data/table.h"

#include <algorithm>
#include <charconv>

#include "data/datastrings.h"
#include "text/format.h"
#include "text/textcompare.h"
#include "text/utf8.h"

namespace kv::data {

namespace {

const std::string kEmpty;

// The pool keeps its chunks until the table ends, which is when rowMemory_ gives back its
// regions. Blocks above the largest pool size would go to rowMemory_ directly and stay until
// then too; a row is far smaller than this.
std::pmr::pool_options RowPoolOptions() {
    std::pmr::pool_options options;
    options.max_blocks_per_chunk = std::size_t{1} << 18;
    options.largest_required_pool_block = 4096;
    return options;
}

std::string_view TextOf(const Cell& c) {
    return c.text ? std::string_view(*c.text) : kEmpty;
}

bool IsTextField(FieldType t) {
    return t == FieldType::String || t == FieldType::Memo;
}

std::string NumberText(const Cell& c, FieldType type) {
    if (c.null) return {};
    if (type == FieldType::Boolean) return c.number ? "True" : "False";
    return std::to_string(c.number);
}

// Key equality of master/detail links: exact text, or the same number.
bool SameCell(const Cell& a, const Cell& b, bool text) {
    if (text) return TextOf(a) == TextOf(b);
    return a.null == b.null && a.number == b.number;
}

int CompareCells(const Cell& a, const Cell& b, bool text) {
    if (a.null != b.null) return a.null ? -1 : 1;
    if (text) {
        const auto ta = TextOf(a), tb = TextOf(b);
        if (ta == tb) return 0;
        return text::CollateRespectingCase(ta, tb);
    }
    return a.number < b.number ? -1 : (a.number == b.number ? 0 : 1);
}

}  // namespace

SharedText MakeText(std::string_view s) {
    return std::make_shared<const std::string>(s);
}

SharedText MakeText(std::string&& s) {
    return std::make_shared<const std::string>(std::move(s));
}

Table::Table(std::string name, std::vector<FieldDef> fields)
    : name_(std::move(name)),
      fields_(std::move(fields)),
      pool_(RowPoolOptions(), &rowMemory_),
      fitMemo_(fields_.size()) {}

Table::~Table() {
    if (link_.master != nullptr) std::erase(link_.master->details_, this);
    for (Table* d : details_) {
        d->link_ = MasterLink{};
        d->linkField_ = d->masterLinkField_ = -1;
    }
}

std::optional<int> Table::FindField(std::string_view fieldName) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (text::SameIgnoringCase(fields_[i].name, fieldName)) return static_cast<int>(i);
    return std::nullopt;
}

int Table::FieldIndex(std::string_view fieldName) const {
    if (auto i = FindField(fieldName)) return *i;
    throw TableError(text::FormatText(strings::kFieldNotFound, {name_, fieldName}));
}

void Table::CheckField(int field) const {
    if (field < 0 || field >= static_cast<int>(fields_.size()))
        throw TableError(text::FormatText(strings::kFieldIndexOutOfRange, name_));
}

// ---- view and cursor ----

std::optional<Cell> Table::MasterKey() {
    Table* m = link_.master;
    m->EnsureView();
    if (m->current_ == nullptr) return std::nullopt;
    return m->current_->cells[static_cast<std::size_t>(masterLinkField_)];
}

bool Table::MatchesMaster(const Row& row, const Cell& key) const {
    const Cell& c = row.cells[static_cast<std::size_t>(linkField_)];
    const bool detailText = IsTextField(fields_[static_cast<std::size_t>(linkField_)].type);
    const bool masterText =
        IsTextField(link_.master->fields_[static_cast<std::size_t>(masterLinkField_)].type);
    if (detailText == masterText) return SameCell(c, key, detailText);
    const auto asText = [](const Cell& x, bool isText) {
        return isText ? std::string(TextOf(x)) : NumberText(x, FieldType::Integer);
    };
    return asText(c, detailText) == asText(key, masterText);
}

void Table::EnsureView() {
    std::optional<Cell> key;
    if (link_) {
        key = MasterKey();
        const bool same = key.has_value() == masterKeySeen_.has_value() &&
                          (!key || (SameCell(*key, *masterKeySeen_, true) &&
                                    SameCell(*key, *masterKeySeen_, false)));
        if (!same) {
            // The master moved: the detail starts again at its first row.
            masterKeySeen_ = key;
            viewDirty_ = true;
            current_ = nullptr;
            eof_ = bof_ = true;
        }
    }
    if (!viewDirty_) return;
    view_.clear();
    view_.reserve(rows_.size());
    for (const auto& row : rows_)
        if (!link_ || (key && MatchesMaster(*row, *key))) view_.push_back(row.get());
    SortView();
    viewDirty_ = false;
    int index = view_.empty() ? -1 : 0;
    if (current_ != nullptr) {
        const auto it = std::find(view_.begin(), view_.end(), current_);
        if (it != view_.end()) index = static_cast<int>(it - view_.begin());
    }
    currentIndex_ = index;
    current_ = index >= 0 ? view_[static_cast<std::size_t>(index)] : nullptr;
    if (view_.empty()) eof_ = bof_ = true;
}

void Table::SortView() {
    std::vector<int> keys;
    for (int f : orderFields_)
        if (!(link_ && f == linkField_)) keys.push_back(f);  // constant under the link
    if (keys.empty()) return;
    std::stable_sort(view_.begin(), view_.end(), [&](const Row* a, const Row* b) {
        for (int f : keys) {
            const auto i = static_cast<std::size_t>(f);
            const int c = CompareCells(a->cells[i], b->cells[i], IsTextField(fields_[i].type));
            if (c != 0) return orderDescending_ ? c > 0 : c < 0;
        }
        return false;
    });
}

void Table::InvalidateView() {
    viewDirty_ = true;
}

void Table::SetCurrent(int index) {
    currentIndex_ = index;
    current_ = index >= 0 ? view_[static_cast<std::size_t>(index)] : nullptr;
}

Row* Table::CurrentRow() {
    EnsureView();
    return current_;
}

void Table::First() {
    CheckBrowseMode();
    EnsureView();
    SetCurrent(view_.empty() ? -1 : 0);
    bof_ = true;
    eof_ = view_.empty();
    NotifyCursor();
}

void Table::Last() {
    CheckBrowseMode();
    EnsureView();
    SetCurrent(static_cast<int>(view_.size()) - 1);
    bof_ = view_.empty();
    eof_ = true;
    NotifyCursor();
}

void Table::Next() {
    CheckBrowseMode();
    EnsureView();
    if (currentIndex_ + 1 < static_cast<int>(view_.size())) {
        SetCurrent(currentIndex_ + 1);
        bof_ = eof_ = false;
        NotifyCursor();
    } else {
        eof_ = true;
    }
}

void Table::Prior() {
    CheckBrowseMode();
    EnsureView();
    if (currentIndex_ > 0) {
        SetCurrent(currentIndex_ - 1);
        bof_ = eof_ = false;
        NotifyCursor();
    } else {
        bof_ = true;
    }
}

bool Table::Eof() {
    EnsureView();
    return eof_ || view_.empty();
}

bool Table::Bof() {
    EnsureView();
    return bof_ || view_.empty();
}

int Table::RecordCount() {
    EnsureView();
    return static_cast<int>(view_.size());
}

int Table::CurrentIndex() {
    EnsureView();
    return currentIndex_;
}

void Table::MoveTo(int index) {
    CheckBrowseMode();
    EnsureView();
    if (index < 0 || index >= static_cast<int>(view_.size()))
        throw TableError(text::FormatText(strings::kRowIndexOutOfRange, name_));
    SetCurrent(index);
    bof_ = eof_ = false;
    NotifyCursor();
}

// ---- reading ----

const Cell& Table::ReadCell(int field) {
    CheckField(field);
    static const Cell kNull;
    if (state_ != State::Browse) return pending_->cells[static_cast<std::size_t>(field)];
    const Row* row = CurrentRow();
    return row != nullptr ? row->cells[static_cast<std::size_t>(field)] : kNull;
}

std::string Table::AsString(int field) {
    const Cell& c = ReadCell(field);
    const FieldType type = fields_[static_cast<std::size_t>(field)].type;
    return IsTextField(type) ? std::string(TextOf(c)) : NumberText(c, type);
}

SharedText Table::AsSharedText(int field) {
    const Cell& c = ReadCell(field);
    if (IsTextField(fields_[static_cast<std::size_t>(field)].type))
        return c.text ? c.text : MakeText("");
    return MakeText(AsString(field));
}

std::int32_t Table::AsInteger(int field) {
    const Cell& c = ReadCell(field);
    if (!IsTextField(fields_[static_cast<std::size_t>(field)].type)) return c.number;
    const std::string_view t = TextOf(c);
    if (t.empty()) return 0;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size())
        throw TableError(text::FormatText(strings::kNotAnInteger, t));
    return value;
}

bool Table::AsBoolean(int field) {
    const Cell& c = ReadCell(field);
    if (!IsTextField(fields_[static_cast<std::size_t>(field)].type)) return c.number != 0;
    return text::SameAsciiNoCase(TextOf(c), "True");
}

bool Table::IsNull(int field) {
    return ReadCell(field).null;
}

const Cell& Table::CellAt(int index, int field) {
    CheckField(field);
    EnsureView();
    if (index < 0 || index >= static_cast<int>(view_.size()))
        throw TableError(text::FormatText(strings::kRowIndexOutOfRange, name_));
    return view_[static_cast<std::size_t>(index)]->cells[static_cast<std::size_t>(field)];
}

std::string Table::CellText(int index, int field) {
    const Cell& c = CellAt(index, field);
    const FieldType type = fields_[static_cast<std::size_t>(field)].type;
    return IsTextField(type) ? std::string(TextOf(c)) : NumberText(c, type);
}

// ---- editing ----

std::string_view Table::FitText(int field, std::string_view value) const {
    const FieldDef& f = fields_[static_cast<std::size_t>(field)];
    return f.type == FieldType::String ? text::CutChars(value, f.size) : value;
}

Row& Table::EditRow(int field) {
    CheckField(field);
    if (state_ == State::Browse) throw TableError(text::FormatText(strings::kNotInEditMode, name_));
    return *pending_;
}

void Table::Append() {
    CheckBrowseMode();
    RowPtr row = NewRow();
    if (link_) {
        // A new detail row belongs to the master's current row.
        if (auto key = MasterKey()) {
            Cell& c = row->cells[static_cast<std::size_t>(linkField_)];
            const bool detailText = IsTextField(fields_[static_cast<std::size_t>(linkField_)].type);
            const bool masterText =
                IsTextField(link_.master->fields_[static_cast<std::size_t>(masterLinkField_)].type);
            if (detailText == masterText) {
                c = *key;
            } else if (detailText) {
                c.text = MakeText(NumberText(*key, FieldType::Integer));
                c.null = key->null;
            } else {
                std::from_chars(TextOf(*key).data(), TextOf(*key).data() + TextOf(*key).size(),
                                c.number);
                c.null = key->null;
            }
        }
    }
    pending_ = std::move(row);
    state_ = State::Insert;
}

void Table::Edit() {
    if (state_ != State::Browse) return;
    Row* row = CurrentRow();
    if (row == nullptr) throw TableError(text::FormatText(strings::kEmptyTable, name_));
    pending_ =
        RowPtr(std::pmr::polymorphic_allocator<>(&pool_).new_object<Row>(*row), RowDeleter{&pool_});
    state_ = State::Edit;
}

void Table::Post() {
    if (state_ == State::Browse) return;
    if (state_ == State::Insert) {
        rows_.push_back(std::move(pending_));
        current_ = rows_.back().get();
    } else {
        *current_ = std::move(*pending_);
        pending_.reset();
    }
    state_ = State::Browse;
    eof_ = bof_ = false;
    viewDirty_ = true;
    NotifyData();
}

void Table::Cancel() {
    pending_.reset();
    state_ = State::Browse;
}

void Table::CheckBrowseMode() {
    if (state_ != State::Browse) Post();
}

void Table::Delete() {
    if (state_ == State::Insert) {
        Cancel();
        return;
    }
    Cancel();
    Row* row = CurrentRow();
    if (row == nullptr) throw TableError(text::FormatText(strings::kEmptyTable, name_));
    const int index = currentIndex_;
    view_.erase(view_.begin() + index);
    const auto it =
        std::find_if(rows_.begin(), rows_.end(), [row](const auto& r) { return r.get() == row; });
    rows_.erase(it);
    // The row that followed becomes current, or the new last row.
    SetCurrent(std::min(index, static_cast<int>(view_.size()) - 1));
    eof_ = bof_ = view_.empty();
    NotifyData();
}

void Table::SetString(int field, std::string_view value) {
    Row& row = EditRow(field);
    Cell& c = row.cells[static_cast<std::size_t>(field)];
    const FieldDef& f = fields_[static_cast<std::size_t>(field)];
    if (IsTextField(f.type)) {
        c.text = MakeText(FitText(field, value));
        c.null = false;
        return;
    }
    if (value.empty()) {
        c = Cell{};
        return;
    }
    if (f.type == FieldType::Boolean) {
        if (text::SameAsciiNoCase(value, "True")) return SetBoolean(field, true);
        if (text::SameAsciiNoCase(value, "False")) return SetBoolean(field, false);
        throw TableError(text::FormatText(strings::kNotABoolean, value));
    }
    std::int64_t number = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (ec != std::errc() || end != value.data() + value.size())
        throw TableError(text::FormatText(strings::kNotAnInteger, value));
    SetInteger(field, number);
}

void Table::SetText(int field, const SharedText& value) {
    Row& row = EditRow(field);
    if (!IsTextField(fields_[static_cast<std::size_t>(field)].type) || !value)
        return SetString(field, value ? std::string_view(*value) : std::string_view());
    Cell& c = row.cells[static_cast<std::size_t>(field)];
    FitMemo& memo = fitMemo_[static_cast<std::size_t>(field)];
    if (memo.source != value) {
        const std::string_view fit = FitText(field, *value);
        memo.source = value;
        memo.fitted = fit.size() == value->size() ? value : MakeText(fit);
    }
    c.text = memo.fitted;
    c.null = false;
}

void Table::SetInteger(int field, std::int64_t value) {
    Row& row = EditRow(field);
    const FieldDef& f = fields_[static_cast<std::size_t>(field)];
    if (IsTextField(f.type)) return SetString(field, std::to_string(value));
    const bool fits = f.type == FieldType::Word      ? value >= 0 && value <= 0xFFFF
                      : f.type == FieldType::Boolean ? true
                                                     : value >= INT32_MIN && value <= INT32_MAX;
    if (!fits)
        throw TableError(text::FormatText(
            strings::kValueOutOfRange,
            {std::to_string(value), f.name,
             f.type == FieldType::Word ? strings::kWordRange : strings::kIntegerRange}));
    Cell& c = row.cells[static_cast<std::size_t>(field)];
    c.number = f.type == FieldType::Boolean ? (value != 0) : static_cast<std::int32_t>(value);
    c.null = false;
}

void Table::SetBoolean(int field, bool value) {
    EditRow(field);
    if (IsTextField(fields_[static_cast<std::size_t>(field)].type))
        return SetString(field, value ? "True" : "False");
    SetInteger(field, value ? 1 : 0);
}

bool Table::Locate(std::string_view fieldName, std::string_view value) {
    const int field = FieldIndex(fieldName);
    CheckBrowseMode();
    EnsureView();
    const FieldType type = fields_[static_cast<std::size_t>(field)].type;
    for (std::size_t i = 0; i < view_.size(); ++i) {
        const Cell& c = view_[i]->cells[static_cast<std::size_t>(field)];
        const bool match = IsTextField(type) ? TextOf(c) == value : NumberText(c, type) == value;
        if (match) {
            SetCurrent(static_cast<int>(i));
            bof_ = eof_ = false;
            NotifyCursor();
            return true;
        }
    }
    return false;
}

void Table::EmptyTable() {
    Cancel();
    rows_.clear();
    view_.clear();
    current_ = nullptr;
    currentIndex_ = -1;
    eof_ = bof_ = true;
    viewDirty_ = true;
    NotifyData();
}

RowPtr Table::NewRow() {
    RowPtr row(std::pmr::polymorphic_allocator<>(&pool_).new_object<Row>(), RowDeleter{&pool_});
    row->cells.resize(fields_.size());
    return row;
}

void Table::ReplaceRows(std::vector<RowPtr> rows) {
    Cancel();
    rows_ = std::move(rows);
    current_ = nullptr;
    viewDirty_ = true;
    eof_ = bof_ = true;
    NotifyData();
}

// ---- orderings ----

void Table::AddIndex(IndexDef index) {
    for (const auto& f : index.fields) FieldIndex(f);
    indexes_.push_back(std::move(index));
}

void Table::SetIndexName(const std::string& indexName) {
    if (indexName.empty()) return ClearOrdering();
    for (const auto& index : indexes_) {
        if (!text::SameAsciiNoCase(index.name, indexName)) continue;
        orderFields_.clear();
        for (const auto& f : index.fields) orderFields_.push_back(FieldIndex(f));
        orderDescending_ = index.descending;
        viewDirty_ = true;
        NotifyData();
        return;
    }
    throw TableError(text::FormatText(strings::kIndexNotFound, {name_, indexName}));
}

void Table::SetIndexFieldNames(const std::string& fieldList) {
    std::vector<int> fields;
    std::size_t start = 0;
    while (start <= fieldList.size()) {
        const std::size_t end = std::min(fieldList.find(';', start), fieldList.size());
        if (end > start) fields.push_back(FieldIndex(fieldList.substr(start, end - start)));
        start = end + 1;
    }
    orderFields_ = std::move(fields);
    orderDescending_ = false;
    viewDirty_ = true;
    NotifyData();
}

void Table::ClearOrdering() {
    orderFields_.clear();
    orderDescending_ = false;
    viewDirty_ = true;
    NotifyData();
}

// ---- master/detail ----

void Table::SetMasterLink(const MasterLink& link) {
    const int detailField = link ? FieldIndex(link.detailField) : -1;
    const int masterField = link ? link.master->FieldIndex(link.masterField) : -1;
    if (link.master == this) throw TableError(text::FormatText(strings::kOwnMaster, name_));
    if (link_.master != nullptr) std::erase(link_.master->details_, this);
    link_ = link;
    linkField_ = detailField;
    masterLinkField_ = masterField;
    if (link_.master != nullptr) link_.master->details_.push_back(this);
    masterKeySeen_.reset();
    viewDirty_ = true;
    current_ = nullptr;
    eof_ = bof_ = true;
    NotifyData();
}

void Table::MasterChanged() {
    NotifyData();
}

// ---- notifications ----

void Table::AddObserver(TableObserver* observer) {
    observers_.push_back(observer);
}

void Table::RemoveObserver(TableObserver* observer) {
    std::erase(observers_, observer);
}

void Table::DisableControls() {
    ++disableCount_;
}

void Table::EnableControls() {
    if (disableCount_ == 0 || --disableCount_ > 0) return;
    if (pendingDataNotice_) {
        pendingDataNotice_ = pendingCursorNotice_ = false;
        NotifyData();
    } else if (pendingCursorNotice_) {
        pendingCursorNotice_ = false;
        NotifyCursor();
    }
}

void Table::NotifyData() {
    if (disableCount_ > 0) {
        pendingDataNotice_ = true;
        return;
    }
    for (TableObserver* o : std::vector<TableObserver*>(observers_)) o->TableDataChanged(*this);
    for (Table* d : std::vector<Table*>(details_)) d->MasterChanged();
}

void Table::NotifyCursor() {
    if (disableCount_ > 0) {
        pendingCursorNotice_ = true;
        return;
    }
    for (TableObserver* o : std::vector<TableObserver*>(observers_)) o->TableCursorMoved(*this);
    for (Table* d : std::vector<Table*>(details_)) d->MasterChanged();
}

}  // namespace kv::data
