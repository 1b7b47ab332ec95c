// Reply bodies from the wire to the document: chunked framing edge cases, the three
// compressed forms, a decompression bomb and truncated data.
#include "http/bodydecoder.h"

#include <gtest/gtest.h>

#include "http/httperror.h"
#include "http/httplimits.h"
#include "tests/http/compress.h"

namespace kv::http::testing {
namespace {

// Decodes `raw` in pieces of `piece` bytes; the text of the failure, or "" and `body`.
std::string Decode(BodyDecoder& decoder, const std::string& raw, std::string& body,
                   std::size_t piece = 3, bool close = true) {
    try {
        bool complete = false;
        for (std::size_t at = 0; at < raw.size() && !complete; at += piece) {
            complete = decoder.Feed(std::string_view(raw).substr(at, piece),
                                    [&body](std::string_view d) { body.append(d); });
        }
        if (close && !complete) decoder.Closed();
    } catch (const HttpError& error) {
        return error.what();
    }
    return {};
}

TEST(BodyDecoderTest, ChunkedFraming) {
    const std::string longLine(100 * 1024, '0');
    struct Case {
        std::string raw;
        std::string body;
        std::string failure;
    } cases[] = {
        {"5\r\nhello\r\n0\r\n\r\n", "hello", ""},
        {"a\r\n0123456789\r\nA\r\nabcdefghij\r\n0\r\n\r\n", "0123456789abcdefghij", ""},
        {"3;name=\"v\"\r\nabc\r\n0;last\r\nTrailer: x\r\n\r\nignored", "abc", ""},
        {"3  \nabc\n0\n\n", "abc", ""},
        {"0000000000000000003\r\nabc\r\n0\r\n\r\n", "abc", ""},
        {"zz\r\nabc\r\n", "", "malformed chunked reply body: bad chunk size line"},
        {"\r\n", "", "malformed chunked reply body: bad chunk size line"},
        {longLine + "1\r\nx\r\n0\r\n\r\n", "",
         "malformed chunked reply body: chunk size line too long"},
        {"8000000000000000\r\nx", "", "malformed chunked reply body: chunk size too large"},
        {"FFFFFFFFFFFFFFFFF\r\nx", "", "malformed chunked reply body: chunk size too large"},
        {"3\r\nabcX\r\n0\r\n\r\n", "abc",
         "malformed chunked reply body: no line end after a chunk"},
        {"3\r\nabc\r\n", "abc", "HTTP reply body cut short"},
        {"3\r\nab", "ab", "HTTP reply body cut short"},
    };
    for (const Case& c : cases) {
        for (std::size_t piece : {std::size_t{1}, std::size_t{7}, c.raw.size() + 1}) {
            BodyDecoder decoder(true, std::nullopt, ContentCoding::Identity);
            std::string body;
            EXPECT_EQ(Decode(decoder, c.raw, body, piece), c.failure) << c.raw.substr(0, 40);
            EXPECT_EQ(body, c.body) << c.raw.substr(0, 40);
        }
    }
}

TEST(BodyDecoderTest, CompressedFormsAndLengths) {
    std::string page;
    for (int i = 0; i < 2000; ++i) page += "<p>line " + std::to_string(i) + "</p>\n";
    const std::string gzip = Compress(page, Wrap::Gzip);
    struct Case {
        ContentCoding coding;
        std::string raw;
        std::string body;
    } cases[] = {
        {ContentCoding::Gzip, gzip, page},
        {ContentCoding::Gzip, gzip + Compress("more", Wrap::Gzip), page + "more"},
        {ContentCoding::Deflate, Compress(page, Wrap::Zlib), page},
        {ContentCoding::Deflate, Compress(page, Wrap::Raw), page},
        {ContentCoding::Identity, page, page},
    };
    for (const Case& c : cases) {
        BodyDecoder decoder(false, std::nullopt, c.coding);
        std::string body;
        EXPECT_EQ(Decode(decoder, c.raw, body, 1000), "");
        EXPECT_EQ(body, c.body);
    }
    // Chunked and compressed together; an HTTP/1.1 length ends the body without a close.
    std::string chunked;
    for (std::size_t at = 0; at < gzip.size(); at += 100) {
        const std::string piece = gzip.substr(at, 100);
        char size[16];
        std::snprintf(size, sizeof size, "%zx", piece.size());
        chunked += std::string(size) + "\r\n" + piece + "\r\n";
    }
    BodyDecoder both(true, std::nullopt, ContentCoding::Gzip);
    std::string body;
    EXPECT_EQ(Decode(both, chunked + "0\r\n\r\n", body, 333), "");
    EXPECT_EQ(body, page);
    BodyDecoder counted(false, 5, ContentCoding::Identity);
    body.clear();
    EXPECT_EQ(Decode(counted, "12345 and more", body, 2, false), "");
    EXPECT_EQ(body, "12345");
}

TEST(BodyDecoderTest, DamagedTruncatedAndBombs) {
    const std::string page(50000, 'k');
    const std::string gzip = Compress(page, Wrap::Gzip);
    std::string body;
    BodyDecoder truncated(false, std::nullopt, ContentCoding::Gzip);
    EXPECT_EQ(Decode(truncated, gzip.substr(0, gzip.size() / 2), body),
              "HTTP reply body cut short");
    BodyDecoder damaged(false, std::nullopt, ContentCoding::Gzip);
    EXPECT_EQ(Decode(damaged, std::string("\x1f\x8b\x08\0\0\0\0\0\0\x03\x07garbage", 18), body),
              "damaged gzip/deflate reply body");
    BodyDecoder shortLength(false, 10, ContentCoding::Identity);
    EXPECT_EQ(Decode(shortLength, "1234", body), "HTTP reply body cut short");

    // 1 GiB of zeros in about 1 MiB: decoding stops as the caller's cap is passed.
    const std::string& bomb = GibibyteBomb();
    EXPECT_LT(bomb.size(), 1200u * 1024u);
    BodyDecoder decoder(false, std::nullopt, ContentCoding::Gzip);
    std::uint64_t produced = 0;
    EXPECT_THROW(decoder.Feed(bomb,
                              [&produced](std::string_view d) {
                                  produced += d.size();
                                  if (produced > kMaxBodyBytes) throw HttpError("cap");
                              }),
                 HttpError);
    EXPECT_LE(produced, kMaxBodyBytes + ContentDecoder::kOutputPiece);
}

}  // namespace
}  // namespace kv::http::testing
