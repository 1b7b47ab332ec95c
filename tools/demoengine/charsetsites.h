// Result sites that are not UTF-8, as much of the web is not: pages in Windows-1251,
// Shift_JIS, GB18030, ISO-8859-2 and Windows-1252, declared in the header, in a meta
// element, not at all, or wrongly (Windows-1252 bytes under a UTF-8 declaration). Each adds
// one keyword in its own script to the page's META keywords.
// Tests: tests/tools/demotransport_test.cpp.
#pragma once

#include <string>

#include "tools/demoengine/response.h"

namespace kv::demo {

struct CharsetSite {
    int site;
    const char* charset;       // the page's bytes
    const char* declaration;   // "header", "meta", "http-equiv", "none" or "wrong"
    const char* keywordUtf8;   // the added keyword as a reader must see it
    const char* keywordBytes;  // the same in the page's charset
};

// The charset site of that number, or nullptr for an ordinary UTF-8 site.
const CharsetSite* CharsetSiteOf(int site);

// Recodes an ordinary site's page (ASCII) as that charset site's page.
void ApplySiteCharset(const CharsetSite& charset, Response& page);

}  // namespace kv::demo
