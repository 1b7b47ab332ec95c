// The demo engine definitions (build/bin/demo-engines/SE.cds from resources/SE-demo.sql): loaded as
// the program loads them, pointed at a demo engine on a free port by the documented substitution,
// and applied to its result pages by the template model. The expected addresses come from the
// engine's own result lists, so pages, patterns and switches must agree.
#include <gtest/gtest.h>

#include <algorithm>

#include "data/tablefile.h"
#include "data/tables.h"
#include "tests/support/demoprocess.h"
#include "tests/tools/templatemodel.h"
#include "tools/demoengine/results.h"
#include "tools/demoengine/sites.h"

namespace kv::testing {
namespace {

using model::EngineDefinition;

constexpr const char* kShippedHost = "127.0.0.1:8765";
const char* const kUrlFields[] = {"PrepareSearchURL", "StartSearchURL", "NextSearchFirstPartUrl"};

std::string EngineFile() {
    return std::string(KELVANE_TEST_BIN_DIR) + "/demo-engines/SE.cds";
}

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size())
        ++n;
    return n;
}

// The definitions as the program reads them, with the shipped host replaced by `host`.
std::vector<EngineDefinition> LoadDefinitions(const std::string& host = kShippedHost) {
    data::DataTables tables;
    data::LoadTableFile(tables.SE_ClientDataSet, EngineFile());
    data::Table& se = tables.SE_ClientDataSet;
    std::vector<EngineDefinition> engines;
    for (se.First(); !se.Eof(); se.Next()) {
        auto url = [&](const char* field) {
            return model::ReplaceAll(se.AsString(field), kShippedHost, host);
        };
        EngineDefinition e;
        e.name = se.AsString("SEName");
        e.prepareSearchUrl = url("PrepareSearchURL");
        e.startSearchUrl = url("StartSearchURL");
        e.firstPartUrl = url("NextSearchFirstPartUrl");
        e.combineType = se.AsInteger("NextSearchCombineUrlType");
        e.nextRegExpr = se.AsString("NextSearchRegExpr");
        e.checkText = se.AsString("CheckHtmlCheckText");
        e.blockRegExpr = se.AsString("GetTextTotalTextRegExpr");
        e.itemRegExpr = se.AsString("GetTextRegExpr");
        e.urlRegExpr = se.AsString("GetUrlRegExpr");
        e.removeHtml = se.AsBoolean("GetUrlRemoveHtml");
        e.decodeCode = se.AsBoolean("GetUrlDecodeUrlCode");
        e.decodePercent = se.AsBoolean("GetUrlDecodeUrlPercent");
        engines.push_back(e);
    }
    return engines;
}

const EngineDefinition& Find(const std::vector<EngineDefinition>& engines,
                             const std::string& name) {
    const auto it = std::find_if(engines.begin(), engines.end(),
                                 [&](const EngineDefinition& e) { return e.name == name; });
    if (it == engines.end()) throw std::runtime_error("no engine " + name);
    return *it;
}

model::Fetcher FetcherFor(const DemoEngine& engine) {
    return [&engine](const std::string& address) {
        const RawReply reply = GetAddress(engine.Port(), address);
        return model::FetchResult{reply.status, reply.body};
    };
}

std::vector<std::string> Expected(demo::Engine engine, const std::string& keyword,
                                  const std::string& host, int depth) {
    std::vector<std::string> addresses;
    // The demo engine spreads its sites over their own loopback addresses by default.
    for (const demo::ResultEntry& e :
         demo::ResultsFor(engine, keyword, host, demo::kMaxSiteHosts)) {
        if (static_cast<int>(addresses.size()) == depth) break;
        addresses.push_back(e.hasAddress ? e.address.Full() : std::string());
    }
    return addresses;
}

TEST(EngineDefinitions, FiveRowsInTheOrderOfTheEngineBoxes) {
    data::DataTables tables;
    data::LoadTableFile(tables.SE_ClientDataSet, EngineFile());
    data::Table& se = tables.SE_ClientDataSet;
    std::vector<std::string> names;
    for (se.First(); !se.Eof(); se.Next()) {
        names.push_back(se.AsString("SEName"));
        EXPECT_NE(se.AsString("StartSearchURL").find("@@@"), std::string::npos);
        EXPECT_FALSE(se.AsString("GetTextRegExpr").empty());
        EXPECT_FALSE(se.AsString("GetUrlRegExpr").empty());
        EXPECT_FALSE(se.AsString("NextSearchRegExpr").empty());
        EXPECT_FALSE(se.AsString("PrepareSearchURL").empty());
        const std::string check = se.AsString("CheckHtmlCheckText");
        EXPECT_TRUE(std::none_of(check.begin(), check.end(), [](char c) {
            return c >= 'A' && c <= 'Z';
        })) << "the page is lower-cased before the check text is looked for";
        // The port is named only as the documented host, in the three address fields.
        for (const data::FieldDef& field : se.Fields()) {
            const std::string value = se.AsString(field.name);
            const bool urlField = std::find(std::begin(kUrlFields), std::end(kUrlFields),
                                            field.name) != std::end(kUrlFields);
            EXPECT_EQ(Count(value, "8765"), urlField ? Count(value, kShippedHost) : 0)
                << names.back() << " " << field.name;
        }
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"AltaVista", "All The Web", "Google", "MSN", "Teoma"}));
    EXPECT_EQ(Find(LoadDefinitions(), "AltaVista").firstPartUrl, "http://127.0.0.1:8765")
        << "not cut to the field's width";
}

