// The request's own guards: target bytes, host names, header values, origins.
#include "http/requestsafety.h"

#include <gtest/gtest.h>

#include "http/httperror.h"

namespace kv::http::testing {
namespace {

TEST(RequestSafetyTest, BlanksAndControlBytesOfTheTargetArePercentEncoded) {
    struct Case {
        std::string target;
        std::string sent;
    } cases[] = {
        {"/a b", "/a%20b"},
        {"/x\r\nHost: evil\r\n\r\nGET /y", "/x%0D%0AHost:%20evil%0D%0A%0D%0AGET%20/y"},
        {std::string("/n\0l", 4), "/n%00l"},
        {"/\t\x1F\x7F", "/%09%1F%7F"},
        {"/ok?q=%41&b=\xC3\xA9#f", "/ok?q=%41&b=\xC3\xA9#f"},  // the rest stays as it is
    };
    for (const Case& c : cases) EXPECT_EQ(EncodeRequestTarget(c.target), c.sent);
}

TEST(RequestSafetyTest, OnlyHostCharactersMakeAHostName) {
    for (const char* good : {"www.example.com", "my_host-1.test", "127.0.0.1", "[::1]",
                             "a.test:8080", "[::1]:443", ""})
        EXPECT_TRUE(IsHostName(good)) << good;
    for (const char* bad :
         {"evil\r\nX-A: b", "a b", "a/b", "h\xC3\xA9", "[::1", "a:8x", "a:", "x@y", "[::1:80"})
        EXPECT_FALSE(IsHostName(bad)) << bad;
}

TEST(RequestSafetyTest, AHeaderValueWithALineBreakOrNulIsNeverAppended) {
    std::string head;
    AppendHeaderLine(head, "Accept", "*/*");
    EXPECT_EQ(head, "Accept: */*\r\n");
    for (const std::string& value :
         {std::string("a\rb"), std::string("a\nb"), std::string("a\0b", 3)}) {
        try {
            AppendHeaderLine(head, "User-Agent", value);
            ADD_FAILURE() << "appended";
        } catch (const HttpError& error) {
            EXPECT_STREQ(error.what(),
                         "refused to send the User-Agent header field: its value holds a CR, LF "
                         "or NUL byte");
        }
    }
    EXPECT_EQ(head, "Accept: */*\r\n");
}

TEST(RequestSafetyTest, OriginIsSchemeHostAndPort) {
    struct Case {
        const char* from;
        const char* to;
        bool same;
    } cases[] = {
        {"http://a.test/x", "http://A.TEST:80/y?q", true},
        {"a.test/x", "http://a.test/", true},
        {"https://a.test/", "https://a.test:443/", true},
        {"http://a.test/", "http://a.test:8080/", false},
        {"http://a.test/", "https://a.test/", false},
        {"http://a.test/", "http://b.test/", false},
        {"http://u:p@a.test/", "http://a.test.evil/", false},
    };
    for (const Case& c : cases) EXPECT_EQ(SameOrigin(c.from, c.to), c.same) << c.from << c.to;
}

}  // namespace
}  // namespace kv::http::testing
