// MSN: entry links go through a click-through address, so the result address is read from the
// shown address, whose words are in <strong> (markup removal), inside a meta line (a refining
// part); the head's base element points into /msn/v2/, against which the relative next link
// must be resolved (combine type 0 with a base element).
#include "tools/demoengine/enginepages.h"
#include "tools/demoengine/textcodec.h"

namespace kv::demo {

std::string RenderMsn(const ResultPage& page) {
    const std::string keyword = HtmlEscape(page.keyword);
    const std::string q = EncodeQueryWord(page.keyword);
    const int size = LayoutOf(Engine::Msn).pageSize;
    std::string html = "<html><head><base href=\"http://" + page.host +
                       "/msn/v2/\"><title>MSN Search: " + keyword +
                       "</title></head>\n<body>\n<form action=\"/msn/results.aspx\"><input "
                       "name=\"q\" value=\"" +
                       keyword + "\"></form>\n<div id=\"results_area\"><h5>Web Results</h5>";
    html += "<p class=\"sb_count\">" + std::to_string(page.firstRank) + "-" +
            std::to_string(page.lastRank) + " of " + std::to_string(page.total) + " results</p>\n";
    for (const ResultEntry& e : page.entries) {
        html += "<div class=\"sa_wr\"><h3><a href=\"click.aspx?pos=" + std::to_string(e.rank) +
                "&amp;u=" + PercentEncode(e.address.Full(), "-._~") + "\">" +
                EntryTitle(e, page.keyword) + "</a></h3><p>" +
                EntrySnippet(e, page.keyword, "strong") + "</p>";
        if (e.hasAddress) {
            html += "<div class=\"sb_meta\"><cite>" + MarkedAddress(e.address, "strong") +
                    "</cite> <a href=\"cache.aspx?d=" + std::to_string(e.site) +
                    "\">Cached page</a></div>";
        }
        html += "</div><!-- /sa_wr -->\n";
    }
    html += "</div>\n<div class=\"sb_pag\">";
    if (page.pageIndex > 0) {
        html += "<a class=\"sb_pagP\" href=\"next.aspx?q=" + q +
                "&amp;first=" + std::to_string((page.pageIndex - 1) * size + 1) +
                "\">Previous</a> ";
    }
    if (page.hasNext) {
        html += "<a class=\"sb_pagN\" href=\"next.aspx?q=" + q +
                "&amp;first=" + std::to_string((page.pageIndex + 1) * size + 1) + "\">Next</a>";
    }
    html += "</div>\n</body></html>\n";
    return html;
}

}  // namespace kv::demo
