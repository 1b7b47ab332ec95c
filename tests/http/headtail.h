// The lines every request head carries after its cookie line.
#pragma once

namespace kv::http::testing {

inline constexpr const char* kHeadTail = "Accept-Encoding: gzip, deflate\r\nConnection: close\r\n";

}  // namespace kv::http::testing
