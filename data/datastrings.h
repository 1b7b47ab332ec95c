// The user-visible texts of the data folder, each exactly once; "%s" places are filled with
// text::FormatText. Folders above refer to these names for the same texts.
#pragma once

#include <string_view>

namespace kv::data::strings {

// Files; "%s" is the file name.
inline constexpr const char* kCannotOpenFile = "Cannot open file %s";
inline constexpr const char* kCannotCreateFile = "Cannot create file %s";
inline constexpr const char* kCannotRenameFile = "Cannot rename file %s";

// set.ini: section, key, file name.
inline constexpr const char* kIniCannotWrite =
    "Cannot write [%s] %s to %s: a line break or a misplaced sign in the text";

// The table engine; the first "%s" of most is the table's name.
inline constexpr const char* kFieldNotFound = "%s: Field '%s' not found";
inline constexpr const char* kFieldIndexOutOfRange = "%s: Field index out of range";
inline constexpr const char* kRowIndexOutOfRange = "%s: Row index out of range";
inline constexpr const char* kNotInEditMode = "%s: Table not in edit or insert mode";
inline constexpr const char* kEmptyTable = "%s: Cannot perform this operation on an empty table";
inline constexpr const char* kIndexNotFound = "%s: Index '%s' not found";
inline constexpr const char* kOwnMaster = "%s: A table cannot be its own master";
inline constexpr const char* kNotAnInteger = "'%s' is not a valid integer value";
inline constexpr const char* kNotABoolean = "'%s' is not a valid boolean value";
// Value, field name, then one of the two ranges.
inline constexpr const char* kValueOutOfRange =
    "%s is not a valid value for field '%s'. The allowed range is %s";
inline constexpr const char* kWordRange = "0 to 65535";
inline constexpr const char* kIntegerRange = "-2147483648 to 2147483647";

// A table file that does not load: file name, table name, then one of the reasons below.
inline constexpr const char* kNotATableFile = "File %s is not a valid %s table file: %s";
inline constexpr const char* kFileDamaged = "it is damaged (%s)";
inline constexpr const char* kFileHoldsNoTable = "it holds no table %s";
inline constexpr const char* kFieldMissing = "the field %s is missing";
inline constexpr const char* kFieldNotInteger = "field %s holds a value that is not an integer";
inline constexpr const char* kFieldValueOutOfRange =
    "field %s holds the value %s, which is out of range";

// The program folder's lock; "%s" is the folder.
inline constexpr const char* kFolderBusy =
    "The program folder %s is busy: another run of Kelvane uses it";
inline constexpr const char* kWaitingForFolder =
    "Another run of Kelvane uses the program folder %s. Waiting for it to end...";

// The result grids' captions and footer, shown by the window and written by every export.
inline constexpr const char* kKeywordCaption = "Keyword";
inline constexpr const char* kCountCaption = "Count";
inline constexpr const char* kRankCaption = "Rank";
inline constexpr const char* kWebPageCaption = "Web page";
inline constexpr const char* kMetaKeywordsCaption = "META Keywords";
inline constexpr const char* kSourcesCaption = "Sources";
inline constexpr const char* kTotal = "Total:";

// Exports.
inline constexpr const char* kExportTooManyRows = "The grid has too many rows for a workbook: %s";
// The save dialog's filter entries, in the order of the formats.
inline constexpr std::string_view kExportSaveFilter =
    "Text files (*.txt)|*.txt|Comma separated values (*.csv)|*.csv|HTML file (*.htm)|*.htm|"
    "Rich Text Format (*.rtf)|*.rtf|Microsoft Excel Workbook (*.xls)|*.xls";

}  // namespace kv::data::strings
