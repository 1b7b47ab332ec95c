#include "detect/nextform.h"

#include "parseutils/htmltext.h"
#include "parseutils/urlfuncs.h"
#include "text/textcompare.h"

namespace kv::detect {

namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// The attributes of one tag; `tag` starts after the element name and ends before ">".
Attributes ReadAttributes(std::string_view tag) {
    Attributes attributes;
    std::size_t i = 0;
    while (i < tag.size()) {
        while (i < tag.size() && (IsBlank(tag[i]) || tag[i] == '/')) ++i;
        const std::size_t nameStart = i;
        while (i < tag.size() && !IsBlank(tag[i]) && tag[i] != '=' && tag[i] != '/') ++i;
        std::string name = text::AsciiLowerCase(std::string(tag.substr(nameStart, i - nameStart)));
        while (i < tag.size() && IsBlank(tag[i])) ++i;
        std::string value;
        if (i < tag.size() && tag[i] == '=') {
            ++i;
            while (i < tag.size() && IsBlank(tag[i])) ++i;
            if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
                const char quote = tag[i++];
                const std::size_t end = std::min(tag.find(quote, i), tag.size());
                value = tag.substr(i, end - i);
                i = end + 1;
            } else {
                const std::size_t start = i;
                while (i < tag.size() && !IsBlank(tag[i])) ++i;
                value = tag.substr(start, i - start);
            }
        }
        if (!name.empty())
            attributes.emplace_back(std::move(name), parseutils::MyHtmlDecode(value));
        if (i == nameStart) ++i;  // a stray byte: never loop in place
    }
    return attributes;
}

const std::string* Attribute(const Attributes& attributes, std::string_view name) {
    for (const auto& [key, value] : attributes)
        if (key == name) return &value;
    return nullptr;
}

// The next tag <name ...> at or after `from`, ignoring case: its attribute text and the
// position after it; npos when there is none.
// `lower` is the markup lower-cased once by the caller.
std::size_t FindTag(std::string_view markup, std::string_view lower, std::string_view name,
                    std::size_t from, std::string_view& attributeText) {
    const std::string open = "<" + std::string(name);
    for (std::size_t at = lower.find(open, from); at != std::string::npos;
         at = lower.find(open, at + 1)) {
        const std::size_t after = at + open.size();
        if (after < lower.size() && !IsBlank(lower[after]) && lower[after] != '>' &&
            lower[after] != '/')
            continue;  // <formula>, <inputs>
        const std::size_t close = lower.find('>', after);
        const std::size_t end = close == std::string::npos ? lower.size() : close;
        attributeText = markup.substr(after, end - after);
        return end;
    }
    return std::string::npos;
}

}  // namespace

HtmlForm ReadForm(std::string_view markup) {
    HtmlForm form;
    const std::string lower = text::AsciiLowerCase(markup);
    std::string_view attributeText;
    if (FindTag(markup, lower, "form", 0, attributeText) != std::string::npos) {
        form.hasFormTag = true;
        const Attributes attributes = ReadAttributes(attributeText);
        if (const auto* action = Attribute(attributes, "action")) form.action = *action;
        if (const auto* method = Attribute(attributes, "method"))
            form.post = text::AsciiLowerCase(*method) == "post";
    }
    for (std::size_t at = FindTag(markup, lower, "input", 0, attributeText);
         at != std::string::npos; at = FindTag(markup, lower, "input", at, attributeText)) {
        const Attributes attributes = ReadAttributes(attributeText);
        const auto* type = Attribute(attributes, "type");
        const auto* name = Attribute(attributes, "name");
        if (!type || text::AsciiLowerCase(*type) != "hidden" || !name || name->empty()) continue;
        const auto* value = Attribute(attributes, "value");
        form.fields.emplace_back(*name, value ? *value : std::string());
    }
    return form;
}

std::string FormEncode(const std::vector<std::pair<std::string, std::string>>& fields) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto encode = [](const std::string& text, std::string& out) {
        for (unsigned char c : text) {
            if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                c == '-' || c == '_' || c == '.' || c == '*') {
                out += static_cast<char>(c);
            } else if (c == ' ') {
                out += '+';
            } else {
                out += '%';
                out += kHex[c >> 4];
                out += kHex[c & 15];
            }
        }
    };
    std::string out;
    for (const auto& [name, value] : fields) {
        if (!out.empty()) out += '&';
        encode(name, out);
        out += '=';
        encode(value, out);
    }
    return out;
}

EngineRequest FormRequest(const HtmlForm& form, const EngineRequest& current,
                          const std::string& pageAddress) {
    EngineRequest next;
    next.referrer = pageAddress;
    std::string target =
        form.action.empty() ? pageAddress : parseutils::MyCombineURL(pageAddress, form.action);
    next.post = form.hasFormTag ? form.post : current.post;
    const std::string data = FormEncode(form.fields);
    if (next.post) {
        next.address = target;
        next.body = data;
    } else {
        // A GET form replaces the action's query by its fields, as browsers do.
        target = target.substr(0, target.find_first_of("?#"));
        next.address = data.empty() ? target : target + "?" + data;
    }
    return next;
}

}  // namespace kv::detect
