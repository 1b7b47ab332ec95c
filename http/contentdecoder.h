// Decoding a gzip or deflate (zlib-wrapped or raw) content coding with zlib's streaming
// inflate, in bounded output pieces, so a caller's size cap stops a decompression bomb
// early. Damaged data is reported as a value. Tests: tests/http/bodydecoder_test.cpp;
// fuzzed by tests/fuzz/contentdecoder_fuzz.cpp.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kv::http {

enum class ContentCoding { Identity, Gzip, Deflate };

// The coding named by a Content-Encoding value; nullopt for one this program cannot decode.
std::optional<ContentCoding> ContentCodingOf(std::string_view contentEncoding);

class ContentDecoder {
  public:
    enum class Status { More, Done, Bad };
    using Sink = std::function<void(std::string_view data)>;

    explicit ContentDecoder(ContentCoding coding);
    ~ContentDecoder();
    ContentDecoder(const ContentDecoder&) = delete;
    ContentDecoder& operator=(const ContentDecoder&) = delete;

    // Decodes the bytes; output goes to `sink` in pieces of at most kOutputPiece bytes.
    // Done once the compressed stream ended (later bytes are ignored, but a further gzip
    // member is decoded too); Bad for good once the data is damaged.
    Status Feed(std::string_view in, const Sink& sink);
    Status State() const { return status_; }
    // Nothing is missing: no compressed data came, or its stream ended.
    bool Complete() const {
        return coding_ == ContentCoding::Identity || !started_ || status_ == Status::Done;
    }

    static constexpr std::size_t kOutputPiece = 64 * 1024;

  private:
    struct Stream;
    Status Inflate(std::string_view& in, const Sink& sink);

    ContentCoding coding_;
    std::unique_ptr<Stream> stream_;
    Status status_ = Status::More;
    bool started_ = false;
    std::string head_;  // the first byte of a deflate body, until the second tells its form
};

}  // namespace kv::http
