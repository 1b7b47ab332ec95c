#include "detect/resultpage.h"

#include <algorithm>

#include "detect/detectstrings.h"
#include "detect/nextform.h"
#include "detect/unwrap.h"
#include "parseutils/htmltext.h"
#include "parseutils/templatefuncs.h"
#include "parseutils/urlfuncs.h"
#include "text/format.h"
#include "text/textcompare.h"

namespace kv::detect {

namespace {

bool HasScheme(const std::string& address) {
    return address.find("://") != std::string::npos;
}

}  // namespace

std::vector<std::string> ReadResultAddresses(const EngineDefinition& engine,
                                             const std::string& pageAddress,
                                             const std::string& page) {
    std::vector<std::string> items, items2, fields, fields2;
    parseutils::GetResultForPage(page, engine.blockPattern, "", engine.itemPattern, "",
                                 engine.fieldPattern, "", items, items2, fields, fields2);
    std::vector<std::string> addresses;
    for (std::string address : fields) {
        // The designed order: percent decoding, character references, markup.
        if (engine.decodePercent) address = parseutils::MyDecodeUrl(address);
        if (engine.decodeCode) address = parseutils::MyHtmlDecode(address);
        if (engine.removeHtml) address = parseutils::RemoveHtmlFmt(address, true);
        address = UnwrapAddress(address, engine.unwrapPattern, engine.unwrapDecoding);
        // Ads and the engine's own links (a relative one is on its host by definition); an
        // unwrapped destination elsewhere stays, and so does an entry without an address.
        if (engine.dropOwnHost && !address.empty() &&
            (!HasScheme(address) || parseutils::SitesInOneDomain(address, pageAddress)))
            continue;
        addresses.push_back(std::move(address));
    }
    return addresses;
}

std::optional<EngineRequest> NextRequest(const EngineDefinition& engine, const EngineRequest& sent,
                                         const std::string& pageAddress, const std::string& page) {
    if (engine.nextIsForm) {
        std::vector<std::string> found;
        parseutils::GetTextsForRegExpr(engine.nextPattern, page, found, true);
        if (found.empty() || found.front().empty()) return std::nullopt;
        return FormRequest(ReadForm(found.front()), sent, pageAddress);
    }
    std::string current = pageAddress;
    const std::string next = parseutils::GetUrlNext(engine.nextPattern, engine.combineType,
                                                    engine.firstPartUrl, current, page);
    if (next.empty()) return std::nullopt;
    EngineRequest request;
    request.address = next;
    request.referrer = pageAddress;
    return request;
}

bool HasCheckText(const std::string& page, const std::string& checkText) {
    return checkText.empty() ||
           text::AsciiLowerCase(page).find(text::AsciiLowerCase(checkText)) != std::string::npos;
}

ResultPageReading ReadResultPage(const EngineDefinition& engine, const EngineRequest& sent,
                                 const FetchedPage& fetched) {
    ResultPageReading reading;
    if (!fetched.failure.empty()) {
        const auto& blocked = engine.blockedStatuses;
        if (std::find(blocked.begin(), blocked.end(), fetched.status) != blocked.end()) {
            reading.verdict = Verdict::Blocked;
            reading.reason =
                text::FormatText(strings::kBlockedStatus, std::to_string(fetched.status));
        } else {
            reading.verdict = Verdict::Unreachable;
            reading.reason = fetched.failure;
        }
        return reading;
    }
    std::vector<std::string> marks;
    if (!engine.blockedPattern.empty())
        parseutils::GetTextsForRegExpr(engine.blockedPattern, fetched.body, marks, true);
    if (!marks.empty()) {
        reading.verdict = Verdict::Blocked;
        reading.reason = strings::kBlockedMarker;
        return reading;
    }
    if (!HasCheckText(fetched.body, engine.checkText)) {
        reading.verdict = Verdict::OutOfDate;
        reading.reason = strings::kCheckTextMissing;
        return reading;
    }
    reading.addresses = ReadResultAddresses(engine, fetched.address, fetched.body);
    reading.next = NextRequest(engine, sent, fetched.address, fetched.body);
    const bool anyAddress = std::any_of(reading.addresses.begin(), reading.addresses.end(),
                                        [](const std::string& a) { return !a.empty(); });
    if (reading.addresses.empty()) {
        reading.verdict = Verdict::NoResults;  // nothing, or only ads on the engine's domain
    } else if (!anyAddress) {
        reading.verdict = Verdict::OutOfDate;
        reading.reason = strings::kNoAddressExtracted;
    } else {
        reading.verdict = Verdict::Works;
        reading.reason = reading.next ? strings::kNextPageFound : strings::kNoNextPage;
    }
    return reading;
}

std::string VerdictLine(const std::string& engineName, const ResultPageReading& reading) {
    switch (reading.verdict) {
        case Verdict::Works:
            return text::FormatText(
                strings::kVerdictWorks,
                {engineName, std::to_string(reading.addresses.size()), reading.reason});
        case Verdict::Blocked:
            return text::FormatText(strings::kVerdictBlocked, {engineName, reading.reason});
        case Verdict::NoResults:
            return text::FormatText(strings::kVerdictNoResults, engineName);
        case Verdict::OutOfDate:
            return text::FormatText(strings::kVerdictOutOfDate, {engineName, reading.reason});
        case Verdict::Unreachable:
            return text::FormatText(strings::kVerdictUnreachable, {engineName, reading.reason});
    }
    return engineName;
}

}  // namespace kv::detect
