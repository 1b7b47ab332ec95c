// A pattern too long to compile (one of 10 MB once took 1.8 GB to compile) is refused before
// any page is read, naming the engine and the field.
#include "detect/enginepatterns.h"

#include <gtest/gtest.h>

#include "data/tables.h"
#include "parseutils/regexpr.h"

namespace kv::detect {
namespace {

TEST(EnginePatternsTest, ACompileErrorNamesTheEngineAndTheField) {
    data::DataTables tables;
    auto& se = tables.SE_ClientDataSet;
    se.Append();
    se.SetString("SEName", "Google");
    se.SetString("GetTextRegExpr", "<li>(.*?)</li>\r\n<p>(.*?)</p>");
    se.SetString("GetUrlRegExpr", "href=\"([^\"]+)\"@@@" + std::string(100'000, 'a'));
    se.Post();
    try {
        CheckEnginePatterns(se, "Google");
        FAIL() << "no compile error";
    } catch (const ERegExpr& e) {
        EXPECT_STREQ(e.what(),
                     "Search engine 'Google', field GetUrlRegExpr: TRegExpr(comp): Pattern too "
                     "long (more than 65536 bytes) (pos 65536)");
    }
    se.Edit();
    se.SetString("GetUrlRegExpr", "href=\"([^\"]+)\"");
    se.Post();
    EXPECT_NO_THROW(CheckEnginePatterns(se, "Google"));
}

}  // namespace
}  // namespace kv::detect
