// The body of one reply from the bytes on the wire to the document: the chunked transfer
// coding, a Content-Length of an HTTP/1.1 reply, then the gzip/deflate content coding.
// Failures raise HttpError with the reason the exchange reports.
// Tests: tests/http/bodydecoder_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "http/chunkeddecoder.h"
#include "http/contentdecoder.h"

namespace kv::http {

class BodyDecoder {
  public:
    using Sink = std::function<void(std::string_view data)>;

    // `length`: the body ends after this many bytes (an HTTP/1.1 reply's Content-Length
    // without chunking); otherwise it ends at the last chunk or at the close.
    BodyDecoder(bool chunked, std::optional<std::uint64_t> length, ContentCoding coding);

    // Decodes received bytes into `sink`; true once the body is complete.
    // Raises HttpError for malformed chunking, damaged compressed data or too many bytes.
    bool Feed(std::string_view raw, const Sink& sink);
    // The connection closed: raises HttpError when the body is incomplete.
    void Closed() const;

  private:
    void Decode(std::string_view data, const Sink& sink);

    std::optional<ChunkedDecoder> chunked_;
    std::optional<std::uint64_t> length_;
    ContentDecoder content_;
    std::uint64_t rawBytes_ = 0;
    bool complete_ = false;
};

}  // namespace kv::http
