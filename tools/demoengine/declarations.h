// Where an ordinary result site declares its topics beyond the META keywords element: news
// keywords, Open Graph article tags and JSON-LD structured data. Most sites keep to META
// keywords; some add the other ways, and some declare their topics in one other way only, so
// a theme read from every source differs from one read from META keywords alone.
// Tests: tests/tools/demopages_test.cpp.
#pragma once

#include <string>

#include "tools/demoengine/topic.h"

namespace kv::demo {

enum class Declaration {
    MetaOnly,     // the META keywords element, as sites always did
    NewsOnly,     // <meta name="news_keywords"> and nothing else
    TagsOnly,     // one <meta property="article:tag"> per keyword and nothing else
    DataOnly,     // a JSON-LD Article with a keywords comma text and nothing else
    MetaAndData,  // META keywords and a JSON-LD "@graph" whose items add keywords
    AllFour,      // every way, overlapping in different letter case
};

Declaration DeclarationOfSite(int site);

inline bool DeclaresMeta(Declaration d) {
    return d == Declaration::MetaOnly || d == Declaration::MetaAndData || d == Declaration::AllFour;
}

// The head elements that declare the site's topics in the ways other than META keywords,
// ready to go into the head (escaped for HTML and JSON); empty for MetaOnly.
std::string OtherDeclarations(const Topic& topic, int site);

// A text as a JSON string literal that is also safe inside a script element.
std::string JsonString(std::string_view text);

}  // namespace kv::demo
