#include "detect/keywordrules.h"

#include <gtest/gtest.h>

namespace kv::detect {
namespace {

TEST(CheckedKeyword, TrimsBlanksAndRefusesEmptyMultiLineAndTooLongTexts) {
    EXPECT_EQ(CheckedKeyword("  red shoes\t"), "red shoes");
    EXPECT_EQ(CheckedKeyword("C++"), "C++");
    EXPECT_EQ(CheckedKeyword(std::string(100, 'k')), std::string(100, 'k'));
    // Characters, not bytes: 100 two-byte letters fit.
    std::string umlauts;
    for (int i = 0; i < 100; ++i) umlauts += "\xC3\xA4";
    EXPECT_EQ(CheckedKeyword(umlauts), umlauts);

    struct Refused {
        std::string text;
        std::string message;
    };
    const std::vector<Refused> refused = {
        {"", "Enter a keyword: it is empty"},
        {" \t ", "Enter a keyword: it is empty"},
        {"red\nshoes", "A keyword is one line: it may not hold a line break"},
        {"red\r\nshoes", "A keyword is one line: it may not hold a line break"},
        {std::string(101, 'k'), "A keyword may be at most 100 characters long"},
    };
    for (const Refused& r : refused) {
        try {
            CheckedKeyword(r.text);
            ADD_FAILURE() << "accepted: " << r.text;
        } catch (const KeywordError& e) {
            EXPECT_EQ(e.what(), r.message);
        }
    }
}

}  // namespace
}  // namespace kv::detect
