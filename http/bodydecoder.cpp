#include "http/bodydecoder.h"

#include "http/httperror.h"
#include "http/httplimits.h"
#include "http/httpstrings.h"

namespace kv::http {

namespace {

std::string_view ChunkProblemText(ChunkedDecoder::Problem problem) {
    switch (problem) {
        case ChunkedDecoder::Problem::SizeLineTooLong:
            return kChunkSizeLineTooLong;
        case ChunkedDecoder::Problem::SizeTooLarge:
            return kChunkSizeTooLarge;
        case ChunkedDecoder::Problem::NoLineEnd:
            return kChunkNoLineEnd;
        case ChunkedDecoder::Problem::TrailerTooLong:
            return kChunkTrailerTooLong;
        default:
            return kChunkBadSizeLine;
    }
}

}  // namespace

BodyDecoder::BodyDecoder(bool chunked, std::optional<std::uint64_t> length, ContentCoding coding)
    : length_(chunked ? std::nullopt : length), content_(coding) {
    if (chunked) chunked_.emplace();
    if (length_ && *length_ == 0) complete_ = true;
}

bool BodyDecoder::Feed(std::string_view raw, const Sink& sink) {
    if (complete_ || raw.empty()) return complete_;
    // Compressed or chunked bytes count too: endless empty chunks or blocks decode to nothing.
    if (rawBytes_ + raw.size() > kMaxBodyBytes + kMaxBodyFramingBytes) {
        throw HttpError(FormatText(kHttpBodyTooLarge, std::to_string(kMaxBodyMiB)));
    }
    if (length_ && raw.size() > *length_ - rawBytes_) {
        raw = raw.substr(0, static_cast<std::size_t>(*length_ - rawBytes_));
    }
    rawBytes_ += raw.size();
    if (chunked_) {
        const auto status =
            chunked_->Feed(raw, [this, &sink](std::string_view data) { Decode(data, sink); });
        if (status == ChunkedDecoder::Status::Bad) {
            throw HttpError(FormatText(kHttpBadChunked, ChunkProblemText(chunked_->Failure())));
        }
        complete_ = status == ChunkedDecoder::Status::Done;
    } else {
        Decode(raw, sink);
        complete_ = length_ && rawBytes_ == *length_;
    }
    if (complete_) Closed();  // the framing ended: the compressed data must have ended too
    return complete_;
}

void BodyDecoder::Decode(std::string_view data, const Sink& sink) {
    if (content_.Feed(data, sink) == ContentDecoder::Status::Bad) {
        throw HttpError(kHttpBadCompressedBody);
    }
}

void BodyDecoder::Closed() const {
    if (chunked_ && chunked_->State() != ChunkedDecoder::Status::Done && rawBytes_ > 0) {
        throw HttpError(kHttpBodyCutShort);
    }
    if (length_ && rawBytes_ < *length_) throw HttpError(kHttpBodyCutShort);
    if (!content_.Complete()) throw HttpError(kHttpBodyCutShort);
}

}  // namespace kv::http
