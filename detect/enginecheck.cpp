#include "detect/enginecheck.h"

#include "detect/detectstrings.h"
#include "detect/enginefetch.h"

namespace kv::detect {

EngineCheck CheckEngine(http::HttpUnit& http, const EngineDefinition& engine,
                        const std::string& keyword) {
    EngineCheck check;
    check.name = engine.name;
    if (engine.startUrl.empty()) {
        check.reading.verdict = Verdict::Unreachable;
        check.reading.reason = strings::kNoQueryAddress;
        return check;
    }
    http.Cookies().Clear();
    const EngineRequest request = FirstRequest(engine, keyword);
    check.reading = ReadResultPage(engine, request, FetchEnginePage(http, engine, request));
    return check;
}

std::string ShowFindings(const ResultPageReading& reading) {
    std::string out;
    for (const std::string& address : reading.addresses)
        out += (address.empty() ? std::string(strings::kNoAddress) : address) + "\n";
    out += strings::kShowNext;
    if (!reading.next) return out + strings::kNone + "\n";
    const EngineRequest& next = *reading.next;
    out += next.post ? "POST " + next.address + " " + next.body : "GET " + next.address;
    return out + "\n";
}

}  // namespace kv::detect
