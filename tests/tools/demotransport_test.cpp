// The demo engine answers as today's servers do: coded and chunked bodies, POSTed search
// forms, and result sites in other charsets. Decoded by the program's own exchange.
#include <gtest/gtest.h>

#include "http/pagecharset.h"
#include "tools/demoengine/charsetsites.h"
#include "tools/demoengine/request.h"
#include "tools/demoengine/router.h"
#include "tools/demoengine/transport.h"

namespace kv::demo {
namespace {

Request Parse(const std::string& head) {
    HeadResult result = ParseRequestHead(head);
    EXPECT_EQ(result.status, HeadStatus::Complete) << head;
    return result.request;
}

TEST(DemoTransport, CodingsFollowWhatTheClientAccepts) {
    const SiteOptions options{"127.0.0.1:1", 0};
    int gzip = 0, deflate = 0, chunked = 0, plain = 0;
    for (int site = 10; site < 30; ++site) {
        const std::string path = "/site/" + std::to_string(site) + "/red-shoes.html";
        const Response modern = Route(Parse("GET " + path +
                                            " HTTP/1.1\r\nAccept-Encoding: gzip, "
                                            "deflate\r\n\r\n"),
                                      options);
        gzip += modern.contentEncoding == "gzip";
        deflate += modern.contentEncoding == "deflate";
        chunked += modern.chunked;
        plain += modern.contentEncoding.empty() && !modern.chunked;
        const Response old = Route(Parse("GET " + path + " HTTP/1.0\r\n\r\n"), options);
        EXPECT_TRUE(old.contentEncoding.empty() && !old.chunked) << path;
    }
    EXPECT_GT(gzip, 0);
    EXPECT_GT(deflate, 0);
    EXPECT_GT(chunked, 0);
    EXPECT_GT(plain, 0);
    EXPECT_EQ(ChunkedBody("hello"), "5\r\nhello\r\n0\r\nX-Demo-Trailer: 1\r\n\r\n");
}

TEST(DemoTransport, PostedFormsAnswerAsTheirGet) {
    const SiteOptions options{"127.0.0.1:1", 0};
    Request post = Parse("POST /google/search HTTP/1.0\r\nContent-Length: 11\r\n\r\n");
    EXPECT_EQ(post.contentLength, 11u);
    post.body = "q=red+shoes";
    EXPECT_EQ(Route(post, options).body,
              Route(Parse("GET /google/search?q=red+shoes HTTP/1.0\r\n\r\n"), options).body);
}

TEST(DemoTransport, CharsetSitesReadBackAsTheirKeyword) {
    const SiteOptions options{"127.0.0.1:1", 0};
    for (int site = 10; site < 70; ++site) {
        const CharsetSite* charset = CharsetSiteOf(site);
        if (charset == nullptr) continue;
        const Response page =
            Route(Parse("GET /site/" + std::to_string(site) + "/red-shoes.html HTTP/1.0\r\n\r\n"),
                  options);
        const std::string utf8 = http::PageToUtf8(page.body, page.contentType);
        EXPECT_NE(utf8.find(charset->keywordUtf8), std::string::npos)
            << site << " " << utf8.substr(0, 300);
    }
}

}  // namespace
}  // namespace kv::demo
