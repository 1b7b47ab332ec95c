#include "html/stopscan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace kv::html {
namespace {

std::size_t NaiveSkip(const std::string& s, std::size_t from) {
    while (from < s.size() && s[from] != '<' && s[from] != '>' && s[from] != '/') ++from;
    return from;
}

// Every length around the 16-byte steps, stops anywhere, and bytes above 0x7f, which are
// negative as char, must give what a byte-by-byte scan gives.
TEST(StopScanTest, FindsTheFirstStopLikeAPlainScan) {
    std::mt19937 random(7);
    const std::string alphabet("ab\x80\xff\xbc\x3e<>/\0 ", 11);
    for (int round = 0; round < 20000; ++round) {
        std::string text(random() % 70, 'x');
        for (char& c : text)
            if (random() % 4 == 0) c = alphabet[random() % alphabet.size()];
        const std::size_t from = text.empty() ? 0 : random() % (text.size() + 1);
        ASSERT_EQ((SkipToStop<'<', '>', '/'>(text.data(), from, text.size())),
                  NaiveSkip(text, from))
            << "text: " << text << " from " << from;
    }
}

}  // namespace
}  // namespace kv::html
