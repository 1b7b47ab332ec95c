#include "tools/demoengine/declarations.h"

#include <cstdio>
#include <vector>

#include "tools/demoengine/charsetsites.h"
#include "tools/demoengine/sitepages.h"
#include "tools/demoengine/textcodec.h"

namespace kv::demo {

namespace {

// Seeds the second keyword list of a site, so the other ways name further keywords.
constexpr int kOtherListSeed = 100;

std::string Meta(const char* attribute, const char* value, const std::string& content) {
    return std::string("<meta ") + attribute + "=\"" + value + "\" content=\"" +
           HtmlEscape(content) + "\">\n";
}

std::string JsonArray(const std::vector<std::string>& items) {
    std::string out = "[";
    for (const std::string& item : items) out += (out.size() > 1 ? "," : "") + JsonString(item);
    return out + "]";
}

std::string JsonLd(const std::string& json) {
    return "<script type=\"application/ld+json\">\n" + json + "\n</script>\n";
}

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) out += (out.empty() ? "" : ", ") + item;
    return out;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c == '<' || c == '>' || c == '&') {
            // "<" escaped too, so no keyword can close the script element.
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

Declaration DeclarationOfSite(int site) {
    // The sites in other charsets show their keyword in the META element they declare.
    if (CharsetSiteOf(site) != nullptr) return Declaration::MetaOnly;
    switch (site % 10) {
        case 3:
            return Declaration::MetaAndData;
        case 6:
            return Declaration::NewsOnly;
        case 7:
            return Declaration::TagsOnly;
        case 8:
            return Declaration::DataOnly;
        case 9:
            return Declaration::AllFour;
        default:
            return Declaration::MetaOnly;
    }
}

std::string OtherDeclarations(const Topic& topic, int site) {
    const std::vector<std::string> own = SiteKeywords(topic, site);
    const std::vector<std::string> more = SiteKeywords(topic, site + kOtherListSeed);
    std::string out;
    switch (DeclarationOfSite(site)) {
        case Declaration::MetaOnly:
            break;
        case Declaration::NewsOnly:
            out = Meta("name", "news_keywords", KeywordContent(topic, site));
            break;
        case Declaration::TagsOnly:
            for (const std::string& k : own) out += Meta("property", "article:tag", k);
            break;
        case Declaration::DataOnly:
            out = JsonLd(R"({"@context":"https://schema.org","@type":"Article","headline":)" +
                         JsonString(TitleCase(topic.phrase)) + R"(,"keywords":)" +
                         JsonString(Joined(own)) + "}");
            break;
        case Declaration::MetaAndData:
            out = JsonLd(R"({"@context":"https://schema.org","@graph":[{"@type":"WebPage",)"
                         R"("name":)" +
                         JsonString(topic.phrase) +
                         R"(},{"@type":"BlogPosting",)"
                         R"("keywords":)" +
                         JsonArray(more) + "}]}");
            break;
        case Declaration::AllFour: {
            // The same keywords again in other spellings, and the second list spread over
            // the other three ways.
            std::vector<std::string> news;
            for (const std::string& k : own) news.push_back(TitleCase(k));
            if (!more.empty()) news.push_back(more.front());
            out = Meta("name", "news_keywords", Joined(news));
            for (std::size_t i = 0; i < more.size(); i += 2)
                out += Meta("property", "article:tag", more[i]);
            out += JsonLd(R"({"@context":"https://schema.org","@type":"NewsArticle","keywords":)" +
                          JsonArray(more) + "}");
            break;
        }
    }
    return out;
}

}  // namespace kv::demo
