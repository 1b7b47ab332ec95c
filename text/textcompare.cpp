#include "text/textcompare.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace kv::text {

namespace {

std::mutex g_localeMutex;
std::string g_locale;
bool g_localeSet = false;
std::atomic<unsigned> g_generation{1};

// The process locale as POSIX names it; C and POSIX mean ICU's root order, not en_US_POSIX,
// whose order is by code point and so would not ignore case.
std::string LocaleFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') continue;
        std::string id(value);
        id = id.substr(0, id.find_first_of(".@"));
        if (id == "C" || id == "POSIX") return "";
        return id;
    }
    return "";
}

std::string CurrentLocale() {
    std::lock_guard lock(g_localeMutex);
    if (!g_localeSet) {
        g_locale = LocaleFromEnvironment();
        g_localeSet = true;
    }
    return g_locale;
}

struct CollatorCloser {
    void operator()(UCollator* c) const { ucol_close(c); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorCloser>;

CollatorPtr OpenCollator(UColAttributeValue strength) {
    UErrorCode status = U_ZERO_ERROR;
    CollatorPtr coll(ucol_open(CurrentLocale().c_str(), &status));
    if (U_FAILURE(status)) {
        status = U_ZERO_ERROR;
        coll.reset(ucol_open("", &status));
    }
    if (U_FAILURE(status)) throw std::runtime_error("Cannot open the text collator");
    ucol_setStrength(coll.get(), strength);
    return coll;
}

// Each thread keeps its own collators, reopened after the locale changes.
struct ThreadCollators {
    unsigned generation = 0;
    CollatorPtr ignoringCase;
    CollatorPtr respectingCase;
    std::vector<UChar> utf16;
    std::string key;
};

ThreadCollators& Collators() {
    thread_local ThreadCollators tc;
    const unsigned gen = g_generation.load();
    if (tc.generation != gen) {
        tc.ignoringCase = OpenCollator(UCOL_SECONDARY);
        tc.respectingCase = OpenCollator(UCOL_TERTIARY);
        tc.generation = gen;
    }
    return tc;
}

int Collate(UCollator* coll, std::string_view a, std::string_view b) {
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(coll, a.data(), static_cast<int32_t>(a.size()),
                                                b.data(), static_cast<int32_t>(b.size()), &status);
    if (U_FAILURE(status)) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
    return r == UCOL_LESS ? -1 : (r == UCOL_EQUAL ? 0 : 1);
}

std::string SortKey(ThreadCollators& tc, UCollator* coll, std::string_view s) {
    // UTF-8 to UTF-16; invalid bytes become U+FFFD as the collator itself would read them.
    tc.utf16.resize(s.size() + 1);
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(tc.utf16.data(), static_cast<int32_t>(tc.utf16.size()), &length, s.data(),
                         static_cast<int32_t>(s.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) length = 0;
    if (tc.key.size() < 64) tc.key.resize(64);
    auto* out = reinterpret_cast<uint8_t*>(tc.key.data());
    int32_t needed =
        ucol_getSortKey(coll, tc.utf16.data(), length, out, static_cast<int32_t>(tc.key.size()));
    if (needed > static_cast<int32_t>(tc.key.size())) {
        tc.key.resize(static_cast<std::size_t>(needed));
        out = reinterpret_cast<uint8_t*>(tc.key.data());
        needed = ucol_getSortKey(coll, tc.utf16.data(), length, out, needed);
    }
    // The key ends in a zero byte that adds nothing to the order.
    return std::string(tc.key.data(), needed > 0 ? static_cast<std::size_t>(needed - 1) : 0);
}

}  // namespace

int CompareIgnoringCase(std::string_view a, std::string_view b) {
    return Collate(Collators().ignoringCase.get(), a, b);
}

int CollateRespectingCase(std::string_view a, std::string_view b) {
    return Collate(Collators().respectingCase.get(), a, b);
}

std::string SortKeyIgnoringCase(std::string_view s) {
    auto& tc = Collators();
    return SortKey(tc, tc.ignoringCase.get(), s);
}

std::string SortKeyRespectingCase(std::string_view s) {
    auto& tc = Collators();
    return SortKey(tc, tc.respectingCase.get(), s);
}

std::string_view IgnoringCasePartOfKey(std::string_view key) {
    const std::size_t first = key.find('\x01');
    if (first == std::string_view::npos) return key;
    const std::size_t second = key.find('\x01', first + 1);
    return second == std::string_view::npos ? key : key.substr(0, second);
}

void SetCollationLocale(const std::string& locale) {
    {
        std::lock_guard lock(g_localeMutex);
        g_locale = locale;
        g_localeSet = true;
    }
    ++g_generation;
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}
char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::string AsciiUpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = AsciiUpper(c);
    return out;
}

std::string AsciiLowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

int CompareAsciiNoCase(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(AsciiLower(a[i]));
        const auto cb = static_cast<unsigned char>(AsciiLower(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameAsciiNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareAsciiNoCase(a, b) == 0;
}

}  // namespace kv::text
