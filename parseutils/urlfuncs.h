// URL and domain functions of the template library: taking URLs apart, comparing sites and
// domains, encoding a keyword for a query string, the base URL of a page, and combining,
// canonicalising and decoding URLs. Text is bytes; lower-casing maps ASCII letters only.
// None of these functions raises (beyond running out of memory) or keeps state.
// Tests: tests/parseutils/urlfuncs_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::parseutils {

// One trailing "/" dropped, then everything up to and including the first "://".
std::string RemoveHttpSlash(std::string_view url);

// The lower-cased host without a leading "www.": what RemoveHttpSlash leaves up to the first "/".
// Port and user name stay: "http://example.com:8080" gives "example.com:8080".
std::string GetSiteDomain(std::string_view url);

// The last two labels of GetSiteDomain ("news.a.b.co.uk" gives "co.uk"); empty without a ".".
std::string GetSiteFirstDomain(std::string_view url);

// GetSiteFirstDomain of both equal (exact); two hosts without a dot count as one domain.
bool SitesInOneDomain(std::string_view url1, std::string_view url2);

// An entry of list has the same GetSiteDomain as url.
bool CheckSiteInList(std::string_view url, const std::vector<std::string>& list);

// An entry of list lies in one domain with url (SitesInOneDomain).
bool CheckDomainInList(std::string_view url, const std::vector<std::string>& list);

// What follows the host in url, in its own letter case; "/" when nothing follows, empty when
// the host is empty.
std::string GetSiteUrlAfterDomain(std::string_view url);

// GetSiteUrlAfterDomain with the letters A to Z lowered.
std::string GetSiteUrlAfterDomainLower(std::string_view url);

// A keyword for a query string: blanks become "+"; "." and ASCII letters stay; every other
// byte, "+" included, becomes "%" and two upper-case hex digits ("mp3" gives "mp%33").
std::string EncodeWord(std::string_view word);

// The href of the first base element below the first head element of the page, as written;
// empty when there is no head, no base in it, or no href on that first base.
std::string GetBaseURL(std::string_view html);

// relative resolved against base ("http://" put in front of a base without "://"); base as
// given when that fails.
std::string MyCombineURL(std::string_view base, std::string_view relative);

// The canonical form in browser mode (unsafe bytes of the path escaped, dot segments removed,
// query and fragment left alone); url unchanged when it cannot be canonicalised.
std::string MyCanonicalizeUrl(std::string_view url);

// Each "%" and two hex digits decoded to its byte, nothing else; url unchanged on failure.
std::string MyDecodeUrl(std::string_view url);

}  // namespace kv::parseutils
