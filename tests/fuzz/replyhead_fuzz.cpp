// libFuzzer entry for a hostile reply head: the input is read line by line as the exchange
// reads a head (LF ends a line, a CR before it goes). Status lines, fields, Location values
// and Set-Cookie values go through the same functions the client uses. A request built from
// them never holds a blank or control byte in its target, a host that passes the host check
// holds only host characters, and no cookie of www.shop.com reaches another site or breaks
// the Cookie line. Anything else, or a crash, is a bug.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "http/cookmanager.h"
#include "http/httpaddress.h"
#include "http/httperror.h"
#include "http/httplimits.h"
#include "http/replyhead.h"
#include "http/requestsafety.h"
#include "http/setcookie.h"
#include "http/sharedcookielist.h"

namespace {

using namespace kv::http;

constexpr std::string_view kCurrent = "http://www.shop.com/dir/page?q=1";
constexpr std::string_view kHost = "www.shop.com";
constexpr UnixSeconds kNow = 1796767435;

void Require(bool condition) {
    if (!condition) std::abort();
}

bool HasByte(std::string_view text, std::string_view bytes) {
    return text.find_first_of(bytes) != std::string_view::npos;
}

void CheckRedirect(std::string_view value) {
    const RedirectTarget target = ResolveLocation(kCurrent, value);
    const UrlParts parts = SplitAddress(target.address);
    for (char c : EncodeRequestTarget(parts.path)) {
        const auto byte = static_cast<unsigned char>(c);
        Require(byte > 0x20 && byte != 0x7F);
    }
    if (IsHostName(parts.host)) Require(!HasByte(parts.host, std::string_view("\r\n\0 ", 4)));
    (void)SameOrigin(kCurrent, target.address);
}

void CheckCookieLine(const std::string& line) {
    Require(line.size() <= kMaxCookieLineBytes);
    std::string head;
    AppendHeaderLine(head, "Cookie", line);  // raises, and so aborts, on a line break or NUL
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    TCookManager manager;
    SharedCookieList shared;
    try {
        while (!input.empty()) {
            const std::size_t lf = input.find('\n');
            std::string_view line = input.substr(0, lf);
            input.remove_prefix(lf == std::string_view::npos ? input.size() : lf + 1);
            if (line.ends_with('\r')) line.remove_suffix(1);
            if (line.size() >= kReceiveBufferBytes) continue;
            (void)IsHtmlStartLine(line);
            if (auto status = ParseStatusLine(line)) {
                Require(status->code >= -99 && status->code <= 999);  // three characters
                continue;
            }
            auto field = ParseHeaderField(line);
            if (!field) continue;
            if (field->name == "location") {
                CheckRedirect(field->value);
            } else if (field->name == "content-length") {
                Require(ParseContentLength(field->value) >= -1);
            } else if (field->name == "set-cookie") {
                manager.AddCookie(field->value, kCurrent, kNow);
                const TCookie cookie = ParseSetCookie(field->value, kNow);
                shared.Set(kHost, cookie.domain, cookie.name, cookie.value);
            }
        }
    } catch (const HttpError&) {
        // The local zone cannot be told: a failure with its message, not a bug.
        return 0;
    }
    CheckCookieLine(manager.CookieText(kCurrent, kNow));
    CheckCookieLine(shared.Text(kHost));
    for (std::string_view other : {"evilshop.com.attacker.net", "shop.com.attacker.net",
                                   "attacker.net", "com", "evilshop.com"}) {
        Require(manager.CookieText("http://" + std::string(other) + "/dir/", kNow).empty());
        Require(shared.Text(other).empty());
    }
    return 0;
}
