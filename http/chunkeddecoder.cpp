#include "http/chunkeddecoder.h"

#include "text/hexdigit.h"

namespace kv::http {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

ChunkedDecoder::Status ChunkedDecoder::Fail(Problem problem) {
    problem_ = problem;
    status_ = Status::Bad;
    return status_;
}

// "1A3F;name=value" with blanks allowed around the size.
bool ChunkedDecoder::ReadSizeLine(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) ++i;
    std::uint64_t size = 0;
    std::size_t digits = 0;
    for (; i < line.size() && text::HexDigitValue(line[i]) >= 0; ++i, ++digits) {
        if (size > (kMaxChunkSize >> 4)) {
            Fail(Problem::SizeTooLarge);
            return false;
        }
        size = (size << 4) | static_cast<std::uint64_t>(text::HexDigitValue(line[i]));
    }
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (digits == 0 || (i < line.size() && line[i] != ';')) {
        Fail(Problem::BadSizeLine);
        return false;
    }
    remaining_ = size;
    return true;
}

ChunkedDecoder::Status ChunkedDecoder::Feed(std::string_view in, const Sink& sink) {
    while (!in.empty() && status_ == Status::More) {
        if (stage_ == Stage::Data) {
            const std::size_t take =
                remaining_ < in.size() ? static_cast<std::size_t>(remaining_) : in.size();
            if (take > 0) sink(in.substr(0, take));
            in.remove_prefix(take);
            remaining_ -= take;
            if (remaining_ == 0) stage_ = Stage::DataEnd;
            continue;
        }
        // The other stages read lines ending in LF (CR LF or a bare LF).
        const std::size_t lf = in.find('\n');
        if (lf == std::string_view::npos) {
            line_.append(in);
            if (line_.size() > kMaxChunkLineBytes) return Fail(Problem::SizeLineTooLong);
            if (stage_ == Stage::Trailer && trailerBytes_ + line_.size() > kMaxChunkTrailerBytes)
                return Fail(Problem::TrailerTooLong);
            return status_;
        }
        line_.append(in.substr(0, lf));
        in.remove_prefix(lf + 1);
        if (!line_.empty() && line_.back() == '\r') line_.pop_back();
        std::string line = std::move(line_);
        line_.clear();
        switch (stage_) {
            case Stage::SizeLine:
                if (line.size() > kMaxChunkLineBytes) return Fail(Problem::SizeLineTooLong);
                if (!ReadSizeLine(line)) return status_;
                stage_ = remaining_ == 0 ? Stage::Trailer : Stage::Data;
                break;
            case Stage::DataEnd:
                if (!line.empty()) return Fail(Problem::NoLineEnd);
                stage_ = Stage::SizeLine;
                break;
            case Stage::Trailer:
                trailerBytes_ += line.size() + 1;
                if (trailerBytes_ > kMaxChunkTrailerBytes) return Fail(Problem::TrailerTooLong);
                if (line.empty()) status_ = Status::Done;
                break;
            case Stage::Data:
                break;
        }
    }
    return status_;
}

}  // namespace kv::http
