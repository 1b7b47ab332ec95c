#include "detect/storepagekeywords.h"

#include "html/htmlparser.h"
#include "html/nodesearch.h"

namespace kv::detect {

bool StorePageKeywords(data::Table& cache, const std::string& engineName,
                       const std::string& address, int rank, std::string_view pageText) {
    html::THTMLParser parser;
    parser.Parse(pageText);
    const html::THierarchyNode* head = html::FindFirst(parser.Root(), "head");
    if (head == nullptr) return false;
    html::TTagNodeList metas;
    html::FindAllByAttribute(head, "meta", metas, "keywords", "name");
    if (metas.Count() == 0) return false;
    const std::string_view keywords = metas.Items(0)->AttributeValue("content");

    cache.Append();
    try {
        cache.SetString("SENAME", engineName);
        cache.SetInteger("Rank", rank);
        cache.SetString("url", address);
        cache.SetString("Keywords", keywords);
        cache.Post();
    } catch (...) {
        cache.Cancel();  // no half-filled row stays behind
        throw;
    }
    return true;
}

}  // namespace kv::detect
