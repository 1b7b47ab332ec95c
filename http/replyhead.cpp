#include "http/replyhead.h"

#include "http/fieldtext.h"
#include "text/textcompare.h"

namespace kv::http {

bool IsHtmlStartLine(std::string_view line) {
    return line.size() >= 6 && text::SameAsciiNoCase(line.substr(0, 6), "<HTML>");
}

std::optional<StatusLine> ParseStatusLine(std::string_view line) {
    std::string_view version = line.substr(0, 8);
    if (version != "HTTP/1.0" && version != "HTTP/1.1") return std::nullopt;
    StatusLine status;
    std::string_view code = line.size() > 9 ? line.substr(9, 3) : std::string_view{};
    int value = 0;
    if (ReadWholeInteger(code, value)) status.code = value;
    if (line.size() > 13) status.reason = std::string(line.substr(13));
    return status;
}

std::optional<HeaderField> ParseHeaderField(std::string_view line) {
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && value.front() == ' ') value.remove_prefix(1);
    return HeaderField{text::AsciiLowerCase(line.substr(0, colon)), std::string(value)};
}

bool IsChunkedTransfer(std::string_view value) {
    const std::size_t comma = value.rfind(',');
    if (comma != std::string_view::npos) value.remove_prefix(comma + 1);
    return text::SameAsciiNoCase(TrimControls(value), "chunked");
}

std::string BodyCodings(std::string_view contentEncoding, std::string_view transferEncoding) {
    if (IsChunkedTransfer(transferEncoding)) {
        const std::size_t comma = transferEncoding.rfind(',');
        transferEncoding = comma == std::string_view::npos ? std::string_view{}
                                                           : transferEncoding.substr(0, comma);
    }
    std::string codings;
    for (std::string_view part : {TrimControls(contentEncoding), TrimControls(transferEncoding)}) {
        if (part.empty() || text::SameAsciiNoCase(part, "identity")) continue;
        if (!codings.empty()) codings += ", ";
        codings += part;
    }
    return codings;
}

std::int64_t ParseContentLength(std::string_view value) {
    std::int64_t length = -1;
    return ReadWholeInteger(TrimControls(value), length) && length >= 0 ? length : -1;
}

}  // namespace kv::http
