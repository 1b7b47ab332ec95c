// The platform URL functions of the template library and their thin raising wrappers.
// Platform layer: reference resolution (RFC 3986 section 5.2, dot segments removed, nothing
// escaped), canonicalisation in browser mode and escape decoding. Each takes the capacity of the
// caller's output buffer in characters and fails (std::nullopt) when the result does not fit,
// as the system's URL functions do; none of them raises. Everything works on bytes.
// Wrapper layer: CombineUrl and CanonicalizeUrl size the buffer and raise EUrlHandle on failure.
// Tests: tests/parseutils/inetwrapper_test.cpp.
#pragma once

#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "parseutils/parseutilserror.h"

namespace kv::parseutils {

// The output buffer holds this many characters per input character (plus the terminator).
inline constexpr std::size_t kUrlBufferFactor = 3;

// The buffer capacity in characters for an input of inputLength characters (saturating).
std::size_t UrlBufferCapacity(std::size_t inputLength);

// The five components of a URI reference (RFC 3986 appendix B). An absent component differs
// from an empty one ("http://a/?" has an empty query, "http://a/" none). The scheme is only
// recognised when it is one by the grammar (a letter, then letters, digits, "+", "-", ".");
// otherwise the text counts as a relative reference. Views point into the parsed text.
struct UriParts {
    std::optional<std::string_view> scheme;
    std::optional<std::string_view> authority;
    std::string_view path;
    std::optional<std::string_view> query;
    std::optional<std::string_view> fragment;
};

UriParts SplitUriReference(std::string_view text);
// scheme ":" , "//" authority, path, "?" query, "#" fragment, each when present.
std::string JoinUriParts(const UriParts& parts);

// RFC 3986 section 5.2.4: "." and ".." segments removed; ".." never climbs above the root.
// Linear in the length of the path.
std::string RemoveDotSegments(std::string_view path);

// relative resolved against base; base needs a scheme. Nothing is escaped.
std::optional<std::string> CombineUrlReference(std::string_view base, std::string_view relative,
                                               std::size_t capacity);

// Browser mode: before the first "?" or "#" the bytes of the unsafe set (controls, blank, '"',
// '<', '>', '\', '^', '`', '{', '|', '}', DEL and bytes >= 0x80) of the path become "%XX" and
// "." and ".." segments of an absolute path are removed; "%" stays as it is, the authority,
// query and fragment are left alone. A URL without a scheme, or an empty one, fails.
std::optional<std::string> CanonicalizeUrlBrowserMode(std::string_view url, std::size_t capacity);

// Appends "%" and the byte's code as two upper-case hex digits.
void AppendPercentEscape(char byte, std::string& out);

// Every "%" followed by two hex digits (either case) becomes that byte, in one pass; nothing
// else changes. An empty URL fails.
std::optional<std::string> DecodeUrlEscapes(std::string_view url, std::size_t capacity);

// The error of the URL wrappers; what() is the user-visible message.
class EUrlHandle : public ParseUtilsError {
  public:
    using ParseUtilsError::ParseUtilsError;
};

// base and relative combined, nothing escaped; raises EUrlHandle with
// "Can't combine URL: Base: <base>; Url: <relative>" when that fails.
std::string CombineUrl(std::string_view base, std::string_view relative);

// The canonical form in browser mode; raises EUrlHandle with "Can't canonicalize url <url>".
std::string CanonicalizeUrl(std::string_view url);

}  // namespace kv::parseutils
