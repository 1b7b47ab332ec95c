// Google: sponsored links above the results use the same entry markup, so a block pattern
// cuts the result list first; addresses are written with "&amp;" (character-reference
// decoding); the next link is server-relative (combine type 0, no base element); the page's
// closing tag is the check text.
#include "tools/demoengine/enginepages.h"
#include "tools/demoengine/textcodec.h"

namespace kv::demo {

std::string RenderGoogle(const ResultPage& page) {
    const std::string keyword = HtmlEscape(page.keyword);
    const std::string q = EncodeQueryWord(page.keyword);
    const int size = LayoutOf(Engine::Google).pageSize;
    std::string html = "<html><head><title>" + keyword +
                       " - Google Search</title></head>\n<body>\n<form action=\"/google/search\">"
                       "<input name=\"q\" value=\"" +
                       keyword +
                       "\"><input type=\"submit\" name=\"btnG\" value=\"Google Search\"></form>\n";
    const std::string slug = page.entries.empty() ? "query" : page.entries[0].address.slug;
    html += "<div id=\"tads\"><h2>Sponsored Links</h2><ol><li class=\"g\"><a href=\"" +
            HtmlEscape(AddressOfSite(page.host, kSponsorSite, slug).Full()) + "\" class=\"l\">" +
            keyword + " - Shop 09</a></li></ol></div>\n";
    html += "<p id=\"resultStats\">Results <b>" + std::to_string(page.firstRank) + "</b> - <b>" +
            std::to_string(page.lastRank) + "</b> of about <b>" + std::to_string(page.total) +
            "</b> for <b>" + keyword + "</b></p>\n<div id=\"res\"><ol>\n";
    for (const ResultEntry& e : page.entries) {
        const std::string title = EntryTitle(e, page.keyword);
        html += "<li class=\"g\"><h3 class=\"r\">";
        html += e.hasAddress ? "<a href=\"" + HtmlEscape(e.address.Full()) + "\" class=\"l\">" +
                                   title + "</a>"
                             : title;
        html += "</h3><div class=\"s\">" + EntrySnippet(e, page.keyword, "em") + "<br><cite>" +
                ShownAddress(e.address) + "</cite></div></li>\n";
    }
    html += "</ol></div>\n<table id=\"nav\"><tr>";
    for (int i = 0; i < page.pageCount; ++i) {
        html += i == page.pageIndex ? "<td>" + std::to_string(i + 1) + "</td>"
                                    : "<td><a href=\"/google/search?q=" + q +
                                          "&amp;start=" + std::to_string(i * size) + "\">" +
                                          std::to_string(i + 1) + "</a></td>";
    }
    if (page.hasNext) {
        html += "<td><a id=\"pnnext\" href=\"/google/search?q=" + q +
                "&amp;start=" + std::to_string((page.pageIndex + 1) * size) +
                "&amp;sa=N\">Next</a></td>";
    }
    html += "</tr></table>\n</body>";
    if (page.withCheckText) html += "</html>";
    html += "\n";
    return html;
}

}  // namespace kv::demo
