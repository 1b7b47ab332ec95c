// Teoma: the result address is only in the click-through parameter, percent-encoded, and was
// marked up (words in <b>) and entity-encoded before it was encoded, so all three address
// switches are needed, in their order; the next link is relative to the page's own address
// (combine type 0, no base element).
#include "tools/demoengine/enginepages.h"
#include "tools/demoengine/textcodec.h"

namespace kv::demo {

std::string RenderTeoma(const ResultPage& page) {
    const std::string keyword = HtmlEscape(page.keyword);
    const std::string q = EncodeQueryWord(page.keyword);
    std::string html = "<html><head><title>Teoma Search: " + keyword +
                       "</title></head>\n<body>\n<form action=\"/teoma/web\"><input name=\"q\" "
                       "value=\"" +
                       keyword + "\"></form>\n<div id=\"results\"><p class=\"count\">Showing " +
                       std::to_string(page.firstRank) + "-" + std::to_string(page.lastRank) +
                       " of " + std::to_string(page.total) + "</p>\n";
    for (const ResultEntry& e : page.entries) {
        const std::string title = EntryTitle(e, page.keyword);
        html += "<dl class=\"res\"><dt>";
        html += e.hasAddress ? "<a class=\"rt\" href=\"/teoma/go?u=" +
                                   PercentEncode(MarkedAddress(e.address, "b"), ":/.-_~") + "\">" +
                                   title + "</a>"
                             : title;
        html += "</dt><dd>" + EntrySnippet(e, page.keyword, "b") + "</dd><dd class=\"url\">" +
                ShownAddress(e.address) + "</dd></dl>\n";
    }
    html += "</div>\n<div class=\"pager\">";
    if (page.hasNext) {
        html += "<a href=\"web?q=" + q + "&amp;page=" + std::to_string(page.pageIndex + 2) +
                "\" class=\"next\">Next &raquo;</a>";
    }
    html += "</div>\n</body></html>\n";
    return html;
}

}  // namespace kv::demo
