// The exception base of the data folder: every failure of its files, tables and exports is a
// DataError whose message is the user-visible text, so a caller that only reports the failure
// catches this one type. TableError, IniError and ExportError stay distinct below it because
// some callers catch one layer only: the table file writer turns a TableError raised while
// writing into its "Cannot create file" error and lets any other failure through.
#pragma once

#include "text/foldererror.h"

namespace kv::data {

struct DataFolder;
using DataError = text::FolderError<DataFolder>;

}  // namespace kv::data
