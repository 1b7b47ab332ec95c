#include "tools/demoengine/router.h"

#include "tools/demoengine/enginepages.h"
#include "tools/demoengine/modernengine.h"
#include "tools/demoengine/results.h"
#include "tools/demoengine/sitepages.h"
#include "tools/demoengine/textcodec.h"
#include "tools/demoengine/transport.h"

namespace kv::demo {
namespace {

std::string IndexPage() {
    std::string html =
        "<html><head><title>Kelvane demo search engines</title></head><body>\n"
        "<h1>Kelvane demo search engines</h1><ul>\n";
    for (Engine engine : kEngines) {
        const EngineLayout& layout = LayoutOf(engine);
        html += "<li><a href=\"" + std::string(layout.folder) + "\">" +
                HtmlEscape(std::string(layout.name)) + "</a></li>\n";
    }
    return html + "</ul></body></html>\n";
}

}  // namespace

Response Route(const Request& received, const SiteOptions& options) {
    // The engine of today takes its own POSTs.
    if (auto answer = ServeModernEngine(received, options.host)) return *answer;
    if (received.method == "POST") {
        // A search form posted: the same answer as its GET.
        Request asGet = received;
        asGet.method = "GET";
        asGet.query = received.body;
        return Route(asGet, options);
    }
    const Request& request = received;
    if (request.method != "GET") return ErrorPage(501, "Not Implemented");
    if (request.path == "/") return HtmlPage(IndexPage());
    if (auto answer = ServeEngine(request, options.host, options.siteHosts))
        return ApplyTransport(*answer, request);
    if (auto answer = ServeSite(request, options.host, options.slowDelayMs, options.siteHosts))
        return ApplyTransport(*answer, request);
    return ErrorPage(404, "Not Found");
}

}  // namespace kv::demo
