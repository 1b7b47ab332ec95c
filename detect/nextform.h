// A next-page form cut out of a result page (DuckDuckGo's "vqd" token, SearXNG): its action,
// method and hidden fields, and the request that sends them again.
// Tests: tests/detect/resultpage_test.cpp.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "detect/enginedefinition.h"

namespace kv::detect {

struct HtmlForm {
    bool hasFormTag = false;
    std::string action;  // as written, entity-decoded
    bool post = false;
    std::vector<std::pair<std::string, std::string>> fields;  // hidden inputs, entity-decoded
};

// Reads the first <form> tag of the markup (when there is one) and every hidden <input> with
// a name. Attribute values may be double-, single- or unquoted.
HtmlForm ReadForm(std::string_view markup);

// application/x-www-form-urlencoded: blanks as "+", unreserved bytes kept, the rest "%XX".
std::string FormEncode(const std::vector<std::pair<std::string, std::string>>& fields);

// The request that submits the form found on the page read by `current`: to the action
// resolved against the page address (the page itself without an action), by the form's
// method (a fragment without a form tag is sent the way the page was asked for).
EngineRequest FormRequest(const HtmlForm& form, const EngineRequest& current,
                          const std::string& pageAddress);

}  // namespace kv::detect
