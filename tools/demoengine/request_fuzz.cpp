// libFuzzer entry: any bytes as a request head, answered as the server would. Nothing may
// crash, and no answer may carry a line break inside a header line.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tools/demoengine/request.h"
#include "tools/demoengine/router.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const kv::demo::HeadResult head = kv::demo::ParseRequestHead(bytes);
    if (head.status != kv::demo::HeadStatus::Complete) return 0;
    const kv::demo::Response response =
        kv::demo::Route(head.request, kv::demo::SiteOptions{"127.0.0.1:8765", 0});
    for (const auto& [name, value] : response.headers) {
        if (value.find_first_of("\r\n") != std::string::npos) __builtin_trap();
    }
    return 0;
}
