#include "tools/demoengine/sitepages.h"

#include <string_view>

#include "tools/demoengine/charsetsites.h"
#include "tools/demoengine/declarations.h"
#include "tools/demoengine/sites.h"
#include "tools/demoengine/textcodec.h"

namespace kv::demo {
namespace {

// A 1x1 transparent PNG: the non-HTML answer.
constexpr unsigned char kPixelPng[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
    0x44, 0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x08, 0x06, 0x00, 0x00,
    0x00, 0x1F, 0x15, 0xC4, 0x89, 0x00, 0x00, 0x00, 0x0A, 0x49, 0x44, 0x41, 0x54, 0x78,
    0x9C, 0x63, 0x00, 0x01, 0x00, 0x00, 0x05, 0x00, 0x01, 0x0D, 0x0A, 0x2D, 0xB4, 0x00,
    0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

enum class Style { Plain, Capitals, LineBreaks, Capitalised, TwoElements };
constexpr int kStyleCount = 5;

Style StyleOf(int site) {
    return static_cast<Style>(site % kStyleCount);
}

std::string Join(const std::vector<std::string>& items, std::string_view separator) {
    std::string out;
    for (const std::string& item : items) {
        if (!out.empty()) out += separator;
        out += item;
    }
    return out;
}

std::string Body(const Topic& topic, int site) {
    const std::string phrase = HtmlEscape(topic.phrase);
    return "<h1>" + HtmlEscape(TitleCase(topic.phrase)) + " - site " + std::to_string(site) +
           "</h1>\n<p>Everything about " + phrase + ": prices, reviews and the newest " + phrase +
           " of the season.</p>\n";
}

std::string OrdinaryPage(const Topic& topic, int site) {
    const std::string title =
        HtmlEscape(TitleCase(topic.phrase)) + " - site " + std::to_string(site);
    const std::string content = HtmlEscape(KeywordContent(topic, site));
    const std::string description =
        "<meta name=\"description\" content=\"All about " + HtmlEscape(topic.phrase) + "\">\n";
    const bool meta = DeclaresMeta(DeclarationOfSite(site));
    const std::string others = OtherDeclarations(topic, site);
    if (StyleOf(site) == Style::Capitals) {
        return "<HTML>\n<HEAD>\n<TITLE>" + title + "</TITLE>\n" +
               (meta ? "<META NAME=\"Keywords\" CONTENT=\"" + content + "\">\n" : "") + others +
               "</HEAD>\n<BODY>\n" + Body(topic, site) + "</BODY>\n</HTML>\n";
    }
    std::string head = "<title>" + title + "</title>\n" + description;
    if (meta) head += "<meta name=\"keywords\" content=\"" + content + "\">\n";
    head += others;
    if (meta && StyleOf(site) == Style::TwoElements) {
        // Only the first element counts; the second must never show up in a theme.
        head += "<meta name=\"keywords\" content=\"" + HtmlEscape(topic.phrase) +
                " wholesale, second element\">\n";
    }
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html>\n<head>\n" +
           head + "</head>\n<body>\n" + Body(topic, site) + "</body>\n</html>\n";
}

std::string SitePage(SiteKind kind, const Topic& topic, int site) {
    switch (kind) {
        case SiteKind::BodyMeta:
            return "<html>\n<body>\n<meta name=\"keywords\" content=\"" +
                   HtmlEscape(KeywordContent(topic, site)) + "\">\n" + Body(topic, site) +
                   "</body>\n</html>\n";
        case SiteKind::Fragment:
            return Body(topic, site);
        case SiteKind::NoKeywords:
            return "<html><head><title>" + HtmlEscape(topic.phrase) +
                   "</title>\n<meta name=\"description\" content=\"" + HtmlEscape(topic.phrase) +
                   "\"></head>\n<body>\n" + Body(topic, site) + "</body></html>\n";
        default:
            return OrdinaryPage(topic, site);
    }
}

// "/site/NN/" with NN two digits naming a site; the rest of the path after it.
bool SplitSitePath(std::string_view path, int& site, std::string_view& rest) {
    constexpr std::string_view kPrefix = "/site/";
    if (!path.starts_with(kPrefix) || path.size() < kPrefix.size() + 3) return false;
    const std::string_view number = path.substr(kPrefix.size(), 2);
    if (number[0] < '0' || number[0] > '9' || number[1] < '0' || number[1] > '9' ||
        path[kPrefix.size() + 2] != '/') {
        return false;
    }
    site = (number[0] - '0') * 10 + (number[1] - '0');
    rest = path.substr(kPrefix.size() + 3);
    return site >= 1 && site <= kLastSite;
}

bool CutSuffix(std::string_view& text, std::string_view suffix) {
    if (!text.ends_with(suffix) || text.size() == suffix.size()) return false;
    text.remove_suffix(suffix.size());
    return true;
}

}  // namespace

std::string KeywordContent(const Topic& topic, int site) {
    std::vector<std::string> keywords = SiteKeywords(topic, site);
    switch (StyleOf(site)) {
        case Style::Plain:
            return Join(keywords, ", ");
        case Style::Capitals:
            return Join(keywords, ";");
        case Style::LineBreaks:
            return Join(keywords, ",\r\n  ");
        case Style::Capitalised:
            for (std::string& k : keywords) k = TitleCase(k);
            return Join(keywords, ", ");
        case Style::TwoElements:
            // The same keyword twice in two spellings: one keyword of the page.
            if (!keywords.empty()) keywords.push_back(TitleCase(keywords.front()));
            return Join(keywords, ",");
    }
    return {};
}

std::optional<Response> ServeSite(const Request& request, const std::string& host, int slowDelayMs,
                                  int siteHosts) {
    if (!request.path.starts_with("/site/")) return std::nullopt;
    int site = 0;
    std::string_view rest;
    if (!SplitSitePath(request.path, site, rest)) return ErrorPage(404, "Not Found");

    std::string slug;
    bool moved = false;
    if (rest == "show.php") {
        const QueryMap query = ParseQuery(request.query);
        if (query.contains("topic")) slug = query.at("topic");
    } else {
        moved = rest.starts_with("new/");
        if (moved) rest.remove_prefix(4);
        if (rest.find('/') == std::string_view::npos &&
            (CutSuffix(rest, ".html") || CutSuffix(rest, ".png"))) {
            slug = std::string(rest);
        }
    }
    const Topic topic = TopicOfSlug(slug);
    if (topic.words.empty()) return ErrorPage(404, "Not Found");

    const SiteKind kind = KindOfSite(site);
    // Built from the words again, so nothing from the request reaches a header unchecked.
    const std::string newPath = "/site/" + std::string(site < 10 ? "0" : "") +
                                std::to_string(site) + "/new/" + SlugOf(topic.phrase) + ".html";
    switch (kind) {
        case SiteKind::Image: {
            Response r;
            r.contentType = "image/png";
            r.body.assign(reinterpret_cast<const char*>(kPixelPng), sizeof kPixelPng);
            return r;
        }
        case SiteKind::Moved301:
            if (!moved) return Redirect(301, "http://" + SiteHost(host, site, siteHosts) + newPath);
            break;
        case SiteKind::Moved302:
            if (!moved) return Redirect(302, newPath);
            break;
        case SiteKind::Missing:
            return ErrorPage(404, "Not Found");
        default:
            break;
    }
    Response page = HtmlPage(SitePage(kind, topic, site));
    if (kind == SiteKind::Slow) page.extraDelayMs = slowDelayMs;
    if (const CharsetSite* charset = CharsetSiteOf(site)) ApplySiteCharset(*charset, page);
    return page;
}

}  // namespace kv::demo
