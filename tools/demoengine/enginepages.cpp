#include "tools/demoengine/enginepages.h"

#include <algorithm>

#include "tools/demoengine/textcodec.h"

namespace kv::demo {
namespace {

// Far beyond every result list; keeps page arithmetic on asked offsets within int.
constexpr long long kMaxOffset = 1000000;

constexpr const char* kTitleForms[] = {"% at Shop ",       "Discount % - Store ",
                                       "% | Outlet ",      "All about % - Site ",
                                       "% news - Portal ", "The % catalogue "};

std::string HomePage(const EngineLayout& layout, const std::string& action) {
    const std::string name = HtmlEscape(std::string(layout.name));
    return "<html><head><title>" + name + "</title></head><body><h1>" + name +
           "</h1><form action=\"" + action +
           "\" method=\"get\"><input name=\"q\" size=\"40\"><input type=\"submit\" "
           "value=\"Search\"></form></body></html>\n";
}

// The click-through redirectors: the target travels percent-encoded (Teoma's also carries
// markup and character references, which the redirector takes off again).
Response ClickThrough(const QueryMap& query, const std::string& name) {
    const auto it = query.find(name);
    if (it == query.end() || it->second.empty()) return ErrorPage(400, "Bad Request");
    const std::string target = StripTags(HtmlUnescape(it->second));
    // A line break in the target would end the Location header early.
    for (unsigned char c : target) {
        if (c < 32) return ErrorPage(400, "Bad Request");
    }
    return Redirect(302, target);
}

Response ResultsPage(Engine engine, const QueryMap& query, int offset, const std::string& host,
                     int siteHosts) {
    const EngineLayout& layout = LayoutOf(engine);
    ResultPage page;
    page.keyword = query.at("q");
    page.host = host;
    const Scenario scenario = ScenarioOf(page.keyword);
    std::vector<ResultEntry> all = ResultsFor(engine, page.keyword, host, siteHosts);
    page.total = static_cast<int>(all.size());
    page.pageCount = (page.total + layout.pageSize - 1) / layout.pageSize;
    page.pageIndex = std::max(0, offset) / layout.pageSize;
    if (scenario.failSecond && page.pageIndex == 1) {
        return ErrorPage(500, "Internal Server Error");
    }
    const int first = std::min(page.pageIndex * layout.pageSize, page.total);
    const int last = std::min(first + layout.pageSize, page.total);
    page.entries.assign(all.begin() + first, all.begin() + last);
    page.firstRank = first + 1;
    page.lastRank = last;
    page.hasNext = last < page.total;
    page.withCheckText = !scenario.noCheck;
    switch (engine) {
        case Engine::AltaVista:
            return HtmlPage(RenderAltaVista(page));
        case Engine::AllTheWeb:
            return HtmlPage(RenderAllTheWeb(page));
        case Engine::Google:
            return HtmlPage(RenderGoogle(page));
        case Engine::Msn:
            return HtmlPage(RenderMsn(page));
        case Engine::Teoma:
            return HtmlPage(RenderTeoma(page));
    }
    return ErrorPage(500, "Internal Server Error");
}

struct Route {
    const char* path;
    Engine engine;
    const char* offsetName;  // the query parameter that selects the page
    int offsetBase;          // 1 when it counts from 1
    bool byPage;             // the parameter is a page number, not a result offset
};

constexpr Route kResultRoutes[] = {
    {"/altavista/web/results", Engine::AltaVista, "stq", 0, false},
    {"/alltheweb/search", Engine::AllTheWeb, "o", 0, false},
    {"/google/search", Engine::Google, "start", 0, false},
    {"/msn/results.aspx", Engine::Msn, "first", 1, false},
    {"/msn/v2/next.aspx", Engine::Msn, "first", 1, false},
    {"/teoma/web", Engine::Teoma, "page", 1, true},
};

}  // namespace

std::string EntryTitle(const ResultEntry& entry, const std::string& keyword) {
    std::string form = kTitleForms[entry.site % std::size(kTitleForms)];
    form.replace(form.find('%'), 1, TitleCase(keyword));
    return HtmlEscape(form + std::to_string(entry.site));
}

std::string EntrySnippet(const ResultEntry& entry, const std::string& keyword,
                         const std::string& boldTag) {
    const std::string bold = "<" + boldTag + ">" + HtmlEscape(keyword) + "</" + boldTag + ">";
    return "Find " + bold + " and more at site " + std::to_string(entry.site) +
           ". Great choice of " + bold + ", fast delivery...";
}

std::string MarkedAddress(const SiteAddress& address, const std::string& tag) {
    std::string slug;
    std::string_view rest = address.slug;
    while (true) {
        const std::size_t dash = rest.find('-');
        const std::string_view word = rest.substr(0, dash);
        if (!word.empty()) slug += "<" + tag + ">" + HtmlEscape(word) + "</" + tag + ">";
        if (dash == std::string_view::npos) break;
        slug += '-';
        rest = rest.substr(dash + 1);
    }
    return HtmlEscape(address.before) + slug + HtmlEscape(address.after);
}

std::string ShownAddress(const SiteAddress& address) {
    std::string full = address.Full();
    if (full.starts_with("http://")) full.erase(0, 7);
    return HtmlEscape(full);
}

std::optional<Response> ServeEngine(const Request& request, const std::string& host,
                                    int siteHosts) {
    const QueryMap query = ParseQuery(request.query);
    const bool asked = query.contains("q") && !query.at("q").empty();
    for (const Route& route : kResultRoutes) {
        if (request.path != route.path) continue;
        if (!asked) return HtmlPage(HomePage(LayoutOf(route.engine), route.path));
        long long offset = ParseCount(query, route.offsetName, route.offsetBase) - route.offsetBase;
        if (route.byPage) offset *= LayoutOf(route.engine).pageSize;
        return ResultsPage(route.engine, query,
                           static_cast<int>(std::clamp(offset, 0LL, kMaxOffset)), host, siteHosts);
    }
    if (request.path == "/altavista/r") return ClickThrough(query, "ru");
    if (request.path == "/msn/v2/click.aspx") return ClickThrough(query, "u");
    if (request.path == "/teoma/go") return ClickThrough(query, "u");
    for (Engine engine : kEngines) {
        const EngineLayout& layout = LayoutOf(engine);
        if (request.path == layout.folder) {
            for (const Route& route : kResultRoutes) {
                if (route.engine == engine) return HtmlPage(HomePage(layout, route.path));
            }
        }
    }
    return std::nullopt;
}

}  // namespace kv::demo
