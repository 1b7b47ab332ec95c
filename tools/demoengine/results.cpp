#include "tools/demoengine/results.h"

#include <algorithm>
#include <map>
#include <numeric>

#include "tools/demoengine/textcodec.h"
#include "tools/demoengine/topic.h"

namespace kv::demo {
namespace {

constexpr EngineLayout kLayouts[] = {
    {"AltaVista", "/altavista/", 10, 40}, {"All The Web", "/alltheweb/", 15, 45},
    {"Google", "/google/", 10, 50},       {"MSN", "/msn/", 10, 30},
    {"Teoma", "/teoma/", 10, 30},
};

// Where each engine puts the awkward sites (rank, site), so that a scan of depth 10 of every
// engine meets each of them at least once.
std::map<int, int> AwkwardRanks(Engine engine) {
    switch (engine) {
        case Engine::AltaVista:
            return {{3, kImageSite}, {7, kBodyMetaSite}, {14, kMissingSite}};
        case Engine::AllTheWeb:
            return {{2, kMoved301Site}, {9, kFragmentSite}, {20, kSlowSite}};
        case Engine::Google:
            return {{4, kMoved302Site}, {8, kMissingSite}, {15, kImageSite}};
        case Engine::Msn:
            return {{5, kSlowSite}, {9, kNoKeywordsSite}, {18, kMoved301Site}};
        case Engine::Teoma:
            return {{6, kBodyMetaSite}, {10, kMoved302Site}, {23, kSlowSite}};
    }
    return {};
}

}  // namespace

const EngineLayout& LayoutOf(Engine engine) {
    return kLayouts[static_cast<int>(engine)];
}

Scenario ScenarioOf(std::string_view keyword) {
    Scenario s;
    for (const std::string& word : TopicOfSlug(SlugOf(keyword)).words) {
        s.noResults |= word == "noresults";
        s.twoPages |= word == "twopages";
        s.failSecond |= word == "failsecond";
        s.noCheck |= word == "nocheck";
        s.emptyEntry |= word == "emptyentry";
        s.repeat |= word == "repeat";
    }
    return s;
}

std::vector<ResultEntry> ResultsFor(Engine engine, std::string_view keyword,
                                    const std::string& host, int siteHosts) {
    const Scenario scenario = ScenarioOf(keyword);
    if (scenario.noResults) return {};
    const EngineLayout& layout = LayoutOf(engine);
    const std::string slug = SlugOf(keyword);

    // Each engine orders the ordinary sites its own way; the lists overlap.
    std::vector<int> ordinary(kOrdinarySiteCount);
    std::iota(ordinary.begin(), ordinary.end(), kFirstOrdinarySite);
    SeededRandom random(StableHash(slug) * 31ull + static_cast<unsigned>(engine) + 1);
    for (int i = kOrdinarySiteCount - 1; i > 0; --i)
        std::swap(ordinary[i], ordinary[random.Below(i + 1)]);

    const std::map<int, int> awkward = AwkwardRanks(engine);
    int count = layout.resultCount;
    if (scenario.twoPages) count = std::min(count, 2 * layout.pageSize);
    std::vector<ResultEntry> results;
    std::size_t nextOrdinary = 0;
    for (int rank = 1; rank <= count; ++rank) {
        const auto special = awkward.find(rank);
        const int site = special != awkward.end() ? special->second : ordinary[nextOrdinary++];
        results.push_back(
            {rank, site, AddressOfSite(SiteHost(host, site, siteHosts), site, slug), true});
    }
    if (scenario.repeat && results.size() >= 5) {
        results[4].site = results[1].site;
        results[4].address = results[1].address;
    }
    if (scenario.emptyEntry && results.size() >= 3) results[2].hasAddress = false;
    return results;
}

}  // namespace kv::demo
