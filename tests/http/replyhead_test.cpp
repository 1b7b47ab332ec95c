#include "http/replyhead.h"

#include <gtest/gtest.h>

#include "http/httpstrings.h"
#include "http/socketerror.h"

namespace kv::http {
namespace {

TEST(ReplyHeadTest, StatusLines) {
    auto s = ParseStatusLine("HTTP/1.1 301 Moved Permanently");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->code, 301);
    EXPECT_EQ(s->reason, "Moved Permanently");
    EXPECT_EQ(ParseStatusLine("HTTP/1.0 200")->reason, "");
    EXPECT_EQ(ParseStatusLine("HTTP/1.0 2x0 Odd")->code, 0);
    EXPECT_EQ(ParseStatusLine("HTTP/1.0")->code, 0);
    EXPECT_FALSE(ParseStatusLine("HTTP/2 200 OK"));
    EXPECT_FALSE(ParseStatusLine("http/1.0 200 OK"));
}

TEST(ReplyHeadTest, FieldsAndContentLength) {
    auto f = ParseHeaderField("Content-TYPE:   Text/Html; a=b: c");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->name, "content-type");
    EXPECT_EQ(f->value, "Text/Html; a=b: c");
    EXPECT_FALSE(ParseHeaderField("no colon here"));
    EXPECT_EQ(ParseContentLength(" 42 "), 42);
    EXPECT_EQ(ParseContentLength("0"), 0);
    EXPECT_EQ(ParseContentLength("-5"), -1);
    EXPECT_EQ(ParseContentLength("12abc"), -1);
    EXPECT_EQ(ParseContentLength("99999999999999999999999"), -1);
    EXPECT_TRUE(IsHtmlStartLine("<hTmL><head>"));
    EXPECT_FALSE(IsHtmlStartLine("<html lang=en>"));
    EXPECT_FALSE(IsHtmlStartLine("<htm"));
}

TEST(SocketErrorTest, WinSockNumbersAndTheirTexts) {
    EXPECT_EQ(WinSockErrorOf(QAbstractSocket::ConnectionRefusedError), 10061);
    EXPECT_EQ(WinSockErrorOf(QAbstractSocket::HostNotFoundError), 11001);
    EXPECT_EQ(WinSockErrorOf(QAbstractSocket::SocketTimeoutError), 10060);
    EXPECT_EQ(WinSockErrorOf(QHostInfo::HostNotFound), 11001);
    EXPECT_EQ(SocketErrorDescription(0), "No Error");
    EXPECT_EQ(SocketErrorDescription(10059), "Too many references: can't splice");
    EXPECT_EQ(SocketErrorDescription(11004), "No Data");
    EXPECT_EQ(SocketErrorDescription(12345), "Not a WinSock error");
    EXPECT_EQ(SocketErrorDescription(kWsaUnknown), "Not a WinSock error");
    EXPECT_EQ(SocketErrorWithNumber(10060), "Connection timed out (Error #10060)");
    EXPECT_EQ(FormatText(kCantResolveHostname, "x.invalid"),
              "can't resolve hostname (x.invalid) to IP address");
}

}  // namespace
}  // namespace kv::http
