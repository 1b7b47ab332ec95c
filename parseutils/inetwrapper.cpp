#include "parseutils/inetwrapper.h"

#include <initializer_list>
#include <limits>

#include "parseutils/parseutilsstrings.h"
#include "text/format.h"

namespace kv::parseutils {

using strings::kCantCanonicalizeUrl;
using strings::kCantCombineUrl;

std::size_t UrlBufferCapacity(std::size_t inputLength) {
    constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
    return inputLength > kMax / kUrlBufferFactor ? kMax : inputLength * kUrlBufferFactor;
}

std::string CombineUrl(std::string_view base, std::string_view relative) {
    std::optional<std::string> combined =
        CombineUrlReference(base, relative, UrlBufferCapacity(base.size() + relative.size()));
    if (!combined) throw EUrlHandle(text::FormatText(kCantCombineUrl, {base, relative}));
    return std::move(*combined);
}

std::string CanonicalizeUrl(std::string_view url) {
    std::optional<std::string> canonical =
        CanonicalizeUrlBrowserMode(url, UrlBufferCapacity(url.size()));
    if (!canonical) throw EUrlHandle(text::FormatText(kCantCanonicalizeUrl, {url}));
    return std::move(*canonical);
}

}  // namespace kv::parseutils
