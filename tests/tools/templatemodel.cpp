#include "tests/tools/templatemodel.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <memory>
#include <stdexcept>

#include "tools/demoengine/textcodec.h"

namespace kv::testing::model {
namespace {

// Groups above this are never read (the dialect numbers groups 1 to 49).
constexpr int kMaxGroups = 50;

class Pattern {
  public:
    explicit Pattern(const std::string& text) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        code_.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(),
                                  PCRE2_DOTALL, &error, &offset, nullptr));
        if (!code_) throw std::runtime_error("pattern does not compile: " + text);
        data_.reset(pcre2_match_data_create_from_pattern(code_.get(), nullptr));
    }

    // Searches from `start`; fills the group texts (empty for groups that took no part).
    bool Search(const std::string& text, std::size_t start, std::size_t& matchStart,
                std::size_t& matchEnd, std::vector<std::pair<bool, std::string>>& groups) {
        const int rc = pcre2_match(code_.get(), reinterpret_cast<PCRE2_SPTR>(text.data()),
                                   text.size(), start, 0, data_.get(), nullptr);
        if (rc < 0) return false;
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data_.get());
        const int count = static_cast<int>(pcre2_get_ovector_count(data_.get()));
        groups.assign(static_cast<std::size_t>(count), {false, std::string()});
        for (int i = 0; i < count && i < rc; ++i) {
            if (ov[2 * i] == PCRE2_UNSET) continue;
            groups[static_cast<std::size_t>(i)] = {
                true, text.substr(ov[2 * i], ov[2 * i + 1] - ov[2 * i])};
        }
        matchStart = ov[0];
        matchEnd = ov[1];
        return true;
    }

  private:
    struct CodeFree {
        void operator()(pcre2_code* c) const { pcre2_code_free(c); }
    };
    struct DataFree {
        void operator()(pcre2_match_data* d) const { pcre2_match_data_free(d); }
    };
    std::unique_ptr<pcre2_code, CodeFree> code_;
    std::unique_ptr<pcre2_match_data, DataFree> data_;
};

std::string HighestGroup(const std::vector<std::pair<bool, std::string>>& groups) {
    for (std::size_t i = groups.size(); i-- > 1;) {
        if (groups[i].first) return groups[i].second;
    }
    return groups.empty() ? std::string() : groups[0].second;
}

int Marker(const std::string& pattern) {
    std::size_t at = 0;
    while ((at = pattern.find("(?#", at)) != std::string::npos) {
        std::size_t end = at + 3;
        while (end < pattern.size() && pattern[end] >= '0' && pattern[end] <= '9') ++end;
        if (end > at + 3 && end < pattern.size() && pattern[end] == ')') {
            return std::stoi(pattern.substr(at + 3, end - at - 3));
        }
        at += 3;
    }
    return -1;
}

std::string Refine(std::string text, const std::vector<std::string>& parts) {
    for (std::size_t i = 1; i < parts.size(); ++i) {
        Pattern pattern(parts[i]);
        std::size_t s = 0, e = 0;
        std::vector<std::pair<bool, std::string>> groups;
        if (!pattern.Search(text, 0, s, e, groups)) break;
        text = HighestGroup(groups);
    }
    return text;
}

std::string Trimmed(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
    return text.substr(begin, end - begin);
}

std::string SchemeAndHost(const std::string& url) {
    const std::size_t slash = url.find('/', url.find("://") + 3);
    return slash == std::string::npos ? url : url.substr(0, slash);
}

std::string Resolve(const std::string& base, std::string relative) {
    if (relative.find("://") != std::string::npos) return relative;
    if (relative.starts_with("/")) return SchemeAndHost(base) + relative;
    if (relative.starts_with("./")) relative.erase(0, 2);
    const std::string path = base.substr(0, base.find('?'));
    return path.substr(0, path.rfind('/') + 1) + relative;
}

std::string BaseOf(const std::string& page) {
    const std::vector<std::string> head = TextsFor("<head>(.*?)</head>", page, true);
    if (head.empty()) return {};
    const std::vector<std::string> base = TextsFor("<base href=\"([^\"]*)\"", head[0], true);
    return base.empty() ? std::string() : base[0];
}

}  // namespace

