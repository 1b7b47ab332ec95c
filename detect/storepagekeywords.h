// One fetched result page's META keywords, kept as one row of the result cache.
// Tests: tests/detect/storepagekeywords_test.cpp; fuzzed by tests/fuzz.
#pragma once

#include <string>
#include <string_view>

#include "data/table.h"

namespace kv::detect {

// Appends (engine, address, rank, content of the first META keywords element inside the page's
// first head) to the result cache and returns true; the row's word comes from the cache's link
// to the keyword history. A page without a head, or without such an element in it, gives no
// row and false. Raises what the table engine raises.
bool StorePageKeywords(data::Table& cache, const std::string& engineName,
                       const std::string& address, int rank, std::string_view pageText);

}  // namespace kv::detect
