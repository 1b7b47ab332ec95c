/* The C header as a C program uses it: compiled as C99, linked against the library by name. */
#include <stdio.h>
#include <string.h>

#include "parseutils/kelvaneparse.h"

static int Check(int ok, const char* what) {
    if (!ok) fprintf(stderr, "failed: %s\n", what);
    return ok;
}

int main(void) {
    int ok = 1;
    char* query = PrepareUrlOrBody("red shoes", "q=@@@");
    ok &= Check(query != NULL && strcmp(query, "q=red+shoes") == 0, "PrepareUrlOrBody");
    KvFree(query);

    KvStringList* parts = KvStringListCreate();
    GetRegExprList("a@@@b", parts);
    ok &= Check(KvStringListCount(parts) == 2 && strcmp(KvStringListGet(parts, 1), "b") == 0,
                "GetRegExprList");
    KvStringListFree(parts);

    ok &= Check(GetTextBlockForRegExpr("(", "x") == NULL && KvLastError() != NULL, "compile error");
    ok &= Check(
        SitesInOneDomain("http://a.example.com", "b.example.com") == 1 && KvLastError() == NULL,
        "SitesInOneDomain");
    return ok ? 0 : 1;
}
