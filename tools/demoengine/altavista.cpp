// AltaVista: no result block; entries mostly go through a click-through address whose
// parameter holds the result address percent-encoded, a few link directly (two pattern lines);
// the next link is server-relative and entity-encoded (combine type 1 with a prefix).
#include "tools/demoengine/enginepages.h"
#include "tools/demoengine/textcodec.h"

namespace kv::demo {
namespace {

std::string PageLink(const std::string& q, int offset, const std::string& label) {
    return "<a href=\"/altavista/web/results?q=" + q + "&amp;stq=" + std::to_string(offset) +
           "\">" + label + "</a>";
}

// Every fourth entry links directly when its address needs no escaping.
bool LinksDirectly(const ResultEntry& entry) {
    const std::string full = entry.address.Full();
    return entry.rank % 4 == 0 && full.find_first_of("%&") == std::string::npos;
}

}  // namespace

std::string RenderAltaVista(const ResultPage& page) {
    const std::string keyword = HtmlEscape(page.keyword);
    const std::string q = EncodeQueryWord(page.keyword);
    std::string html = "<html><head><title>AltaVista - Web Results: " + keyword +
                       "</title></head>\n<body>\n<form action=\"/altavista/web/results\" "
                       "method=\"get\"><input name=\"q\" value=\"" +
                       keyword + "\"><input type=\"submit\" value=\"Find\"></form>\n";
    html +=
        "<p class=\"stats\">AltaVista found " + std::to_string(page.total) + " results</p>\n<ol>\n";
    for (const ResultEntry& e : page.entries) {
        const std::string title = EntryTitle(e, page.keyword);
        html += "<li class=\"res\">";
        if (!e.hasAddress) {
            html += "<span class=\"title\">" + title + "</span>";
        } else if (LinksDirectly(e)) {
            html += "<a class=\"title\" href=\"" + HtmlEscape(e.address.Full()) + "\">" + title +
                    "</a>";
        } else {
            html += "<a class=\"title\" href=\"/altavista/r?ck_sm=" + std::to_string(e.rank) +
                    "&amp;ru=" + PercentEncode(e.address.Full(), "-._~") + "\">" + title + "</a>";
        }
        html += "<br>" + EntrySnippet(e, page.keyword, "b") + "<br><span class=\"ngrn\">" +
                ShownAddress(e.address) + "</span></li>\n";
    }
    html += "</ol>\n<div class=\"pg\">Result Pages: ";
    const int size = LayoutOf(Engine::AltaVista).pageSize;
    if (page.pageIndex > 0) {
        html += PageLink(q, (page.pageIndex - 1) * size, "[&lt;&lt; Prev]") + " ";
    }
    for (int i = 0; i < page.pageCount; ++i) {
        html += i == page.pageIndex ? "<b>" + std::to_string(i + 1) + "</b> "
                                    : PageLink(q, i * size, std::to_string(i + 1)) + " ";
    }
    if (page.hasNext) html += PageLink(q, (page.pageIndex + 1) * size, "[Next &gt;&gt;]");
    html += "</div>\n</body></html>\n";
    return html;
}

}  // namespace kv::demo
