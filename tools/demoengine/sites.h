// The result sites of the demo web: their numbers, kinds and addresses. Sites 1 to 9 are the
// awkward ones every engine mixes in (an image, redirects, a missing page, a slow page, pages
// without a head or without keywords); sites 10 to 69 are ordinary pages.
// Tests: tests/tools/demopages_test.cpp, tests/tools/demoserver_test.cpp.
#pragma once

#include <string>

namespace kv::demo {

enum class SiteKind {
    Image,       // 1: answers image/png
    Moved301,    // 2: 301 to an absolute address
    Moved302,    // 3: 302 to a server-relative address
    Missing,     // 4: 404
    Slow,        // 5: an ordinary page after the slow delay
    BodyMeta,    // 6: no head; its META keywords stand in the body
    Fragment,    // 7: no html, head or body element at all
    NoKeywords,  // 8: a head with a description but no META keywords
    Sponsor,     // 9: the advertiser the engines show outside their results
    Ordinary,    // 10 to 69
};

inline constexpr int kImageSite = 1;
inline constexpr int kMoved301Site = 2;
inline constexpr int kMoved302Site = 3;
inline constexpr int kMissingSite = 4;
inline constexpr int kSlowSite = 5;
inline constexpr int kBodyMetaSite = 6;
inline constexpr int kFragmentSite = 7;
inline constexpr int kNoKeywordsSite = 8;
inline constexpr int kSponsorSite = 9;
inline constexpr int kFirstOrdinarySite = 10;
inline constexpr int kOrdinarySiteCount = 60;
inline constexpr int kLastSite = kFirstOrdinarySite + kOrdinarySiteCount - 1;

SiteKind KindOfSite(int site);

// One site's address for a slug, in three pieces so engines can mark up the slug:
// "http://HOST/site/23/" "red-shoes" ".html", or for every third ordinary site a dynamic page
// "http://HOST/site/33/show.php?topic=" "red-shoes" "&id=33".
struct SiteAddress {
    std::string before;
    std::string slug;
    std::string after;
    std::string Full() const { return before + slug + after; }
};

// `host` is "127.0.0.1:PORT", the server's own address.
SiteAddress AddressOfSite(const std::string& host, int site, const std::string& slug);

// As the web spreads sites over many hosts, the server may serve its result sites from
// loopback addresses of their own, 127.0.0.2 upwards, on its port: at most this many.
inline constexpr int kMaxSiteHosts = 8;

// The host a site is served from when the sites are spread over `siteHosts` addresses
// ("127.0.0.N:PORT", with the port of `host`); `host` itself when `siteHosts` is 0.
std::string SiteHost(const std::string& host, int site, int siteHosts);

}  // namespace kv::demo
