// Writing an export file whole or not at all: the bytes go to a new temporary file beside
// the target, which then replaces the target by a rename.

#include "data/export_writers.h"
#include "data/exportgrid.h"
#include "data/replacementfile.h"

namespace kv::data {

void ExportGridToFile(ExportFormat format, const ExportGrid& grid, const ExportRowSource& rows,
                      const std::string& path) {
    const std::string bytes = ExportGridBytes(format, grid, rows);
    if (!ReplaceFileContents(path, bytes))
        throw ExportError(exportdetail::FormatText(strings::kCannotCreateFile, path));
}

}  // namespace kv::data
