#include "html/htmlparser.h"
#include "html/nodesearch.h"
#include "parseutils/inetwrapper.h"
#include "parseutils/urlfuncs.h"

namespace kv::parseutils {

std::string GetBaseURL(std::string_view html) {
    html::THTMLParser parser;
    parser.Parse(html);
    const html::THierarchyNode* head = html::FindFirst(parser.Root(), "head");
    if (head == nullptr) return {};
    html::TTagNodeList bases;
    html::FindAll(head, "base", bases);
    if (bases.Count() == 0) return {};
    return std::string(bases.Items(0)->AttributeValue("href"));
}

std::string MyCombineURL(std::string_view base, std::string_view relative) {
    // Every failure, of the wrapper or on the way to it, leaves the base as the caller gave it.
    try {
        if (base.find("://") != std::string_view::npos) return CombineUrl(base, relative);
        return CombineUrl("http://" + std::string(base), relative);
    } catch (...) {
        return std::string(base);
    }
}

std::string MyCanonicalizeUrl(std::string_view url) {
    try {
        return CanonicalizeUrl(url);
    } catch (...) {
        return std::string(url);
    }
}

std::string MyDecodeUrl(std::string_view url) {
    std::optional<std::string> decoded = DecodeUrlEscapes(url, UrlBufferCapacity(url.size()));
    return decoded ? std::move(*decoded) : std::string(url);
}

}  // namespace kv::parseutils
