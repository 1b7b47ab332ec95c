// The gzip/deflate reader behind the body cap on arbitrary bytes: it never crashes, and a
// sink that stops at a cap (as the exchange's does) stops it within one output piece.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "http/bodydecoder.h"
#include "http/httperror.h"

namespace {
constexpr std::uint64_t kCap = 1 << 20;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const auto coding = static_cast<kv::http::ContentCoding>(data[0] % 3);
    const bool chunked = (data[0] & 0x10) != 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    kv::http::BodyDecoder decoder(chunked, std::nullopt, coding);
    std::uint64_t produced = 0;
    try {
        decoder.Feed(input, [&produced](std::string_view d) {
            produced += d.size();
            if (produced > kCap) throw kv::http::HttpError("cap");
        });
        decoder.Closed();
    } catch (const kv::http::HttpError&) {
    }
    if (produced > kCap + kv::http::ContentDecoder::kOutputPiece) __builtin_trap();
    return 0;
}
