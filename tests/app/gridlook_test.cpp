// The per-page hint text and the row shade.
#include "app/gridlook.h"

#include <gtest/gtest.h>

#include "tests/app/appfixture.h"

namespace kv::app {
namespace {

TEST(KeywordsHint, ListsUpToSeventeenKeywordsSortedIgnoringCase) {
    EXPECT_EQ(KeywordsHint(""), "Total: 0\r\n");
    EXPECT_EQ(KeywordsHint("web,SEO,apple"), "Total: 3\r\napple\r\nSEO\r\nweb");
    // Quoted entries come back without their quotes.
    EXPECT_EQ(KeywordsHint("seo,\"web design\""), "Total: 2\r\nseo\r\nweb design");
    // Exactly seventeen: "..." on the seventeenth keyword's line.
    const std::string seventeen = KeywordsHint(testing::NumberedKeywords(17));
    EXPECT_TRUE(seventeen.ends_with("kw16\r\nkw17...")) << seventeen;
    // Eighteen: "..." on a line of its own.
    const std::string eighteen = KeywordsHint(testing::NumberedKeywords(18));
    EXPECT_EQ(eighteen.substr(0, 11), "Total: 18\r\n");
    EXPECT_TRUE(eighteen.ends_with("kw17\r\n...")) << eighteen;
    EXPECT_EQ(eighteen.find("kw18"), std::string::npos);
}

TEST(ShadeColor, TakesThreePercentRoundedHalfUp) {
    EXPECT_EQ(ShadeColor(QColor(255, 255, 255)), QColor(247, 247, 247));
    EXPECT_EQ(ShadeColor(QColor(0, 0, 0)), QColor(0, 0, 0));
    // 50 * 3 / 100 = 1.5 rounds to 2; 49 -> 1.47 rounds to 1; 17 -> 0.51 rounds to 1.
    EXPECT_EQ(ShadeColor(QColor(50, 49, 17)), QColor(48, 48, 16));
}

}  // namespace
}  // namespace kv::app
