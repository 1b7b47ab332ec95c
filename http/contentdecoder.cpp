#include "http/contentdecoder.h"

#include <zlib.h>

#include <vector>

#include "http/fieldtext.h"
#include "text/textcompare.h"

namespace kv::http {

namespace {

// zlib's window bits: 15 for the zlib wrapper, negative for raw deflate, +16 for gzip.
constexpr int kZlibWindow = 15;
constexpr int kRawWindow = -15;
constexpr int kGzipWindow = 15 + 16;

// The two bytes of a zlib header: method 8 (deflate), a window of at most 32 KiB, and a
// check that makes the pair a multiple of 31. Raw deflate data rarely looks like this.
bool LooksLikeZlibHeader(unsigned char cmf, unsigned char flg) {
    return (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && ((cmf << 8) | flg) % 31 == 0;
}

bool StartsGzipMember(std::string_view in) {
    return in.size() >= 2 && static_cast<unsigned char>(in[0]) == 0x1F &&
           static_cast<unsigned char>(in[1]) == 0x8B;
}

}  // namespace

std::optional<ContentCoding> ContentCodingOf(std::string_view contentEncoding) {
    const std::string coding = text::AsciiLowerCase(TrimControls(contentEncoding));
    if (coding.empty() || coding == "identity") return ContentCoding::Identity;
    if (coding == "gzip" || coding == "x-gzip") return ContentCoding::Gzip;
    if (coding == "deflate") return ContentCoding::Deflate;
    return std::nullopt;
}

struct ContentDecoder::Stream {
    explicit Stream(int windowBits) { ok = inflateInit2(&z, windowBits) == Z_OK; }
    ~Stream() {
        if (ok) inflateEnd(&z);
    }
    z_stream z{};
    bool ok = false;
};

ContentDecoder::ContentDecoder(ContentCoding coding) : coding_(coding) {
    if (coding_ == ContentCoding::Gzip) stream_ = std::make_unique<Stream>(kGzipWindow);
}

ContentDecoder::~ContentDecoder() = default;

ContentDecoder::Status ContentDecoder::Feed(std::string_view in, const Sink& sink) {
    if (status_ != Status::More || in.empty()) return status_;
    started_ = true;
    if (coding_ == ContentCoding::Identity) {
        sink(in);
        return status_;
    }
    std::string joined;
    if (!stream_) {
        // Deflate: "deflate" means zlib-wrapped, but many servers send it raw.
        head_.append(in);
        if (head_.size() < 2) return status_;
        const bool zlib = LooksLikeZlibHeader(static_cast<unsigned char>(head_[0]),
                                              static_cast<unsigned char>(head_[1]));
        stream_ = std::make_unique<Stream>(zlib ? kZlibWindow : kRawWindow);
        joined = std::move(head_);
        in = joined;
    }
    if (!stream_->ok) {
        status_ = Status::Bad;
        return status_;
    }
    while (!in.empty() && status_ == Status::More) {
        status_ = Inflate(in, sink);
        // Concatenated gzip members form one body.
        if (status_ == Status::Done && coding_ == ContentCoding::Gzip && StartsGzipMember(in)) {
            inflateReset(&stream_->z);
            status_ = Status::More;
        }
    }
    return status_;
}

ContentDecoder::Status ContentDecoder::Inflate(std::string_view& in, const Sink& sink) {
    z_stream& z = stream_->z;
    std::vector<unsigned char> out(kOutputPiece);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    for (;;) {
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        const int result = inflate(&z, Z_NO_FLUSH);
        const std::size_t produced = out.size() - z.avail_out;
        in.remove_prefix(in.size() - z.avail_in);
        if (produced > 0) sink(std::string_view(reinterpret_cast<char*>(out.data()), produced));
        if (result == Z_STREAM_END) return Status::Done;
        if (result == Z_BUF_ERROR) return Status::More;  // nothing left to do with this input
        if (result != Z_OK) return Status::Bad;
        if (z.avail_in == 0 && z.avail_out != 0) return Status::More;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
        z.avail_in = static_cast<uInt>(in.size());
    }
}

}  // namespace kv::http
