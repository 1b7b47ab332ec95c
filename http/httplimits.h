// Every limit that input from the network can drive, with its reason.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kv::http {

// One reply header line must fit the receive buffer, LF included.
inline constexpr std::size_t kReceiveBufferBytes = 8192;
// A head of endless short lines must not exhaust memory; real heads are a few KiB.
inline constexpr std::size_t kMaxReplyHeadBytes = 1024 * 1024;
// A page larger than this is not a web page the program can use; it ends as a failure.
inline constexpr std::uint64_t kMaxBodyMiB = 64;
inline constexpr std::uint64_t kMaxBodyBytes = kMaxBodyMiB * 1024 * 1024;
// Chunk framing and compression headers may add to the bytes on the wire beyond the cap.
inline constexpr std::uint64_t kMaxBodyFramingBytes = 1024 * 1024;
// Browsers give up after about 20 hops; a longer chain is a loop.
inline constexpr int kMaxRedirects = 20;
// A server must not fill the cookie stores without bound.
inline constexpr std::size_t kMaxCookiesPerDomain = 50;
inline constexpr std::size_t kMaxCookieDomains = 50;
inline constexpr std::size_t kMaxSharedCookies = 300;
// Keeps "now + Max-Age" inside the years an Internet date can express.
inline constexpr std::int64_t kMaxCookieAgeSeconds = std::int64_t{100} * 366 * 24 * 3600;

}  // namespace kv::http
