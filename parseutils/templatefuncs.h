// Template extraction functions of the template library: they put a keyword into a query
// template and cut result entries, addresses, totals and next-page links out of result pages
// with the pattern sets of an engine definition.
//
// A pattern set is a text of lines (split at CR, LF or CR LF, empty lines skipped); each line is
// a main pattern optionally followed by refining patterns, joined by "@@@". A main pattern may
// carry a group marker "(?#N)" naming the group whose text each match gives; without one the
// highest-numbered group that took part gives it (the whole match when none did). Each refining
// pattern then narrows that text to its own highest participating group.
//
// Patterns that do not compile, and searches that exceed the engine's budget, raise ERegExpr out
// of every function here; lists filled before that keep their entries. No match is no error.
// Text is bytes. Lists are appended to (GetRegExprList clears its list first). No function keeps
// state, so calls on different threads do not interfere.
// Tests: tests/parseutils/templatefuncs_test.cpp, tests/capi/.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::parseutils {

// Every "@@@" in the template replaced by the keyword as EncodeWord gives it.
std::string PrepareUrlOrBody(std::string_view keyword, std::string_view templateText);

// parts cleared, then the pieces of text between the "@@@" separators: "a@@@@@@b" gives
// "a", "", "b"; a trailing empty piece is dropped ("a@@@" gives "a"); "" gives none.
void GetRegExprList(std::string_view text, std::vector<std::string>& parts);

// The group number N of the first marker "(?#N)" (decimal digits only) in the pattern text;
// -1 when there is none or N does not fit a signed 32-bit integer.
int GetRegExprMatchNum(std::string_view regExpr);

// text narrowed by the refining patterns parts[1..] in turn, each to its highest participating
// group (or whole match); stops at the first refining pattern that does not match and returns
// the text narrowed so far. Fewer than two parts: text unchanged.
std::string GetRegExpText(std::string_view text, const std::vector<std::string>& parts);

// For each line of the pattern set in order, every non-overlapping match of its main pattern in
// text gives one entry (the marked or highest participating group, refined), appended to
// matches even when empty. With stopAtFirstLine the first line that gives an entry is the last.
void GetTextsForRegExpr(std::string_view regExprs, std::string_view text,
                        std::vector<std::string>& matches, bool stopAtFirstLine);

// Compiles every pattern of the pattern set (each part of each line) and raises the first
// compile error (ERegExpr), so a broken definition fails before any page is searched.
void CompilePatternSet(std::string_view regExprs);

// The first entry of the pattern set in text (stopping at the first line that gives one); text
// itself when the pattern set is empty, the empty text when nothing matched.
std::string GetTextBlockForRegExpr(std::string_view regExpr, std::string_view text);

// The digits of the first entry of the pattern set in text, read as one number ("1,234" gives
// 1234); 0 without an entry, without a digit, or when it does not fit a signed 32-bit integer.
int GetResultCount(std::string_view text, std::string_view regExpr);

// Cuts the result entries of a page. For each of the two pattern groups: the block (the first
// entry of the block set, the whole page when that set is empty), the items of the block
// (appended to items; the first pass stops at the first item line that matches, the second
// collects all lines), and for every entry of items one field: the first entry of the field
// set in that item, stripped of leading and trailing bytes 0 to 32, or the empty text. So
// fields gets one entry per item, index for index.
void GetResultForPage(std::string_view page, std::string_view blockRegExpr,
                      std::string_view blockRegExpr2, std::string_view itemRegExpr,
                      std::string_view itemRegExpr2, std::string_view fieldRegExpr,
                      std::string_view fieldRegExpr2, std::vector<std::string>& items,
                      std::vector<std::string>& items2, std::vector<std::string>& fields,
                      std::vector<std::string>& fields2);

// How the text found by the next-page pattern set becomes a URL (NextSearchCombineUrlType).
enum CombineUrlType : int {
    kCombineWithPageBase = 0,    // resolved against the page's base element, else its own URL
    kCombineAfterFirstPart = 1,  // NextSearchFirstPartUrl followed by the text
    kCombineTakeAsIs = 2,        // the text is the URL
};

// The URL of the next result page, or the empty text when there is none: the first entry of
// the pattern set in the page, with every "&#xD;&#xA;" (any letter case) and TAB removed,
// combined by combineType (any other value: no next page) and passed through PrepareURL.
std::string GetUrlNext(std::string_view regExpr, int combineType, std::string_view firstPartUrl,
                       std::string_view currentUrl, std::string_view page);

// Character references decoded (MyHtmlDecode), then canonicalised (MyCanonicalizeUrl, which
// leaves a URL it cannot canonicalise as it is).
std::string PrepareURL(std::string_view url);

}  // namespace kv::parseutils
