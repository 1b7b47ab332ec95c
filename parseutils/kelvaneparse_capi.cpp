// The C face of the template library (libkelvaneparse.so): converts arguments and results and
// turns exceptions into the thread's last error; the work is done by the C++ functions.
// Built only into the shared library. Tests: tests/capi/.
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "parseutils/htmltext.h"
#include "parseutils/kelvaneparse.h"
#include "parseutils/parseutilsstrings.h"
#include "parseutils/templatefuncs.h"
#include "parseutils/urlfuncs.h"
#include "text/format.h"

struct KvStringList {
    std::vector<std::string> items;
};

namespace {

namespace pu = kv::parseutils;

thread_local std::string lastError;
thread_local bool hasLastError = false;

// Arguments are copied, so a text taken from a list stays intact while that list is filled.
std::string Arg(const char* text) {
    return text ? std::string(text) : std::string();
}

std::vector<std::string>& ListOf(KvStringList* list, const char* argument) {
    if (!list)
        throw std::invalid_argument(kv::text::FormatText(pu::strings::kListIsNull, argument));
    return list->items;
}

const std::vector<std::string>& ListOf(const KvStringList* list, const char* argument) {
    return ListOf(const_cast<KvStringList*>(list), argument);
}

char* NewText(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy) throw std::bad_alloc();
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

// Records the failure of the exception in flight as the thread's last error; never throws.
void SetLastErrorFromCurrentException() noexcept {
    hasLastError = true;
    try {
        try {
            throw;
        } catch (const std::exception& error) {
            lastError = error.what();
        } catch (...) {
            lastError = pu::strings::kUnknownFailure;
        }
    } catch (...) {
        lastError.clear();  // no memory left even for the message
    }
}

// Runs one call with the thread's last error cleared first and set by any failure, which then
// gives the result `failed`: no exception crosses into C.
template <typename Result, typename Call>
Result Guarded(Result failed, Call call) {
    hasLastError = false;
    lastError.clear();
    try {
        return call();
    } catch (...) {
        SetLastErrorFromCurrentException();
    }
    return failed;
}

template <typename Call>
void GuardedVoid(Call call) {
    Guarded(0, [&] {
        call();
        return 0;
    });
}

}  // namespace

#define KV_TEXT_CALL(expression) Guarded<char*>(nullptr, [&] { return NewText(expression); })
#define KV_INT_CALL(expression) Guarded<int>(0, [&] { return static_cast<int>(expression); })

