// One fetched result page's declared keywords, kept as one row of the result cache.
// Tests: tests/detect/storepagekeywords_test.cpp; fuzzed by tests/fuzz.
#pragma once

#include <string>
#include <string_view>

#include "data/table.h"
#include "detect/keywordsources.h"

namespace kv::detect {

// Appends (engine, address, rank, keyword text, sources) to the result cache and returns true
// when the page declares keywords in at least one of the chosen sources; the row's word comes
// from the cache's link to the keyword history. The keyword text is the union of the sources
// (declaredtopics.h); with META keywords alone it is the content of the first META keywords
// element inside the page's first head, unchanged, as it always was. The cache's "Sources"
// field, when it has one, gets the sources the page declares ("meta,tags"). A page that
// declares nothing gives no row and false. Raises what the table engine raises.
bool StorePageKeywords(data::Table& cache, const std::string& engineName,
                       const std::string& address, int rank, std::string_view pageText,
                       KeywordSources sources = KeywordSources::MetaOnly());

}  // namespace kv::detect
