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
 * keep their entries. The list functions, KvFree and KvLastError leave the last error alone.
 *
 * A KvStringList is an ordered list of texts owned by the caller (KvStringListCreate /
 * KvStringListFree). A pointer from KvStringListGet stays valid until that list is changed or
 * freed. Functions with list arguments append to them, except GetRegExprList, which clears its
 * list first. Nothing is shared between calls, so threads may call in parallel on their own
 * lists. Tests: tests/capi/. */
#ifndef KELVANE_PARSEUTILS_KELVANEPARSE_H
#define KELVANE_PARSEUTILS_KELVANEPARSE_H

#if defined(KELVANEPARSE_BUILDING)
#define KV_API __attribute__((visibility("default")))
#else
#define KV_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct KvStringList KvStringList;

/* --- Memory, lists and errors --- */

KV_API void KvFree(char* text);

KV_API KvStringList* KvStringListCreate(void);
KV_API void KvStringListFree(KvStringList* list);
KV_API int KvStringListCount(const KvStringList* list);
/* NULL when index is outside 0 .. count - 1. */
KV_API const char* KvStringListGet(const KvStringList* list, int index);
KV_API void KvStringListAdd(KvStringList* list, const char* text);
KV_API void KvStringListClear(KvStringList* list);

/* The message of the calling thread's last failure ("TRegExpr(comp): Unmatched () (pos 3)"), or
 * NULL when the last template call succeeded. Valid until that thread's next template call. */
KV_API const char* KvLastError(void);

/* --- Template extraction --- */

KV_API char* PrepareUrlOrBody(const char* Keyword, const char* Template);
KV_API void GetRegExprList(const char* Text, KvStringList* Parts);
KV_API int GetRegExprMatchNum(const char* RegExpr);
KV_API char* GetRegExpText(const char* Text, const KvStringList* Parts);
KV_API void GetTextsForRegExpr(const char* RegExprs, const char* Text, KvStringList* Matches,
                               int StopAtFirstLine);
KV_API char* GetTextBlockForRegExpr(const char* RegExpr, const char* Text);
KV_API int GetResultCount(const char* Text, const char* RegExpr);
KV_API void GetResultForPage(const char* Page, const char* BlockRegExpr, const char* BlockRegExpr2,
                             const char* ItemRegExpr, const char* ItemRegExpr2,
                             const char* FieldRegExpr, const char* FieldRegExpr2,
                             KvStringList* Items, KvStringList* Items2, KvStringList* Fields,
                             KvStringList* Fields2);
/* CurrentUrl is only read. */
KV_API char* GetUrlNext(const char* RegExpr, int CombineType, const char* FirstPartUrl,
                        const char* CurrentUrl, const char* Page);
KV_API char* PrepareURL(const char* Url);

/* --- URLs and domains --- */

KV_API char* RemoveHttpSlash(const char* Url);
KV_API char* GetSiteDomain(const char* Url);
KV_API char* GetSiteFirstDomain(const char* Url);
KV_API int SitesInOneDomain(const char* Url1, const char* Url2);
KV_API int CheckSiteInList(const char* Url, const KvStringList* List);
KV_API int CheckDomainInList(const char* Url, const KvStringList* List);
KV_API char* GetSiteUrlAfterDomainLower(const char* Url);
KV_API char* GetSiteUrlAfterDomain(const char* Url);
KV_API char* EncodeWord(const char* Word);
KV_API char* GetBaseURL(const char* Html);
KV_API char* MyCombineURL(const char* Base, const char* Relative);
KV_API char* MyCanonicalizeUrl(const char* Url);
KV_API char* MyDecodeUrl(const char* Url);

/* --- HTML text --- */

KV_API char* RemoveHtmlFmt(const char* Html, int CollapseBlanks);
KV_API char* MyHtmlDecode(const char* Text);
KV_API char* GetStrByIndex(const char* Text, int Index);
KV_API char* InvertString(const char* Text);

#ifdef __cplusplus
}
#endif

#endif /* KELVANE_PARSEUTILS_KELVANEPARSE_H */
