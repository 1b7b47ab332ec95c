#include "tools/demoengine/charsetsites.h"

#include <string_view>

namespace kv::demo {
namespace {

// Ordinary sites (10 to 69) in other charsets; the keyword is "shoe(s)" in each language.
constexpr CharsetSite kCharsetSites[] = {
    {14, "windows-1251", "header", "обувь", "\xEE\xE1\xF3\xE2\xFC"},
    {21, "Shift_JIS", "meta", "靴", "\x8C\x43"},
    {28, "GB18030", "http-equiv", "鞋子", "\xD0\xAC\xD7\xD3"},
    {35, "ISO-8859-2", "header", "buty łódź", "buty \xB3\xF3\x64\xBC"},
    {42, "windows-1252", "none", "chaussures d'été", "chaussures d'\xE9t\xE9"},
    {49, "windows-1252", "wrong", "Schuhgröße",
     "Schuhgr\xF6\xDF"
     "e"},
};

}  // namespace

const CharsetSite* CharsetSiteOf(int site) {
    for (const CharsetSite& c : kCharsetSites)
        if (c.site == site) return &c;
    return nullptr;
}

void ApplySiteCharset(const CharsetSite& charset, Response& page) {
    const std::string_view declaration = charset.declaration;
    std::string& body = page.body;
    // The keyword goes first into the first META keywords element's content.
    for (std::string_view marker : {"content=\"", "CONTENT=\""}) {
        const std::size_t meta = body.find(marker, body.find("eywords\""));
        if (meta == std::string::npos) continue;
        body.insert(meta + marker.size(), std::string(charset.keywordBytes) + ", ");
        break;
    }
    std::string meta;
    if (declaration == "meta") meta = "<meta charset=\"" + std::string(charset.charset) + "\">\n";
    if (declaration == "http-equiv") {
        meta = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" +
               std::string(charset.charset) + "\">\n";
    }
    if (!meta.empty()) {
        const std::size_t head = body.find("<head>");
        const std::size_t at = head == std::string::npos ? 0 : head + 6;
        body.insert(at, meta);
    }
    if (declaration == "header") {
        page.contentType = "text/html; charset=" + std::string(charset.charset);
    } else if (declaration == "wrong") {
        page.contentType = "text/html; charset=utf-8";
    } else {
        page.contentType = "text/html";
    }
}

}  // namespace kv::demo
