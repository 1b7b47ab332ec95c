// Reading the chunked transfer coding incrementally: size lines (hex, any case, extensions
// ignored), data, the line end after each chunk, the last chunk and its trailer (ignored).
// Malformed or absurd input is reported as a value, never raised, so the exchange chooses the
// message. Tests: tests/http/bodydecoder_test.cpp; fuzzed by tests/fuzz/chunked_fuzz.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kv::http {

// A size line (with its extensions) longer than this is not a size line.
inline constexpr std::size_t kMaxChunkLineBytes = 4096;
// Trailer fields are ignored, but must not grow without bound.
inline constexpr std::size_t kMaxChunkTrailerBytes = 64 * 1024;
// A chunk size past this is absurd: no body of ours comes near it.
inline constexpr std::uint64_t kMaxChunkSize = (std::uint64_t{1} << 63) - 1;

class ChunkedDecoder {
  public:
    enum class Status { More, Done, Bad };
    enum class Problem {
        None,
        BadSizeLine,
        SizeLineTooLong,
        SizeTooLarge,
        NoLineEnd,
        TrailerTooLong
    };
    using Sink = std::function<void(std::string_view data)>;

    // Decodes the bytes; the data of the chunks goes to `sink`. Done once the last chunk and
    // its trailer have passed (later bytes are ignored); Bad for good once the input is broken.
    Status Feed(std::string_view in, const Sink& sink);
    Status State() const { return status_; }
    Problem Failure() const { return problem_; }

  private:
    enum class Stage { SizeLine, Data, DataEnd, Trailer };
    Status Fail(Problem problem);
    bool ReadSizeLine(std::string_view line);

    Stage stage_ = Stage::SizeLine;
    Status status_ = Status::More;
    Problem problem_ = Problem::None;
    std::string line_;  // the part of a size or trailer line received so far
    std::uint64_t remaining_ = 0;
    std::size_t trailerBytes_ = 0;
};

}  // namespace kv::http
