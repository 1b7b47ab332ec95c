// TCookManager: the cookies of one fetch attempt, kept by domain and name and sent back to
// the hosts and paths they fit. Lives as long as its client; nothing is written anywhere.
// Tests: tests/http/cookies_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "http/cookiescope.h"
#include "http/internetdate.h"
#include "http/setcookie.h"

namespace kv::http {

// There is no system cookie store on this platform: SystemStore keeps its own list too.
enum class TCookieMode { Off, SystemStore, OwnList };

class TCookManager {
  public:
    explicit TCookManager(TCookieMode mode = TCookieMode::OwnList) : mode_(mode) {}

    TCookieMode Mode() const { return mode_; }
    void SetMode(TCookieMode mode) { mode_ = mode; }

    // Keeps the cookie of a Set-Cookie value received on a reply to `address`, unless its
    // domain is refused for the host (cookiescope.h) or it holds a control byte. An address
    // without a scheme is read as "http://...".
    void AddCookie(std::string_view raw, std::string_view address, UnixSeconds now = NowSeconds());

    // The Cookie text for a request to `address`: expired cookies are dropped first; the
    // rest whose scope fits the host and whose path fits, longest path first, as
    // "n=v; n2=v2", up to kMaxCookieLineBytes.
    std::string CookieText(std::string_view address, UnixSeconds now = NowSeconds());

    std::size_t Count() const;

  private:
    struct DomainCookies {
        CookieScope scope;
        std::vector<TCookie> cookies;
    };
    std::vector<DomainCookies> domains_;
    TCookieMode mode_;
};

// Merges a cookie text into a client's Cookie value: a blank value becomes the text, else a
// non-empty text is appended after "; ".
void MergeCookieText(std::string& cookie, std::string_view text);

// Four dot-separated integers from 0 to 255.
bool IsDottedAddress(std::string_view host);

}  // namespace kv::http
