#include "parseutils/urlfuncs.h"

#include <cstddef>

#include "parseutils/inetwrapper.h"
#include "text/textcompare.h"

namespace kv::parseutils {

namespace {

// Where the site domain lies in the lower-cased URL. The offset is taken from the steps that
// cut the domain out, so a domain that also occurs earlier in the URL (host "t" in
// "http://t/") is not mistaken for that earlier occurrence.
struct DomainSpan {
    std::string domain;
    std::size_t offset = 0;
};

DomainSpan FindSiteDomain(std::string_view url) {
    const std::string lower = text::AsciiLowerCase(url);
    std::string_view rest = lower;
    if (rest.ends_with('/')) rest.remove_suffix(1);
    std::size_t offset = 0;
    if (const std::size_t scheme = rest.find("://"); scheme != std::string_view::npos) {
        offset = scheme + 3;
        rest.remove_prefix(offset);
    }
    if (rest.starts_with("www.")) {
        offset += 4;
        rest.remove_prefix(4);
    }
    return {std::string(rest.substr(0, rest.find('/'))), offset};
}

}  // namespace

std::string RemoveHttpSlash(std::string_view url) {
    if (url.ends_with('/')) url.remove_suffix(1);
    if (const std::size_t scheme = url.find("://"); scheme != std::string_view::npos)
        url.remove_prefix(scheme + 3);
    return std::string(url);
}

std::string GetSiteDomain(std::string_view url) {
    return FindSiteDomain(url).domain;
}

std::string GetSiteFirstDomain(std::string_view url) {
    const std::string domain = GetSiteDomain(url);
    const std::size_t lastDot = domain.rfind('.');
    if (lastDot == std::string::npos) return {};
    const std::size_t previousDot =
        lastDot == 0 ? std::string::npos : domain.rfind('.', lastDot - 1);
    return domain.substr(previousDot == std::string::npos ? 0 : previousDot + 1);
}

bool SitesInOneDomain(std::string_view url1, std::string_view url2) {
    return text::SameExact(GetSiteFirstDomain(url1), GetSiteFirstDomain(url2));
}

bool CheckSiteInList(std::string_view url, const std::vector<std::string>& list) {
    const std::string domain = GetSiteDomain(url);
    for (const std::string& entry : list)
        if (text::SameExact(GetSiteDomain(entry), domain)) return true;
    return false;
}

bool CheckDomainInList(std::string_view url, const std::vector<std::string>& list) {
    const std::string firstDomain = GetSiteFirstDomain(url);
    for (const std::string& entry : list)
        if (text::SameExact(GetSiteFirstDomain(entry), firstDomain)) return true;
    return false;
}

std::string GetSiteUrlAfterDomain(std::string_view url) {
    const DomainSpan span = FindSiteDomain(url);
    if (span.domain.empty()) return {};
    const std::string_view after = url.substr(span.offset + span.domain.size());
    return after.empty() ? std::string("/") : std::string(after);
}

std::string GetSiteUrlAfterDomainLower(std::string_view url) {
    return text::AsciiLowerCase(GetSiteUrlAfterDomain(url));
}

std::string EncodeWord(std::string_view word) {
    std::string out;
    out.reserve(word.size());
    for (char c : word) {
        // A literal "+" would reach the engine as a blank ("C++" as "C"): only blanks become "+".
        const bool kept = c == '.' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (c == ' ')
            out += '+';
        else if (kept)
            out += c;
        else
            AppendPercentEscape(c, out);
    }
    return out;
}

}  // namespace kv::parseutils
