// The chunked transfer-coding reader on arbitrary bytes, fed in pieces whose sizes the input
// chooses: it never crashes, reads past its input or delivers more than it was given.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "http/chunkeddecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = data[0] % 64 + 1;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    kv::http::ChunkedDecoder decoder;
    std::size_t delivered = 0;
    for (std::size_t at = 0; at < input.size(); at += piece) {
        decoder.Feed(input.substr(at, piece),
                     [&delivered](std::string_view d) { delivered += d.size(); });
    }
    if (delivered > input.size()) __builtin_trap();
    return 0;
}
