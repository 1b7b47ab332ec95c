// libFuzzer target: a hostile result page read by two definitions (a next-page form with
// wrapped percent-encoded links; relative links with base64url wrappers and own-domain drops).
// Nothing may crash, hang or run past the pattern engine's budget without an ERegExpr.
#include <cstddef>
#include <cstdint>
#include <string>

#include "detect/nextform.h"
#include "detect/resultpage.h"
#include "parseutils/regexpr.h"

namespace {

kv::detect::EngineDefinition FormEngine() {
    kv::detect::EngineDefinition e;
    e.name = "Form";
    e.checkText = "</title>";
    e.itemPattern = "<div class=\"result[^\"]*\">(.*?)<div class=\"clear\"></div>";
    e.fieldPattern = "href=\"([^\"]+)\"";
    e.decodeCode = true;
    e.nextIsForm = true;
    e.nextPattern = "(<form[^>]*>.*?</form>)(?#1)";
    e.unwrapPattern = "^(https?:)?//[^/]+/l/\\?uddg=([^&]+)";
    e.unwrapDecoding = kv::detect::UnwrapDecoding::Percent;
    e.dropOwnHost = true;
    e.blockedPattern = "id=\"challenge-form\"";
    return e;
}

kv::detect::EngineDefinition LinkEngine() {
    kv::detect::EngineDefinition e = FormEngine();
    e.nextIsForm = false;
    e.nextPattern = "<a class=\"next\" href=\"([^\"]+)\"";
    e.unwrapPattern = "[?&]u=a1([^&]+)";
    e.unwrapDecoding = kv::detect::UnwrapDecoding::Base64Url;
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string page(reinterpret_cast<const char*>(data), size);
    static const kv::detect::EngineDefinition engines[] = {FormEngine(), LinkEngine()};
    const kv::detect::FetchedPage fetched{"https://www.engine.example/search?q=x", page, "", 200};
    for (const auto& engine : engines) {
        try {
            const auto reading = kv::detect::ReadResultPage(engine, {}, fetched);
            (void)kv::detect::VerdictLine(engine.name, reading);
        } catch (const kv::ERegExpr&) {
            // A page that exhausts the step budget is refused, which is the defence.
        }
    }
    (void)kv::detect::FormEncode(kv::detect::ReadForm(page).fields);
    return 0;
}
