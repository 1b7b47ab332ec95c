#include "text/format.h"

#include <gtest/gtest.h>

namespace kv::text {
namespace {

TEST(FormatTextTest, FillsPlacesInOrderAndLeavesTheRest) {
    EXPECT_EQ(FormatText("Querying '%s' with keyword '%s'...", {"Google", "red shoes"}),
              "Querying 'Google' with keyword 'red shoes'...");
    EXPECT_EQ(FormatText("Cannot create file %s", "a%sb"),
              "Cannot create file a%sb");  // values are not rescanned
    EXPECT_EQ(FormatText("%s and %s", {"one"}), "one and %s");
    EXPECT_EQ(FormatText("100%", {"x"}), "100%");
}

}  // namespace
}  // namespace kv::text
