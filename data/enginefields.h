// The field names of the engine definition table (SE.cds), spelled once, so a typo is a
// compile error rather than a run-time "no such field". The designed sixteen come first; the
// rest are optional: a file without them loads, and the fields then read as null (off, 0, "").
// Tests: tests/data/tables_test.cpp.
#pragma once

#include <string_view>

namespace kv::data::se_fields {

inline constexpr std::string_view SEName = "SEName";
inline constexpr std::string_view PrepareSearchURL = "PrepareSearchURL";
inline constexpr std::string_view StartSearchBody = "StartSearchBody";
inline constexpr std::string_view StartSearchURL = "StartSearchURL";
inline constexpr std::string_view PostMethod = "PostMethod";
inline constexpr std::string_view NextSearchFirstPartUrl = "NextSearchFirstPartUrl";
inline constexpr std::string_view NextSearchCombineUrlType = "NextSearchCombineUrlType";
inline constexpr std::string_view NextSearchRegExpr = "NextSearchRegExpr";
inline constexpr std::string_view NextSearchNextSearchString = "NextSearchNextSearchString";
inline constexpr std::string_view CheckHtmlCheckText = "CheckHtmlCheckText";
inline constexpr std::string_view GetTextTotalTextRegExpr = "GetTextTotalTextRegExpr";
inline constexpr std::string_view GetTextRegExpr = "GetTextRegExpr";
inline constexpr std::string_view GetUrlRegExpr = "GetUrlRegExpr";
inline constexpr std::string_view GetUrlRemoveHtml = "GetUrlRemoveHtml";
inline constexpr std::string_view GetUrlDecodeUrlCode = "GetUrlDecodeUrlCode";
inline constexpr std::string_view GetUrlDecodeUrlPercent = "GetUrlDecodeUrlPercent";

// Optional. The next-page pattern captures a whole <form>: its hidden fields are sent again.
inline constexpr std::string_view NextSearchIsForm = "NextSearchIsForm";
// Optional. Pattern set whose group is the destination wrapped in the engine's redirect.
inline constexpr std::string_view GetUrlUnwrapRegExpr = "GetUrlUnwrapRegExpr";
// Optional. How the unwrapped value is decoded: 0 not, 1 percent, 2 base64url.
inline constexpr std::string_view GetUrlUnwrapDecode = "GetUrlUnwrapDecode";
// Optional. Result addresses in the engine's own domain (ads, internal links) are dropped.
inline constexpr std::string_view GetUrlDropOwnHost = "GetUrlDropOwnHost";
// Optional. Pattern set that marks a block (CAPTCHA) page.
inline constexpr std::string_view BlockedRegExpr = "BlockedRegExpr";
// Optional. HTTP statuses that mean blocked, comma-separated ("202,403,429").
inline constexpr std::string_view BlockedStatusCodes = "BlockedStatusCodes";
// Optional. Extra request header lines, one "Name: value" a line.
inline constexpr std::string_view RequestHeaderLines = "RequestHeaderLines";
// Optional. The least number of seconds between two requests to the engine.
inline constexpr std::string_view MinSecondsBetweenRequests = "MinSecondsBetweenRequests";

}  // namespace kv::data::se_fields
