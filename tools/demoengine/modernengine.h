// A search engine of today, for the engine self-test and the new definition fields: the query
// may be a POST; the next page is a form with a per-query token (page two without it gets a
// block page) or a relative link; addresses are wrapped (percent-encoded "uddg=" or base64url
// "u=a1..."); an ad block links to the engine's own host; and modes answer 202 or 429 block
// pages, a CAPTCHA page, an empty result page or changed markup.
//
// Paths: /modern/MODE/search with MODE one of
//   form     POST or GET; uddg-wrapped links; next page a POST form carrying "vqd"
//   link     GET; base64url-wrapped relative links; next page a relative link
//   block202, block429   the block page with that status
//   captcha  the block page with status 200
//   empty    a result page without results
//   changed  result blocks whose links moved to another attribute
//   nocheck  a redesigned page: the check text is gone
// Results go to addresses on shopN.example (never fetched): 30 per keyword, 10 a page.
// Tests: tests/detect/enginecheck_test.cpp.
#pragma once

#include <optional>
#include <string>

#include "tools/demoengine/request.h"
#include "tools/demoengine/response.h"

namespace kv::demo {

inline constexpr const char* kModernFolder = "/modern/";
inline constexpr int kModernResultCount = 30;
inline constexpr int kModernPageSize = 10;

// The token a query's first page hands out and later pages must send back.
std::string ModernToken(const std::string& keyword);
// The destination of the result at rank (from 1) for the keyword.
std::string ModernResultAddress(const std::string& keyword, int rank);

// Answers GET and POST below /modern/; nothing for other paths.
std::optional<Response> ServeModernEngine(const Request& request, const std::string& host);

}  // namespace kv::demo
