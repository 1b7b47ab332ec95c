// Pages in the web's charsets come out as UTF-8: the order of the sources, the converters,
// unknown names, and pages whose declaration lies.
#include "http/pagecharset.h"

#include <gtest/gtest.h>

#include "tests/http/fetch_fixture.h"
#include "text/textcompare.h"
#include "tests/support/scripted_server.h"

namespace kv::http::testing {
namespace {

std::string Meta(const std::string& keywords) {
    return "<html><head><meta name=keywords content=\"" + keywords + "\"></head></html>";
}

TEST(PageCharsetTest, SourcesInOrderAndTheConverters) {
    struct Case {
        std::string contentType;
        std::string body;
        std::string utf8;
        std::string charset;
    } cases[] = {
        // Windows-1251 "ключ" named by the header.
        {"text/html; charset=windows-1251", Meta("\xEA\xEB\xFE\xF7"), Meta("ключ"), "windows-1251"},
        // Shift_JIS "日本" named by <meta charset>.
        {"text/html", "<meta charset='Shift_JIS'>" + Meta("\x93\xFA\x96\x7B"),
         "<meta charset='Shift_JIS'>" + Meta("日本"), "shift_jis"},
        // GB18030 "中文" named as gb2312 by the http-equiv form.
        {"text/html",
         "<!-- <meta charset=koi8-r> --><META HTTP-EQUIV=\"Content-Type\" "
         "CONTENT=\"text/html; charset=GB2312\">" +
             Meta("\xD6\xD0\xCE\xC4"),
         "<!-- <meta charset=koi8-r> --><META HTTP-EQUIV=\"Content-Type\" "
         "CONTENT=\"text/html; charset=GB2312\">" +
             Meta("中文"),
         "gb18030"},
        // ISO-8859-2 "Łódź"; the header outranks the meta element.
        {"text/html;charset=\"ISO-8859-2\"", "<meta charset=utf-8>" + Meta("\xA3\xF3\x64\xBC"),
         "<meta charset=utf-8>" + Meta("Łódź"), "iso-8859-2"},
        // UTF-16LE with its byte-order mark outranks the header.
        {"text/html; charset=windows-1251", std::string("\xFF\xFEk\0\xE9\0y\0", 8), "kéy",
         "UTF-16LE"},
        // Nothing declared: valid UTF-8 stays, anything else is Windows-1252.
        {"text/html", Meta("straße"), Meta("straße"), "UTF-8"},
        {"text/html",
         Meta("stra\xDF"
              "e \x80"),
         Meta("straße €"), "windows-1252"},
        // An unknown name counts as none.
        {"text/html; charset=x-no-such", Meta("caf\xE9"), Meta("café"), "windows-1252"},
        // Declared UTF-8 but not: good sequences stay, stray bytes are still readable.
        {"text/html; charset=utf-8", Meta("caf\xE9 · \xEA\xEB"), Meta("café · êë"), "UTF-8"},
        // An invalid sequence of a real charset becomes U+FFFD.
        {"text/html; charset=shift_jis", Meta("\x93"), Meta("\xEF\xBF\xBD"), "shift_jis"},
    };
    for (const Case& c : cases) {
        const std::string utf8 = PageToUtf8(c.body, c.contentType);
        EXPECT_EQ(utf8, c.utf8) << c.charset;
        EXPECT_TRUE(IsValidUtf8(utf8)) << c.charset;
        EXPECT_TRUE(kv::text::SameAsciiNoCase(DetectPageCharset(c.body, c.contentType).name, c.charset))
            << DetectPageCharset(c.body, c.contentType).name;
    }
}

TEST(PageCharsetTest, Utf8Validation) {
    const std::pair<std::string, bool> cases[] = {
        {"plain", true},         {"ключ 日本 \xF0\x9F\x98\x80", true}, {"\xC0\xAF", false},
        {"\xED\xA0\x80", false}, {"\xF4\x90\x80\x80", false},          {"\xE2\x82", false},
    };
    for (const auto& [bytes, valid] : cases) EXPECT_EQ(IsValidUtf8(bytes), valid) << bytes;
}

TEST_F(FetchTest, PagesArriveInUtf8AndOptionsReplaceDefaultLines) {
    kv::testing::ScriptedServer server({kv::testing::Script::Reply(
        "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=windows-1251\r\n\r\n" +
        Meta("\xEA\xEB\xFE\xF7"))});
    std::string url = server.Url("/form");
    std::string page;
    FetchOptions options;
    options.postBody = "q=%D0%BA";
    options.headerLines = {"accept-language: ru", "Sec-Fetch-Mode: navigate", "Bad\r\nX: 1"};
    unit->FetchPage(url, "ключ", "", page, options);
    EXPECT_EQ(page, Meta("ключ"));
    const std::string request = server.Request(0);
    EXPECT_EQ(request.rfind("POST /form HTTP/1.1\r\n", 0), 0u);
    EXPECT_EQ(request.find("Accept-Language: en"), std::string::npos) << request;
    EXPECT_NE(request.find("\r\naccept-language: ru\r\nSec-Fetch-Mode: navigate\r\n\r\nq=%D0%BA"),
              std::string::npos)
        << request;
    EXPECT_EQ(request.find("Bad"), std::string::npos);
}

}  // namespace
}  // namespace kv::http::testing
