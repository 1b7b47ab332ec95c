// The keywords a parsed page declares in the chosen sources, and the one keyword text that is
// stored for them: the union over the sources, each keyword once.
// Tests: tests/detect/declaredtopics_test.cpp.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "detect/keywordsources.h"
#include "html/hierarchy.h"

namespace kv::detect {

// What one page declares. The META view points into the parsed tree.
struct PageDeclarations {
    KeywordSources found;  // the chosen sources the page declares, even when empty
    // The content of the first META keywords element of the first head (as ever).
    std::string_view meta;
    // The content of the first <meta name="news_keywords"> anywhere in the page, and of every
    // <meta property="article:tag"> anywhere in it, in order. Their character references are
    // decoded: the ";" of "&amp;" would otherwise cut a keyword in two when the stored text is
    // read. (META keywords stay as written, as they always did.)
    std::string news;
    std::vector<std::string> tags;
    // The texts of the keywords properties of every JSON-LD block (see structureddata.h).
    std::vector<std::string> data;
};

PageDeclarations ReadPageDeclarations(const html::THierarchyNode* root, KeywordSources chosen);

// The keyword text stored for the page. With nothing declared beyond META keywords it is the
// META content unchanged. Otherwise the keywords of the other sources, in source order, that
// the text does not hold yet (letter case ignored, as a page's keyword list merges them) are
// appended to it after ", ", whole keywords only and while the text stays within maxChars
// characters, so the table's cut never halves one of them.
std::string JoinDeclaredKeywords(const PageDeclarations& page, std::size_t maxChars);

}  // namespace kv::detect
