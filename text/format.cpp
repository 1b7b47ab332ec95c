#include "text/format.h"

namespace kv::text {

std::string FormatText(std::string_view format, std::initializer_list<std::string_view> values) {
    std::string out;
    auto value = values.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format.substr(i, 2) == "%s" && value != values.end()) {
            out += *value++;
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

}  // namespace kv::text