std::vector<std::string> Lines(const std::string& set) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : set + "\n") {
        if (c == '\r' || c == '\n') {
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    return lines;
}

std::vector<std::string> Parts(const std::string& line) {
    std::vector<std::string> parts;
    std::string rest = line;
    for (std::size_t at; (at = rest.find("@@@")) != std::string::npos;) {
        parts.push_back(rest.substr(0, at));
        rest = rest.substr(at + 3);
    }
    if (!rest.empty()) parts.push_back(rest);
    return parts;
}

std::vector<std::string> TextsFor(const std::string& set, const std::string& text,
                                  bool stopAtFirstLine) {
    std::vector<std::string> matches;
    for (const std::string& line : Lines(set)) {
        const std::vector<std::string> parts = Parts(line);
        Pattern main(parts.at(0));
        const int marker = Marker(parts[0]);
        std::size_t start = 0, s = 0, e = 0;
        std::vector<std::pair<bool, std::string>> groups;
        bool any = false;
        while (start <= text.size() && main.Search(text, start, s, e, groups)) {
            std::string taken;
            if (marker < 0) {
                taken = HighestGroup(groups);
            } else if (marker < kMaxGroups && static_cast<std::size_t>(marker) < groups.size() &&
                       groups[static_cast<std::size_t>(marker)].first) {
                taken = groups[static_cast<std::size_t>(marker)].second;
            }
            matches.push_back(Refine(taken, parts));
            any = true;
            start = e > s ? e : e + 1;
        }
        if (stopAtFirstLine && any) break;
    }
    return matches;
}

std::string BlockFor(const std::string& set, const std::string& text) {
    const std::vector<std::string> found = TextsFor(set, text, true);
    if (!found.empty()) return found[0];
    return set.empty() ? text : std::string();
}

std::vector<std::string> ResultFields(const std::string& page, const EngineDefinition& engine) {
    std::vector<std::string> fields;
    const std::string block = BlockFor(engine.blockRegExpr, page);
    for (const std::string& item : TextsFor(engine.itemRegExpr, block, true)) {
        const std::vector<std::string> found = TextsFor(engine.urlRegExpr, item, true);
        fields.push_back(found.empty() ? std::string() : Trimmed(found[0]));
    }
    return fields;
}

std::string NextUrl(const EngineDefinition& engine, const std::string& currentUrl,
                    const std::string& page) {
    const std::vector<std::string> found = TextsFor(engine.nextRegExpr, page, true);
    if (found.empty() || found[0].empty()) return {};
    const std::string text = ReplaceAll(found[0], "\t", "");
    std::string result;
    switch (engine.combineType) {
        case 0: {
            const std::string base = BaseOf(page);
            result = Resolve(base.empty() ? currentUrl : base, text);
            break;
        }
        case 1:
            result = engine.firstPartUrl + text;
            break;
        case 2:
            result = text;
            break;
        default:
            return {};
    }
    return HtmlDecode(result);
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

std::string PercentDecode(const std::string& text) {
    return demo::PercentDecode(text);
}

std::string HtmlDecode(const std::string& text) {
    std::string out = text;
    for (const auto& [name, c] : {std::pair<const char*, const char*>{"&lt;", "<"},
                                  {"&gt;", ">"},
                                  {"&nbsp;", " "},
                                  {"&amp;", "&"},
                                  {"&quot;", "\""}}) {
        out = ReplaceAll(out, name, c);
    }
    for (int n = 0; n < 128; ++n) {
        out = ReplaceAll(out, "&#" + std::to_string(n) + ";", std::string(1, static_cast<char>(n)));
    }
    return out;
}

std::string RemoveMarkup(const std::string& html) {
    std::string text = demo::StripTags(html);
    std::string collapsed;
    for (char c : text) {
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
        if (c == ' ' && !collapsed.empty() && collapsed.back() == ' ') continue;
        collapsed += c;
    }
    return HtmlDecode(collapsed);
}

std::string CleanAddress(const std::string& address, const EngineDefinition& engine) {
    std::string out = address;
    if (engine.decodePercent) out = PercentDecode(out);
    if (engine.decodeCode) out = HtmlDecode(out);
    if (engine.removeHtml) out = RemoveMarkup(out);
    return out;
}

QueryOutcome Query(const EngineDefinition& engine, const std::string& keyword, int depth,
                   const Fetcher& fetch) {
    QueryOutcome outcome;
    std::string address = ReplaceAll(engine.startSearchUrl, "@@@", demo::EncodeQueryWord(keyword));
    while (true) {
        outcome.requested.push_back(address);
        const FetchResult got = fetch(address);
        if (got.status != 200) {
            outcome.failure = "status " + std::to_string(got.status);
            return outcome;
        }
        std::string lowered = got.page;
        for (char& c : lowered) {
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        }
        if (!engine.checkText.empty() && lowered.find(engine.checkText) == std::string::npos) {
            outcome.failure = "check text missing";
            return outcome;
        }
        for (const std::string& field : ResultFields(got.page, engine)) {
            if (static_cast<int>(outcome.addresses.size()) >= depth) break;
            outcome.addresses.push_back(CleanAddress(field, engine));
        }
        if (static_cast<int>(outcome.addresses.size()) >= depth) return outcome;
        address = NextUrl(engine, address, got.page);
        if (address.empty()) return outcome;
    }
}

}  // namespace kv::testing::model
