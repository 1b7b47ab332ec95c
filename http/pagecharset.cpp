#include "http/pagecharset.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <array>
#include <memory>
#include <optional>

#include "http/fieldtext.h"
#include "text/textcompare.h"

namespace kv::http {

namespace {

constexpr const char* kUtf8 = "UTF-8";
constexpr const char* kFallback = "windows-1252";

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter Open(const std::string& name) {
    UErrorCode error = U_ZERO_ERROR;
    Converter converter(ucnv_open(name.c_str(), &error));
    if (U_FAILURE(error)) converter.reset();
    return converter;
}

// Names browsers read as another, wider charset; UTF-16 named inside the bytes themselves
// cannot be true (the prescan read them as ASCII).
std::string CanonicalName(std::string name, bool fromMeta) {
    name = text::AsciiLowerCase(TrimControls(name));
    if (name.size() >= 2 && (name.front() == '"' || name.front() == '\'')) {
        name = name.substr(1, name.size() - 2);
    }
    if (name == "iso-8859-1" || name == "latin1" || name == "us-ascii" || name == "ascii" ||
        name == "iso8859-1" || name == "l1" || name == "cp1252") {
        return kFallback;
    }
    if (name == "gb2312" || name == "gbk" || name == "x-gbk" || name == "chinese") return "gb18030";
    if (name == "utf8" || name == "unicode-1-1-utf-8") return kUtf8;
    if (fromMeta && name.starts_with("utf-16")) return kUtf8;
    return name;
}

// A known charset's converter name, or nullopt for an unknown one.
std::optional<std::string> Known(std::string_view declared, bool fromMeta) {
    if (TrimControls(declared).empty()) return std::nullopt;
    const std::string name = CanonicalName(std::string(declared), fromMeta);
    Converter converter = Open(name);
    if (!converter) return std::nullopt;
    UErrorCode error = U_ZERO_ERROR;
    const char* canonical = ucnv_getName(converter.get(), &error);
    if (U_SUCCESS(error) && text::SameAsciiNoCase(canonical, kUtf8)) return std::string(kUtf8);
    return name;
}

// The value after "charset=" in a Content-Type value or a meta content text.
std::string CharsetParameter(std::string_view value) {
    const std::string lowered = text::AsciiLowerCase(value);
    const std::size_t at = lowered.find("charset");
    if (at == std::string::npos) return {};
    std::size_t i = at + 7;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
    if (i >= value.size() || value[i] != '=') return {};
    ++i;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
    if (i < value.size() && (value[i] == '"' || value[i] == '\'')) {
        const char quote = value[i];
        const std::size_t end = value.find(quote, i + 1);
        return end == std::string_view::npos ? std::string()
                                             : std::string(value.substr(i + 1, end - i - 1));
    }
    const std::size_t end = value.find_first_of("; \t\"'", i);
    return std::string(value.substr(i, end == std::string_view::npos ? end : end - i));
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// One attribute of a tag starting at `i`; false at the tag's end.
bool NextAttribute(std::string_view s, std::size_t& i, std::string& name, std::string& value) {
    while (i < s.size() && (IsSpace(s[i]) || s[i] == '/')) ++i;
    if (i >= s.size() || s[i] == '>') return false;
    const std::size_t nameStart = i;
    while (i < s.size() && !IsSpace(s[i]) && s[i] != '=' && s[i] != '>' && s[i] != '/') ++i;
    name = text::AsciiLowerCase(s.substr(nameStart, i - nameStart));
    value.clear();
    while (i < s.size() && IsSpace(s[i])) ++i;
    if (i >= s.size() || s[i] != '=') return true;
    ++i;
    while (i < s.size() && IsSpace(s[i])) ++i;
    if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
        const char quote = s[i++];
        const std::size_t end = s.find(quote, i);
        value = std::string(s.substr(i, end == std::string_view::npos ? s.size() - i : end - i));
        i = end == std::string_view::npos ? s.size() : end + 1;
        return true;
    }
    const std::size_t valueStart = i;
    while (i < s.size() && !IsSpace(s[i]) && s[i] != '>') ++i;
    value = std::string(s.substr(valueStart, i - valueStart));
    return true;
}

// The charset a meta element in the first bytes declares, "" for none.
std::string PrescanMeta(std::string_view body) {
    const std::string_view head = body.substr(0, kCharsetPrescanBytes);
    const std::string lowered = text::AsciiLowerCase(head);
    for (std::size_t i = 0; i < head.size();) {
        if (lowered.compare(i, 4, "<!--") == 0) {
            const std::size_t end = lowered.find("-->", i + 4);
            if (end == std::string::npos) break;
            i = end + 3;
            continue;
        }
        if (lowered.compare(i, 5, "<meta") != 0 || i + 5 >= head.size() ||
            !(IsSpace(head[i + 5]) || head[i + 5] == '/')) {
            ++i;
            continue;
        }
        std::size_t at = i + 5;
        std::string name, value, charset, content;
        bool contentType = false;
        while (NextAttribute(head, at, name, value)) {
            if (name == "charset" && charset.empty()) charset = value;
            if (name == "content" && content.empty()) content = value;
            if (name == "http-equiv") contentType = text::SameAsciiNoCase(value, "content-type");
        }
        if (!charset.empty()) return charset;
        if (contentType) {
            std::string fromContent = CharsetParameter(content);
            if (!fromContent.empty()) return fromContent;
        }
        i = at;
    }
    return {};
}

// Windows-1252 at 0x80 to 0x9F (undefined codes stay C1 controls); the rest is Latin-1.
constexpr std::array<char16_t, 32> kWindows1252{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence at `i`, 0 when there is none.
std::size_t SequenceLength(std::string_view s, std::size_t i) {
    const auto byte = [&s](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    if (b < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0) low = 0xA0;
        if (b == 0xED) high = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0) low = 0x90;
        if (b == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    if (byte(i + 1) < low || byte(i + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
    }
    return length;
}

// Valid sequences kept, each stray byte read as Windows-1252.
std::string RepairUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t length = SequenceLength(s, i);
        if (length > 0) {
            out.append(s.substr(i, length));
            i += length;
            continue;
        }
        const auto b = static_cast<unsigned char>(s[i++]);
        AppendUtf8(out, b < 0xA0 ? kWindows1252[b - 0x80] : b);
    }
    return out;
}

void SubstituteReplacementCharacter(const void*, UConverterToUnicodeArgs* args, const char*,
                                    int32_t, UConverterCallbackReason reason, UErrorCode* error) {
    if (reason > UCNV_IRREGULAR) return;  // reset, close or clone: nothing to write
    *error = U_ZERO_ERROR;
    static const UChar kReplacement = 0xFFFD;
    ucnv_cbToUWriteUChars(args, &kReplacement, 1, 0, error);
}

// The bytes through ICU into UTF-8; nullopt when the converters cannot be had.
std::optional<std::string> ConvertToUtf8(std::string_view in, const std::string& charset) {
    Converter from = Open(charset);
    Converter to = Open(kUtf8);
    if (!from || !to) return std::nullopt;
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(from.get(), SubstituteReplacementCharacter, nullptr, nullptr, nullptr,
                        &error);
    std::string out;
    out.reserve(in.size() + in.size() / 2);
    std::array<char, 64 * 1024> buffer{};
    std::array<UChar, 1024> pivot{};
    UChar* pivotSource = pivot.data();
    UChar* pivotTarget = pivot.data();
    const char* source = in.data();
    bool first = true;
    do {
        error = U_ZERO_ERROR;
        char* target = buffer.data();
        ucnv_convertEx(to.get(), from.get(), &target, buffer.data() + buffer.size(), &source,
                       in.data() + in.size(), pivot.data(), &pivotSource, &pivotTarget,
                       pivot.data() + pivot.size(), first, true, &error);
        out.append(buffer.data(), static_cast<std::size_t>(target - buffer.data()));
        first = false;
    } while (error == U_BUFFER_OVERFLOW_ERROR);
    if (U_FAILURE(error)) return std::nullopt;
    return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

PageCharset DetectPageCharset(std::string_view body, std::string_view contentType) {
    if (body.starts_with("\xEF\xBB\xBF")) return {kUtf8, 3, true};
    if (body.starts_with("\xFF\xFE")) return {"UTF-16LE", 2, true};
    if (body.starts_with("\xFE\xFF")) return {"UTF-16BE", 2, true};
    if (auto header = Known(CharsetParameter(contentType), false)) return {*header, 0, true};
    if (auto meta = Known(PrescanMeta(body), true)) return {*meta, 0, true};
    return {IsValidUtf8(body) ? kUtf8 : kFallback, 0, false};
}

std::string PageToUtf8(std::string_view body, std::string_view contentType) {
    const PageCharset charset = DetectPageCharset(body, contentType);
    body.remove_prefix(charset.bomBytes);
    if (charset.name == kUtf8) {
        return IsValidUtf8(body) ? std::string(body) : RepairUtf8(body);
    }
    if (auto converted = ConvertToUtf8(body, charset.name)) return *converted;
    return RepairUtf8(body);
}

}  // namespace kv::http
