// The user-visible texts of detection runs.
#pragma once

namespace kv::detect::strings {

inline constexpr const char* kNoEngineTicked =
    "Select at least one search engine to check your rankings!";
inline constexpr const char* kNoEngineTickedCaption = "Information";
inline constexpr const char* kQueryingEngine = "Querying '%s' with keyword '%s'...";
inline constexpr const char* kQueryingPage = "Querying '%s'...";
inline constexpr const char* kNoEngineDefinition =
    "No definition of the search engine '%s' in SE.cds";
inline constexpr const char* kTooManyResultPages =
    "Querying '%s' stopped after %s result pages without reaching the scan depth";
inline constexpr const char* kKeywordEmpty = "Enter a keyword: it is empty";
inline constexpr const char* kKeywordMultiLine =
    "A keyword is one line: it may not hold a line break";
inline constexpr const char* kKeywordTooLong = "A keyword may be at most %s characters long";

inline constexpr const char* kCannotCreateFolder = "Cannot create folder %s";

inline constexpr const char* kPatternFieldError = "Search engine '%s', field %s: %s";
inline constexpr const char* kRunSummary =
    "%s keywords in the theme, %s pages stored, %s pages failed, engines that gave nothing: %s";
inline constexpr const char* kNoEngineWithoutResults = "none";

// The verdict of an engine on one query: "%s" is the engine name, then the reason.
inline constexpr const char* kVerdictWorks = "%s: works (%s results, %s)";
inline constexpr const char* kNextPageFound = "next page found";
inline constexpr const char* kNoNextPage = "no next page";
inline constexpr const char* kVerdictBlocked = "%s: blocked (%s; wait, or use a proxy)";
inline constexpr const char* kBlockedStatus = "status %s";
inline constexpr const char* kBlockedMarker = "block page";
inline constexpr const char* kVerdictNoResults =
    "%s: no results (the check text is there, nothing matched)";
inline constexpr const char* kVerdictOutOfDate = "%s: definition out of date (%s)";
inline constexpr const char* kCheckTextMissing = "check text missing";
inline constexpr const char* kNoAddressExtracted = "blocks found but no address extracted";
inline constexpr const char* kVerdictUnreachable = "%s: unreachable (%s)";
inline constexpr const char* kNoQueryAddress = "no query address in its definition";
// A result entry without an address, in the self-test's list of findings.
inline constexpr const char* kNoAddress = "(no address)";

}  // namespace kv::detect::strings
