// Test bodies in the content codings a server may send: gzip, zlib-wrapped and raw deflate.
#pragma once

#include <zlib.h>

#include <string>

namespace kv::http::testing {

enum class Wrap { Gzip, Zlib, Raw };

inline std::string Compress(const std::string& data, Wrap wrap) {
    const int bits = wrap == Wrap::Gzip ? 15 + 16 : wrap == Wrap::Zlib ? 15 : -15;
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, bits, 9, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// 1 GiB of zeros as gzip in about 1 MiB: 1024 members of 1 MiB each (one body, as a
// gzip reader must take it), made once per test program.
inline const std::string& GibibyteBomb() {
    static const std::string bomb = [] {
        const std::string member = Compress(std::string(1024 * 1024, '\0'), Wrap::Gzip);
        std::string all;
        for (int i = 0; i < 1024; ++i) all += member;
        return all;
    }();
    return bomb;
}

}  // namespace kv::http::testing
