#include "text/terminaltext.h"

#include <gtest/gtest.h>

namespace kv::text {
namespace {

TEST(TerminalTextTest, ControlCharactersAreShownEscaped) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"red shoes\tshop", "red shoes\tshop"},
        {"\x1b[2J\x1b[Henter your sudo password:", "\\x1B[2J\\x1B[Henter your sudo password:"},
        {"a\r\nb", "a\\x0D\\x0Ab"},
        {std::string("nul\0del\x7f", 8), "nul\\x00del\\x7F"},
        {"csi \xc2\x9b"
         "31m",
         "csi \\u009B31m"},  // C1 in UTF-8
        {"lone \x9b"
         "31m",
         "lone \\x9B31m"},  // C1 as one byte
        {"caf\xc3\xa9 \xc2\xa0\xe2\x82\xac", "caf\xc3\xa9 \xc2\xa0\xe2\x82\xac"},
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeForTerminal(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace kv::text
