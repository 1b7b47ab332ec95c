/* libkelvaneparse: the template library with a C interface, for C, C++ and Python ctypes.
 *
 * Texts are zero-terminated byte strings; a NULL text argument counts as the empty text. A text
 * result is a new string the caller frees with KvFree (never NULL on success; a result byte of
 * 0 would end it early, as in any C string). Booleans are int 0/1, integers are int.
 *
 * Errors: each of the 27 template functions first clears the calling thread's last error. One
 * that fails (a pattern that does not compile, a search over the engine's budget, a NULL list,
 * no memory) sets it and returns NULL (text results) or 0 (integer and boolean results); the
 * functions without a result are checked with KvLastError alone. Lists filled before a failure
 * keep their entries. The list functions, KvFree and KvLastError leave the last error alone,
 * except that KvStringListAdd sets it when it runs out of memory (and adds nothing).
 * KvStringListCreate returns NULL when out of memory.
 *
 * A KvStringList is an ordered list of texts owned by the caller (KvStringListCreate /
 * KvStringListFree). A pointer from KvStringListGet stays valid until that list is changed or
 * freed. Functions with list arguments append to them, except GetRegExprList, which clears its
 * list first. Nothing is shared between calls, so threads may call in parallel on their own
 * lists. Tests: tests/capi/. */
#ifndef KELVANE_PARSEUTILS_KELVANEPARSE_H
#define KELVANE_PARSEUTILS_KELVANEPARSE_H

#if defined(KELVANEPARSE_BUILDING)
#define KELVANEPARSE_API __attribute__((visibility("default")))
#else
#define KELVANEPARSE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct KvStringList KvStringList;

/* --- Memory, lists and errors --- */

KELVANEPARSE_API void KvFree(char* text);

KELVANEPARSE_API KvStringList* KvStringListCreate(void);
KELVANEPARSE_API void KvStringListFree(KvStringList* list);
KELVANEPARSE_API int KvStringListCount(const KvStringList* list);
/* NULL when index is outside 0 .. count - 1. */
KELVANEPARSE_API const char* KvStringListGet(const KvStringList* list, int index);
KELVANEPARSE_API void KvStringListAdd(KvStringList* list, const char* text);
KELVANEPARSE_API void KvStringListClear(KvStringList* list);

/* The message of the calling thread's last failure ("TRegExpr(comp): Unmatched () (pos 3)"), or
 * NULL when the last template call succeeded. Valid until that thread's next template call. */
KELVANEPARSE_API const char* KvLastError(void);

/* --- Template extraction --- */

KELVANEPARSE_API char* PrepareUrlOrBody(const char* Keyword, const char* Template);
KELVANEPARSE_API void GetRegExprList(const char* Text, KvStringList* Parts);
KELVANEPARSE_API int GetRegExprMatchNum(const char* RegExpr);
KELVANEPARSE_API char* GetRegExpText(const char* Text, const KvStringList* Parts);
KELVANEPARSE_API void GetTextsForRegExpr(const char* RegExprs, const char* Text,
                                         KvStringList* Matches, int StopAtFirstLine);
KELVANEPARSE_API char* GetTextBlockForRegExpr(const char* RegExpr, const char* Text);
KELVANEPARSE_API int GetResultCount(const char* Text, const char* RegExpr);
KELVANEPARSE_API void GetResultForPage(const char* Page, const char* BlockRegExpr,
                                       const char* BlockRegExpr2, const char* ItemRegExpr,
                                       const char* ItemRegExpr2, const char* FieldRegExpr,
                                       const char* FieldRegExpr2, KvStringList* Items,
                                       KvStringList* Items2, KvStringList* Fields,
                                       KvStringList* Fields2);
/* CurrentUrl is only read. */
KELVANEPARSE_API char* GetUrlNext(const char* RegExpr, int CombineType, const char* FirstPartUrl,
                                  const char* CurrentUrl, const char* Page);
KELVANEPARSE_API char* PrepareURL(const char* Url);

/* --- URLs and domains --- */

KELVANEPARSE_API char* RemoveHttpSlash(const char* Url);
KELVANEPARSE_API char* GetSiteDomain(const char* Url);
KELVANEPARSE_API char* GetSiteFirstDomain(const char* Url);
KELVANEPARSE_API int SitesInOneDomain(const char* Url1, const char* Url2);
KELVANEPARSE_API int CheckSiteInList(const char* Url, const KvStringList* List);
KELVANEPARSE_API int CheckDomainInList(const char* Url, const KvStringList* List);
KELVANEPARSE_API char* GetSiteUrlAfterDomainLower(const char* Url);
KELVANEPARSE_API char* GetSiteUrlAfterDomain(const char* Url);
KELVANEPARSE_API char* EncodeWord(const char* Word);
KELVANEPARSE_API char* GetBaseURL(const char* Html);
KELVANEPARSE_API char* MyCombineURL(const char* Base, const char* Relative);
KELVANEPARSE_API char* MyCanonicalizeUrl(const char* Url);
KELVANEPARSE_API char* MyDecodeUrl(const char* Url);

/* --- HTML text --- */

KELVANEPARSE_API char* RemoveHtmlFmt(const char* Html, int CollapseBlanks);
KELVANEPARSE_API char* MyHtmlDecode(const char* Text);
KELVANEPARSE_API char* GetStrByIndex(const char* Text, int Index);
KELVANEPARSE_API char* InvertString(const char* Text);

#ifdef __cplusplus
}
#endif

#endif /* KELVANE_PARSEUTILS_KELVANEPARSE_H */
