// What a query is about: the keyword's words, the slug that carries them in result addresses,
// and the META keywords a result site declares for them. Every choice is seeded by the words
// and the site number, so the same query always yields the same pages.
// Tests: tests/tools/demopages_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::demo {

// A keyword as it travels in result addresses: ASCII letters and digits lower-cased, bytes
// from 0x80 percent-encoded, every run of other characters one "-". "Red Shoes!" gives
// "red-shoes". A keyword without any of these gives "query".
std::string SlugOf(std::string_view keyword);

struct Topic {
    std::vector<std::string> words;  // "red", "shoes"
    std::string phrase;              // "red shoes"
};

// Reads the words back out of a slug (percent escapes decoded). Empty when there is none.
Topic TopicOfSlug(std::string_view slug);

// The keywords site `site` declares for the topic, in page order, before any spelling style.
// Most sites name the phrase; the rest come from the words, their synonyms and shop phrases,
// so the sites of one query share many keywords.
std::vector<std::string> SiteKeywords(const Topic& topic, int site);

}  // namespace kv::demo
