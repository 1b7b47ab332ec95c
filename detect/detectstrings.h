// The user-visible texts of detection runs.
#pragma once

namespace kv::detect::strings {

inline constexpr const char* kNoEngineTicked =
    "Select at least one search engine to check your rankings!";
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
// The empty list of engines without results; also the next page of a check that has none.
inline constexpr const char* kNone = "none";

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

// A line of a file the user gave (a definition file, a keyword list): its number, the problem.
inline constexpr const char* kAtLine = "line %s: %s";

// A definition file that cannot be imported (a missing field is data::strings::kFieldMissing).
inline constexpr const char* kSqlTooLarge = "the file is too large";
inline constexpr const char* kSqlHoldsNul = "the file holds a NUL byte: it is not SQL text";
inline constexpr const char* kSqlNoMemory = "no memory for the definitions";
inline constexpr const char* kSqlNoTable = "the file creates no table SE";
inline constexpr const char* kSqlUnknownField = "the table SE has an unknown field %s";
// Row number, field name, then what is wrong with the value.
inline constexpr const char* kSqlRowField = "row %s, field %s: %s";
inline constexpr const char* kSqlNoName = "the engine has no name";
inline constexpr const char* kSqlBadName = "'%s' holds one of = [ ] or a control character";
inline constexpr const char* kSqlNameTwice = "'%s' is defined twice";
inline constexpr const char* kSqlPatternLine = "pattern line %s: %s";
inline constexpr const char* kSqlNotHeaderLine = "'%s' is not a header line (Name: value)";
inline constexpr const char* kSqlOwnHeader = "the header %s cannot be set";
inline constexpr const char* kSqlNotStatus = "'%s' is not an HTTP status";
inline constexpr const char* kSqlTooLong = "longer than %s characters";
inline constexpr const char* kSqlNotAddress = "'%s' does not begin with http:// or https://";
inline constexpr const char* kSqlBadUnwrap = "not 0 (none), 1 (percent) or 2 (base64url)";
inline constexpr const char* kSqlPacingRange = "not between 0 and %s";
inline constexpr const char* kSqlNotText = "not a text";
inline constexpr const char* kSqlNotNumber = "not a whole number";
inline constexpr const char* kSqlOutOfRange = "%s is out of range";
// The head of an exported definition file.
inline constexpr const char* kSqlExportHead =
    "-- Kelvane engine definitions: one row per search engine (kelvane-cli engines export).\n"
    "-- Edit, then load with: kelvane-cli engines import FILE\n";

// An engine's findings shown after its verdict: the addresses, then the next page.
inline constexpr const char* kShowNext = "next: ";

}  // namespace kv::detect::strings
