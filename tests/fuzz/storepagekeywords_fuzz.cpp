// libFuzzer entry: any page through StorePageKeywords (every keyword source) into a real result
// cache, and the stored keyword text through the META keyword list reader and the keyword comma
// text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "data/tablefields.h"
#include "data/tables.h"
#include "detect/pagekeywords.h"
#include "detect/storepagekeywords.h"

namespace {

kv::data::DataTables& Tables() {
    static kv::data::DataTables* tables = [] {
        auto* t = new kv::data::DataTables;
        t->WordClientDataSet.Append();
        t->WordClientDataSet.SetString(kv::data::word_fields::Word, "red shoes");
        t->WordClientDataSet.Post();
        return t;
    }();
    return *tables;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& cache = Tables().SECacheClientDataSet;
    const std::string_view page(reinterpret_cast<const char*>(data), size);
    if (kv::detect::StorePageKeywords(cache, "Google", "http://a.example/", 1, page,
                                      kv::detect::KeywordSources::All())) {
        cache.Last();
        const std::string keywords = cache.AsString(kv::data::secache_fields::Keywords);
        const auto entries = kv::detect::ParsePageKeywords(keywords);
        const auto back = kv::detect::SplitKeywordCommaText(kv::detect::KeywordCommaText(entries));
        if (back != entries) __builtin_trap();  // the comma text must read back unchanged
        cache.Delete();
    }
    return 0;
}
