// The theme with spellings that differ only in letter case counted as one keyword, shown in
// its most frequent spelling. Optional: by default "SEO" and "seo" are two keywords.
// Tests: tests/detect/casevariants_test.cpp.
#pragma once

#include "data/tables.h"

namespace kv::detect {

// Merges the frequency table's rows whose keywords are equal ignoring case (the user locale's
// comparison) into one row: the most frequent spelling (the first of equals in table order)
// with the sum of their counts, which is still a number of distinct pages, since a page lists
// one spelling of each keyword. The per-page rows of the merged spellings move to the kept
// one. The per-page table must be unlinked from the frequency table.
void MergeCaseVariants(data::DataTables& tables);

}  // namespace kv::detect
