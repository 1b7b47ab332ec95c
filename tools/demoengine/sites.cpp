#include "tools/demoengine/sites.h"

namespace kv::demo {

SiteKind KindOfSite(int site) {
    switch (site) {
        case kImageSite:
            return SiteKind::Image;
        case kMoved301Site:
            return SiteKind::Moved301;
        case kMoved302Site:
            return SiteKind::Moved302;
        case kMissingSite:
            return SiteKind::Missing;
        case kSlowSite:
            return SiteKind::Slow;
        case kBodyMetaSite:
            return SiteKind::BodyMeta;
        case kFragmentSite:
            return SiteKind::Fragment;
        case kNoKeywordsSite:
            return SiteKind::NoKeywords;
        case kSponsorSite:
            return SiteKind::Sponsor;
        default:
            return SiteKind::Ordinary;
    }
}

SiteAddress AddressOfSite(const std::string& host, int site, const std::string& slug) {
    const std::string number = (site < 10 ? "0" : "") + std::to_string(site);
    const std::string folder = "http://" + host + "/site/" + number + "/";
    if (site == kImageSite) return {folder, slug, ".png"};
    if (KindOfSite(site) == SiteKind::Ordinary && site % 3 == 0) {
        return {folder + "show.php?topic=", slug, "&id=" + std::to_string(site)};
    }
    return {folder, slug, ".html"};
}

std::string SiteHost(const std::string& host, int site, int siteHosts) {
    if (siteHosts <= 0) return host;
    const std::size_t colon = host.rfind(':');
    const std::string port = colon == std::string::npos ? "" : host.substr(colon);
    return "127.0.0." + std::to_string(2 + site % siteHosts) + port;
}

}  // namespace kv::demo