extern "C" {

// --- Memory, lists and errors ---

KELVANEPARSE_API void KvFree(char* text) {
    std::free(text);
}

KELVANEPARSE_API KvStringList* KvStringListCreate(void) {
    return new (std::nothrow) KvStringList();
}

KELVANEPARSE_API void KvStringListFree(KvStringList* list) {
    delete list;
}

KELVANEPARSE_API int KvStringListCount(const KvStringList* list) {
    return list ? static_cast<int>(list->items.size()) : 0;
}

KELVANEPARSE_API const char* KvStringListGet(const KvStringList* list, int index) {
    if (!list || index < 0 || static_cast<std::size_t>(index) >= list->items.size()) return nullptr;
    return list->items[static_cast<std::size_t>(index)].c_str();
}

KELVANEPARSE_API void KvStringListAdd(KvStringList* list, const char* text) {
    if (!list) return;
    try {
        list->items.push_back(Arg(text));
    } catch (...) {
        SetLastErrorFromCurrentException();  // out of memory: nothing added
    }
}

KELVANEPARSE_API void KvStringListClear(KvStringList* list) {
    if (list) list->items.clear();
}

KELVANEPARSE_API const char* KvLastError(void) {
    return hasLastError ? lastError.c_str() : nullptr;
}

// --- Template extraction ---

KELVANEPARSE_API char* PrepareUrlOrBody(const char* Keyword, const char* Template) {
    return KV_TEXT_CALL(pu::PrepareUrlOrBody(Arg(Keyword), Arg(Template)));
}

KELVANEPARSE_API void GetRegExprList(const char* Text, KvStringList* Parts) {
    GuardedVoid([&] { pu::GetRegExprList(Arg(Text), ListOf(Parts, "Parts")); });
}

KELVANEPARSE_API int GetRegExprMatchNum(const char* RegExpr) {
    return KV_INT_CALL(pu::GetRegExprMatchNum(Arg(RegExpr)));
}

KELVANEPARSE_API char* GetRegExpText(const char* Text, const KvStringList* Parts) {
    return KV_TEXT_CALL(pu::GetRegExpText(Arg(Text), ListOf(Parts, "Parts")));
}

KELVANEPARSE_API void GetTextsForRegExpr(const char* RegExprs, const char* Text,
                                         KvStringList* Matches, int StopAtFirstLine) {
    GuardedVoid([&] {
        pu::GetTextsForRegExpr(Arg(RegExprs), Arg(Text), ListOf(Matches, "Matches"),
                               StopAtFirstLine != 0);
    });
}

KELVANEPARSE_API char* GetTextBlockForRegExpr(const char* RegExpr, const char* Text) {
    return KV_TEXT_CALL(pu::GetTextBlockForRegExpr(Arg(RegExpr), Arg(Text)));
}

KELVANEPARSE_API int GetResultCount(const char* Text, const char* RegExpr) {
    return KV_INT_CALL(pu::GetResultCount(Arg(Text), Arg(RegExpr)));
}

KELVANEPARSE_API void GetResultForPage(const char* Page, const char* BlockRegExpr,
                                       const char* BlockRegExpr2, const char* ItemRegExpr,
                                       const char* ItemRegExpr2, const char* FieldRegExpr,
                                       const char* FieldRegExpr2, KvStringList* Items,
                                       KvStringList* Items2, KvStringList* Fields,
                                       KvStringList* Fields2) {
    GuardedVoid([&] {
        // Checked in argument order, so a NULL list is reported by its first name.
        std::vector<std::string>& items = ListOf(Items, "Items");
        std::vector<std::string>& items2 = ListOf(Items2, "Items2");
        std::vector<std::string>& fields = ListOf(Fields, "Fields");
        std::vector<std::string>& fields2 = ListOf(Fields2, "Fields2");
        pu::GetResultForPage(Arg(Page), Arg(BlockRegExpr), Arg(BlockRegExpr2), Arg(ItemRegExpr),
                             Arg(ItemRegExpr2), Arg(FieldRegExpr), Arg(FieldRegExpr2), items,
                             items2, fields, fields2);
    });
}

KELVANEPARSE_API char* GetUrlNext(const char* RegExpr, int CombineType, const char* FirstPartUrl,
                                  const char* CurrentUrl, const char* Page) {
    return KV_TEXT_CALL(
        pu::GetUrlNext(Arg(RegExpr), CombineType, Arg(FirstPartUrl), Arg(CurrentUrl), Arg(Page)));
}

KELVANEPARSE_API char* PrepareURL(const char* Url) {
    return KV_TEXT_CALL(pu::PrepareURL(Arg(Url)));
}

// --- URLs and domains ---

KELVANEPARSE_API char* RemoveHttpSlash(const char* Url) {
    return KV_TEXT_CALL(pu::RemoveHttpSlash(Arg(Url)));
}

KELVANEPARSE_API char* GetSiteDomain(const char* Url) {
    return KV_TEXT_CALL(pu::GetSiteDomain(Arg(Url)));
}

KELVANEPARSE_API char* GetSiteFirstDomain(const char* Url) {
    return KV_TEXT_CALL(pu::GetSiteFirstDomain(Arg(Url)));
}

KELVANEPARSE_API int SitesInOneDomain(const char* Url1, const char* Url2) {
    return KV_INT_CALL(pu::SitesInOneDomain(Arg(Url1), Arg(Url2)));
}

KELVANEPARSE_API int CheckSiteInList(const char* Url, const KvStringList* List) {
    return KV_INT_CALL(pu::CheckSiteInList(Arg(Url), ListOf(List, "List")));
}

KELVANEPARSE_API int CheckDomainInList(const char* Url, const KvStringList* List) {
    return KV_INT_CALL(pu::CheckDomainInList(Arg(Url), ListOf(List, "List")));
}

KELVANEPARSE_API char* GetSiteUrlAfterDomainLower(const char* Url) {
    return KV_TEXT_CALL(pu::GetSiteUrlAfterDomainLower(Arg(Url)));
}

KELVANEPARSE_API char* GetSiteUrlAfterDomain(const char* Url) {
    return KV_TEXT_CALL(pu::GetSiteUrlAfterDomain(Arg(Url)));
}

KELVANEPARSE_API char* EncodeWord(const char* Word) {
    return KV_TEXT_CALL(pu::EncodeWord(Arg(Word)));
}

KELVANEPARSE_API char* GetBaseURL(const char* Html) {
    return KV_TEXT_CALL(pu::GetBaseURL(Arg(Html)));
}

KELVANEPARSE_API char* MyCombineURL(const char* Base, const char* Relative) {
    return KV_TEXT_CALL(pu::MyCombineURL(Arg(Base), Arg(Relative)));
}

KELVANEPARSE_API char* MyCanonicalizeUrl(const char* Url) {
    return KV_TEXT_CALL(pu::MyCanonicalizeUrl(Arg(Url)));
}

KELVANEPARSE_API char* MyDecodeUrl(const char* Url) {
    return KV_TEXT_CALL(pu::MyDecodeUrl(Arg(Url)));
}

// --- HTML text ---

KELVANEPARSE_API char* RemoveHtmlFmt(const char* Html, int CollapseBlanks) {
    return KV_TEXT_CALL(pu::RemoveHtmlFmt(Arg(Html), CollapseBlanks != 0));
}

KELVANEPARSE_API char* MyHtmlDecode(const char* Text) {
    return KV_TEXT_CALL(pu::MyHtmlDecode(Arg(Text)));
}

KELVANEPARSE_API char* GetStrByIndex(const char* Text, int Index) {
    return KV_TEXT_CALL(pu::GetStrByIndex(Arg(Text), Index));
}

KELVANEPARSE_API char* InvertString(const char* Text) {
    return KV_TEXT_CALL(pu::InvertString(Arg(Text)));
}

}  // extern "C"
