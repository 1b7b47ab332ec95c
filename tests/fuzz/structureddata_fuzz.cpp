// libFuzzer entry: any bytes as one JSON-LD block through the structured-data reader. Pages
// with such blocks go through StorePageKeywords in storepagekeywords_fuzz.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "detect/structureddata.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view json(reinterpret_cast<const char*>(data), size);
    const auto keywords = kv::detect::StructuredDataKeywords(json);
    if (!keywords) return 0;
    // Every text comes from a string of the block: decoding never makes one three times larger.
    std::size_t taken = 0;
    for (const std::string& k : *keywords) taken += k.size();
    if (taken > size * 3) __builtin_trap();
    return 0;
}
