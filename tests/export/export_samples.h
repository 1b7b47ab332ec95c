// Grids and rows shared by the export tests: the two designed grids filled with the texts
// that each format has to treat specially, and a small hand-made grid.
#pragma once

#include <string>

#include "data/exportgrid.h"

namespace kv::data::testing {

// Frequency table rows: plain, quotes with "&", "<", ">", braces and backslashes, Latin
// text with a euro sign, an empty keyword; counts 5, 3, 2, 1, 1.
ExportTableRows SampleFrequencyRows();

// Per-page rows: ranks 1 to 3, a null address, an empty keyword text, Cyrillic and an
// emoji (outside the 16-bit range), ";" and quotes.
ExportTableRows SamplePageRows();

// Two columns "A" (field "a", left) and "B" (field "b", right), Arial 10, no footer.
ExportGrid TinyGrid();
ExportTableRows TinyRows(std::vector<std::pair<std::string, std::int64_t>> rows);

// Folder of the golden files.
std::string GoldenDir();

}  // namespace kv::data::testing
