// Test bodies in the content codings a server may send: gzip, zlib-wrapped and raw deflate.
#pragma once

#include <string>

#include "tools/demoengine/compress.h"

namespace kv::http::testing {

enum class Wrap { Gzip, Zlib, Raw };

inline std::string Compress(const std::string& data, Wrap wrap) {
    return demo::Compress(data, wrap == Wrap::Gzip ? 15 + 16 : wrap == Wrap::Zlib ? 15 : -15);
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