TEST(EngineDefinitions, EveryEngineYieldsItsResultsAtEachDepth) {
    DemoEngine server;
    const std::vector<EngineDefinition> engines = LoadDefinitions(server.Host());
    for (demo::Engine id : demo::kEngines) {
        const demo::EngineLayout& layout = demo::LayoutOf(id);
        const EngineDefinition& engine = Find(engines, std::string(layout.name));
        for (int depth : {10, 20, 30}) {
            const model::QueryOutcome outcome =
                model::Query(engine, "red shoes", depth, FetcherFor(server));
            EXPECT_EQ(outcome.failure, "") << layout.name << " depth " << depth;
            EXPECT_EQ(outcome.addresses, Expected(id, "red shoes", server.Host(), depth))
                << layout.name << " depth " << depth;
            const std::size_t pages =
                static_cast<std::size_t>((depth + layout.pageSize - 1) / layout.pageSize);
            EXPECT_EQ(outcome.requested.size(), pages) << layout.name << " depth " << depth;
        }
    }
}

TEST(EngineDefinitions, EachFeatureIsNeeded) {
    DemoEngine server;
    const std::vector<EngineDefinition> engines = LoadDefinitions(server.Host());
    const std::string sponsor = "http://" + server.Host() + "/site/09/";
    auto firstPage = [&](const EngineDefinition& e) {
        return GetAddress(server.Port(), model::ReplaceAll(e.startSearchUrl, "@@@", "red+shoes"))
            .body;
    };

    EngineDefinition atw = Find(engines, "All The Web");
    const std::string atwPage = firstPage(atw);
    EngineDefinition unrefined = atw;
    unrefined.blockRegExpr = model::Parts(atw.blockRegExpr).at(0);
    EXPECT_TRUE(model::ResultFields(atwPage, unrefined).at(0).starts_with(sponsor));
    EngineDefinition tableOnly = atw;
    tableOnly.blockRegExpr = model::Parts(atw.blockRegExpr).at(1);
    EXPECT_TRUE(model::ResultFields(atwPage, tableOnly).back().ends_with("/alltheweb/help.html"));
    EngineDefinition unmarked = atw;
    unmarked.urlRegExpr = model::ReplaceAll(atw.urlRegExpr, "(?#1)", "");
    EXPECT_FALSE(model::ResultFields(atwPage, unmarked).at(0).starts_with("http://"));

    EngineDefinition google = Find(engines, "Google");
    EngineDefinition noBlock = google;
    noBlock.blockRegExpr.clear();
    EXPECT_TRUE(model::ResultFields(firstPage(google), noBlock).at(0).starts_with(sponsor));

    // Addresses as the pages hold them, before the switches, are not yet the addresses.
    for (const char* name : {"AltaVista", "Google", "MSN", "Teoma"}) {
        const EngineDefinition& e = Find(engines, name);
        const std::vector<std::string> raw = model::ResultFields(firstPage(e), e);
        const int changed =
            static_cast<int>(std::count_if(raw.begin(), raw.end(), [&](const std::string& a) {
                return model::CleanAddress(a, e) != a;
            }));
        EXPECT_GT(changed, 0) << name;
    }

    // MSN's next link only works against the base element's address.
    const EngineDefinition& msn = Find(engines, "MSN");
    const std::string msnStart = model::ReplaceAll(msn.startSearchUrl, "@@@", "red+shoes");
    const std::string msnPage = GetAddress(server.Port(), msnStart).body;
    const std::string next = model::NextUrl(msn, msnStart, msnPage);
    EXPECT_TRUE(next.starts_with("http://" + server.Host() + "/msn/v2/")) << next;
    EXPECT_EQ(next.find("&amp;"), std::string::npos);
    EngineDefinition baseless = msn;
    const std::string withoutBase = model::ReplaceAll(msnPage, "<base href=", "<nobase href=");
    EXPECT_EQ(GetAddress(server.Port(), model::NextUrl(baseless, msnStart, withoutBase)).status,
              404);
}

TEST(EngineDefinitions, TriggerWordsGiveTheQuerySituations) {
    DemoEngine server;
    const std::vector<EngineDefinition> engines = LoadDefinitions(server.Host());
    for (demo::Engine id : demo::kEngines) {
        const demo::EngineLayout& layout = demo::LayoutOf(id);
        const EngineDefinition& e = Find(engines, std::string(layout.name));
        const std::string name(layout.name);
        const auto query = [&](const std::string& keyword, int depth) {
            return model::Query(e, keyword, depth, FetcherFor(server));
        };

        const auto empty = query("emptyentry", 10);
        ASSERT_EQ(empty.addresses.size(), 10u) << name;
        EXPECT_EQ(empty.addresses[2], "") << name;
        EXPECT_EQ(empty.addresses, Expected(id, "emptyentry", server.Host(), 10)) << name;

        const auto repeat = query("repeat", 10);
        EXPECT_EQ(repeat.addresses.at(4), repeat.addresses.at(1)) << name;

        const auto twoPages = query("red twopages", 30);
        EXPECT_EQ(twoPages.addresses.size(), std::min<std::size_t>(30, 2 * layout.pageSize))
            << name;
        EXPECT_EQ(twoPages.requested.size(), 2u) << name;

        const auto failing = query("failsecond", 20);
        EXPECT_EQ(failing.failure, "status 500") << name;
        EXPECT_EQ(failing.addresses.size(), static_cast<std::size_t>(layout.pageSize)) << name;

        const auto none = query("noresults", 30);
        EXPECT_TRUE(none.addresses.empty()) << name;
        EXPECT_EQ(none.requested.size(), 1u) << name;

        const auto unchecked = query("nocheck", 10);
        if (e.checkText.empty()) {
            EXPECT_EQ(unchecked.addresses.size(), 10u) << name;
        } else {
            EXPECT_EQ(unchecked.failure, "check text missing") << name;
        }
    }
}

}  // namespace
}  // namespace kv::testing
