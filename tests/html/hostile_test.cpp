// Pages built to break a parser: deep nesting, floods of one character, NUL bytes and invalid
// UTF-8. They must parse completely, without deep recursion, and free without it too.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <new>
#include <string>

#include "html/htmlparser.h"
#include "html/nodesearch.h"

namespace kv::html {
namespace {

std::string Repeat(const std::string& part, std::size_t times) {
    std::string out;
    out.reserve(part.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += part;
    return out;
}

constexpr std::size_t kDeep = 200000;

TEST(HostilePageTest, DeepNestingParsesSearchesAndFreesWithoutRecursion) {
    auto parser = std::make_unique<THTMLParser>();
    parser->Parse(Repeat("<div>", kDeep) + "<b>end</b>" + Repeat("</div>", kDeep));
    TTagNodeList list;
    FindAll(parser->Root(), "div", list);
    EXPECT_EQ(list.Count(), kDeep);
    THierarchyNode* b = FindFirst(parser->Root(), "b");
    ASSERT_NE(b, nullptr);
    std::size_t depth = 0;
    for (const THierarchyNode* up = b; up->GetParent() != nullptr; up = up->GetParent()) ++depth;
    EXPECT_EQ(depth, kDeep + 1);
    EXPECT_EQ(GetText(parser->Root()), "end");
    parser->Parse("<p>");                   // frees the deep tree
    parser->Parse(Repeat("<div>", kDeep));  // left open at the end
    parser.reset();
}

TEST(HostilePageTest, ManyUnmatchedEndTagsOverADeepStack) {
    THTMLParser parser;
    std::size_t warnings = 0;
    parser.OnSyntaxWarning = [&](TCustomMLParser&, const std::string&) { ++warnings; };
    parser.Parse(Repeat("<span>", kDeep) + Repeat("</x>", kDeep));
    EXPECT_EQ(warnings, kDeep);
}

TEST(HostilePageTest, AnOnlyAngleBracketPageWarnsForEachCharacter) {
    THTMLParser parser;
    std::size_t warnings = 0;
    parser.OnSyntaxWarning = [&](TCustomMLParser&, const std::string&) { ++warnings; };
    parser.Parse(std::string(1000000, '<'));
    EXPECT_EQ(warnings, 999999u);
    EXPECT_EQ(parser.Root()->ChildCount(), 0u);
    parser.Parse(std::string(1000000, '>'));
    EXPECT_EQ(parser.Root()->ChildCount(), 0u);
}

TEST(HostilePageTest, NulBytesAndInvalidUtf8AreKeptAsBytes) {
    const std::string page("<b\0 x=\xff\xfe>\0t\xc3</b\0>\xed\xa0\x80", 20);
    THTMLParser parser;
    parser.Parse(page);
    ASSERT_EQ(parser.Root()->ChildCount(), 2u);
    const THierarchyNode* b = parser.Root()->GetChild(0);
    EXPECT_EQ(b->Name(), std::string("b\0", 2));
    EXPECT_EQ(b->AttributeValue("x"), "\xff\xfe");
    EXPECT_EQ(GetText(parser.Root()), std::string("\0t\xc3\xed\xa0\x80", 6));
}

TEST(HostilePageTest, LongUnterminatedConstructsBecomeText) {
    THTMLParser parser;
    const std::string body(3000000, 'x');
    for (const char* open : {"<!--", "<!DOCTYPE ", "<![CDATA[", "<a href=\""}) {
        parser.Parse(open + body);
        ASSERT_EQ(parser.Root()->ChildCount(), 1u) << open;
        EXPECT_EQ(parser.Root()->GetChild(0)->NodeType(), TNodeType::PCData) << open;
    }
}

// The data segment of this process in bytes (VmData), 0 when unknown.
std::size_t DataSegmentBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmData:", 0) == 0)
            return std::strtoull(line.c_str() + 7, nullptr, 10) << 10;
    return 0;
}

// In a child process: 63 MB of "<b>" (the largest body a server may send) parsed with at most
// extraBytes of memory beyond what the page itself takes.
void ParseFloodWithMemoryLimit(std::size_t extraBytes) {
    const std::string page = Repeat("<b>", (63u << 20) / 3);
    const rlimit limit{DataSegmentBytes() + extraBytes, RLIM_INFINITY};
    if (limit.rlim_cur == extraBytes || setrlimit(RLIMIT_DATA, &limit) != 0) std::_Exit(3);
    auto parser = std::make_unique<THTMLParser>();
    try {
        parser->Parse(page);
        std::_Exit(4);  // the whole flood fitted: the budget did not hold
    } catch (const EHtmlPageTooLarge&) {
        if (parser->Root()->ChildCount() != 0) std::_Exit(5);
    } catch (const std::bad_alloc&) {
        // Below the budget's size: the failure unwinds, and the tree is freed without memory.
    }
    parser->Parse("<head><meta name=keywords content=a></head>");  // the parser goes on
    if (FindFirst(parser->Root(), "meta") == nullptr) std::_Exit(6);
    parser.reset();
    std::_Exit(0);
}

TEST(HostilePageTest, AnElementFloodFailsWithinTenTimesItsSize) {
    EXPECT_EXIT(ParseFloodWithMemoryLimit(630u << 20), testing::ExitedWithCode(0), "");
}

TEST(HostilePageTest, RunningOutOfMemoryMidParseUnwindsWithoutTerminating) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "AddressSanitizer's shadow memory does not fit under a data limit";
#endif
    EXPECT_EXIT(ParseFloodWithMemoryLimit(40u << 20), testing::ExitedWithCode(0), "");
}

TEST(HostilePageTest, OneHugeTagOfAttributesFailsTheSameWay) {
    THTMLParser parser;
    EXPECT_THROW(parser.Parse("<b" + Repeat(" a", 10'000'000) + ">"), EHtmlPageTooLarge);
    EXPECT_EQ(parser.Root()->ChildCount(), 0u);
}

}  // namespace
}  // namespace kv::html
