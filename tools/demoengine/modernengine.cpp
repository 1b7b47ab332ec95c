#include "tools/demoengine/modernengine.h"

#include "tools/demoengine/textcodec.h"

namespace kv::demo {

namespace {

std::string Base64Url(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (unsigned char c : bytes) {
        buffer = (buffer << 8) | c;
        bits += 8;
        while (bits >= 6) {
            bits -= 6;
            out += kAlphabet[(buffer >> bits) & 63];
        }
    }
    if (bits > 0) out += kAlphabet[(buffer << (6 - bits)) & 63];
    return out;  // unpadded, as Bing writes it
}

std::string Head(const std::string& title) {
    return "<html><head><title>" + title + "</title></head>\n<body>\n";
}

std::string ChallengePage() {
    return Head("Demo Modern") +
           "<div class=\"anomaly-modal\"><p>Unfortunately, bots use this engine too.</p>\n"
           "<form id=\"challenge-form\" action=\"/modern/anomaly.js\" method=\"post\">"
           "<input type=\"hidden\" name=\"cc\" value=\"botnet\"></form></div>\n</body></html>\n";
}

Response WithStatus(int status, const std::string& reason, std::string body) {
    Response response = HtmlPage(std::move(body));
    response.status = status;
    response.reason = reason;
    return response;
}

std::string HiddenInput(const std::string& name, const std::string& value) {
    return "<input type=\"hidden\" name=\"" + name + "\" value=\"" + HtmlEscape(value) + "\">";
}

// One result block; `link` is the anchor's attributes after its class.
std::string Block(const std::string& linkAttribute, const std::string& href,
                  const std::string& title) {
    return "<div class=\"result results_links web-result \">\n<h2 class=\"result__title\"><a "
           "rel=\"nofollow\" class=\"result__a\" " +
           linkAttribute + "=\"" + HtmlEscape(href) + "\">" + HtmlEscape(title) +
           "</a></h2>\n<div class=\"clear\"></div></div>\n";
}

struct Query {
    std::string mode;
    std::string keyword;
    int offset = 0;
    std::string token;
};

std::string RenderResults(const Query& q, const std::string& host) {
    const bool link = q.mode == "link";
    std::string html = Head(q.mode == "nocheck" ? HtmlEscape(q.keyword) + " - Demo Modern"
                                                : HtmlEscape(q.keyword) + " at Demo Modern") +
                       "<div id=\"links\" class=\"results\">\n";
    if (q.mode == "empty")
        return html + "<div class=\"no-results\">No  results.</div>\n</div></body></html>\n";
    // The ad shares the result markup; only its address, on the engine's host, tells it.
    html += link ? Block("href", "/modern/aclick?ld=e8", "Sponsored: " + q.keyword)
                 : Block("href", "http://" + host + "/modern/y.js?ad_domain=shop.example",
                         "Sponsored: " + q.keyword);
    const int last = std::min(q.offset + kModernPageSize, kModernResultCount);
    for (int rank = q.offset + 1; rank <= last; ++rank) {
        const std::string destination = ModernResultAddress(q.keyword, rank);
        const std::string title = TitleCase(q.keyword) + " " + std::to_string(rank);
        if (q.mode == "changed") {
            html += Block("data-href", destination, title);
        } else if (link) {
            html += Block("href",
                          "/modern/ck/a?!&p=" + std::to_string(rank) + "&u=a1" +
                              Base64Url(destination) + "&ntb=1",
                          title);
        } else {
            html += Block("href",
                          "//" + host + "/modern/l/?uddg=" + PercentEncode(destination, "") +
                              "&rut=" + std::to_string(rank * 7919),
                          title);
        }
    }
    html += "</div>\n";
    if (last < kModernResultCount) {
        const std::string next = std::to_string(last);
        if (link) {
            html += "<div class=\"nav\"><a class=\"next\" href=\"" +
                    HtmlEscape("/modern/link/search?q=" + EncodeQueryWord(q.keyword) +
                               "&s=" + next + "&vqd=" + PercentEncode(ModernToken(q.keyword), "")) +
                    "\">Next</a></div>\n";
        } else {
            html +=
                "<div class=\"nav-link\"><form action=\"/modern/" + q.mode +
                "/search\" method=\"post\">\n<input type=\"submit\" class=\"btn\" value=\"Next\">" +
                HiddenInput("q", q.keyword) + HiddenInput("s", next) +
                HiddenInput("vqd", ModernToken(q.keyword)) + HiddenInput("kl", "wt-wt") +
                "\n</form></div>\n";
        }
    }
    return html + "</body></html>\n";
}

}  // namespace

std::string ModernToken(const std::string& keyword) {
    return "4-" + std::to_string(StableHash("vqd:" + keyword)) + "&x=\"1\"";
}

std::string ModernResultAddress(const std::string& keyword, int rank) {
    return "http://shop" + std::to_string((rank * 7) % 13 + 1) + ".example/" +
           PercentEncode(keyword, "") + "/item" + std::to_string(rank) +
           ".html?ref=a&b=" + std::to_string(rank);
}

std::optional<Response> ServeModernEngine(const Request& request, const std::string& host) {
    const std::string folder = kModernFolder;
    if (!request.path.starts_with(folder)) return std::nullopt;
    const std::string rest = request.path.substr(folder.size());
    const std::size_t slash = rest.find('/');
    if (slash == std::string::npos || rest.substr(slash) != "/search")
        return ErrorPage(404, "Not Found");
    if (request.method != "GET" && request.method != "POST")
        return ErrorPage(501, "Not Implemented");
    const QueryMap fields = ParseQuery(request.method == "POST" ? request.body : request.query);
    Query q;
    q.mode = rest.substr(0, slash);
    q.keyword = fields.count("q") ? fields.at("q") : "";
    q.offset = std::min(ParseCount(fields, "s", 0), kModernResultCount);
    q.token = fields.count("vqd") ? fields.at("vqd") : "";
    if (q.mode == "block202") return WithStatus(202, "Accepted", ChallengePage());
    if (q.mode == "block429") return WithStatus(429, "Too Many Requests", ChallengePage());
    if (q.mode == "captcha") return HtmlPage(ChallengePage());
    // A later page without the first page's token is a bot's request.
    if (q.offset > 0 && q.token != ModernToken(q.keyword)) return HtmlPage(ChallengePage());
    if (q.mode == "form" || q.mode == "link" || q.mode == "empty" || q.mode == "changed" ||
        q.mode == "nocheck")
        return HtmlPage(RenderResults(q, host));
    return ErrorPage(404, "Not Found");
}

}  // namespace kv::demo
