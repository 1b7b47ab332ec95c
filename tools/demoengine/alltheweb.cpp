// All The Web: fifteen entries a page; the results stand in a table inside a marked region
// that also holds a sponsored row, and a footer row follows it (a block pattern refined by a
// second part); the entry's
// link carries the title too (a group marker picks the address); absolute next link with
// numeric character references (combine type 2); the region's end marker is the check text.
#include "tools/demoengine/enginepages.h"
#include "tools/demoengine/textcodec.h"

namespace kv::demo {
namespace {

std::string PageAddress(const ResultPage& page, int index) {
    const int size = LayoutOf(Engine::AllTheWeb).pageSize;
    return "http://" + page.host +
           "/alltheweb/search?cat=web&#38;q=" + EncodeQueryWord(page.keyword) +
           "&#38;o=" + std::to_string(index * size);
}

}  // namespace

std::string RenderAllTheWeb(const ResultPage& page) {
    const std::string keyword = HtmlEscape(page.keyword);
    std::string html = "<html><head><title>AlltheWeb.com Web Search: " + keyword +
                       "</title></head>\n<body>\n<div class=\"nav\"><a href=\"http://" + page.host +
                       "/alltheweb/\">AlltheWeb.com</a></div>\n";
    html += "<p class=\"info\">Results <b>" + std::to_string(page.firstRank) + " - " +
            std::to_string(page.lastRank) + "</b> of <b>" + std::to_string(page.total) +
            "</b></p>\n<!-- results start -->\n";
    const SiteAddress sponsor =
        AddressOfSite(page.host, kSponsorSite,
                      page.entries.empty() ? std::string("query") : page.entries[0].address.slug);
    html += "<table class=\"sponsor\"><tr><td class=\"num\">*</td><td><a class=\"res\" href=\"" +
            sponsor.Full() + "\">" + keyword +
            " at our partner shop</a></td></tr></table>\n<table class=\"resultTable\">\n";
    for (const ResultEntry& e : page.entries) {
        const std::string title = EntryTitle(e, page.keyword);
        // Addresses go in as they are, "&" and all, as this engine always did.
        const std::string link =
            e.hasAddress ? "<a class=\"res\" href=\"" + e.address.Full() + "\">" + title + "</a>"
                         : "<span class=\"res\">" + title + "</span>";
        html += "<tr><td class=\"num\">" + std::to_string(e.rank) + ".</td><td>" + link +
                "<br><span class=\"txt\">" + EntrySnippet(e, page.keyword, "b") +
                "</span><br><span class=\"resURL\">" + ShownAddress(e.address) +
                "</span></td></tr>\n";
    }
    html += "</table>\n";
    if (page.withCheckText) html += "<!-- results end -->\n";
    html += "<div class=\"pages\">";
    if (page.pageIndex > 0) {
        html += "<a href=\"" + PageAddress(page, page.pageIndex - 1) +
                "\" title=\"previous\">&laquo; previous</a> ";
    }
    if (page.hasNext) {
        html += "<a href=\"" + PageAddress(page, page.pageIndex + 1) +
                "\" title=\"next\">next &raquo;</a>";
    }
    html += "</div>\n<table class=\"footer\"><tr><td><a class=\"res\" href=\"http://" + page.host +
            "/alltheweb/help.html\">Help</a></td></tr></table>\n</body></html>\n";
    return html;
}

}  // namespace kv::demo
