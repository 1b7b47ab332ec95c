#include "detect/storepagekeywords.h"

#include "data/tablefields.h"
#include "detect/declaredtopics.h"
#include "html/htmlparser.h"

namespace kv::detect {

bool StorePageKeywords(data::Table& cache, const std::string& engineName,
                       const std::string& address, int rank, std::string_view pageText,
                       KeywordSources sources) {
    html::THTMLParser parser;
    parser.Parse(pageText);
    const PageDeclarations page = ReadPageDeclarations(parser.Root(), sources);
    if (page.found.Empty()) return false;
    namespace f = data::secache_fields;
    const int keywordsField = cache.FieldIndex(f::Keywords);
    const std::string keywords =
        JoinDeclaredKeywords(page, cache.Fields()[static_cast<std::size_t>(keywordsField)].size);
    const std::optional<int> sourcesField = cache.FindField(f::Sources);

    cache.Append();
    try {
        cache.SetString(f::SEName, engineName);
        cache.SetInteger(f::Rank, rank);
        cache.SetString(f::Url, address);
        cache.SetString(keywordsField, keywords);
        if (sourcesField) cache.SetString(*sourcesField, KeywordSourcesText(page.found));
        cache.Post();
    } catch (...) {
        cache.Cancel();  // no half-filled row stays behind
        throw;
    }
    return true;
}

}  // namespace kv::detect
