#include "detect/declaredtopics.h"

#include <unordered_set>
#include <utility>
#include <vector>

#include "detect/pagekeywords.h"
#include "detect/structureddata.h"
#include "html/nodesearch.h"
#include "parseutils/htmltext.h"
#include "text/textcompare.h"
#include "text/utf8.h"

namespace kv::detect {

namespace {

// Numeric references the program's decoder leaves alone ("&#8217;", "&#x27;"), as UTF-8.
// Code points that are no characters (surrogates, beyond U+10FFFF, NUL) stay as written.
std::string DecodeNumericReferences(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t amp = text.find("&#", pos);
        if (amp == std::string_view::npos) break;
        out.append(text.substr(pos, amp - pos));
        std::size_t i = amp + 2;
        const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        if (hex) ++i;
        const std::size_t digits = i;
        char32_t code = 0;
        for (; i < text.size() && i - digits < 8; ++i) {
            const char c = text[i];
            const int d = c >= '0' && c <= '9'          ? c - '0'
                          : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                        : -1;
            if (d < 0) break;
            code = code * (hex ? 16 : 10) + static_cast<char32_t>(d);
        }
        const bool valid = i > digits && i < text.size() && text[i] == ';' && code != 0 &&
                           code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
        if (valid) {
            text::AppendUtf8(out, code);
            pos = i + 1;
        } else {
            out.append(text.substr(amp, 2));
            pos = amp + 2;
        }
    }
    out.append(text.substr(pos));
    return out;
}

std::string Decoded(std::string_view content) {
    if (content.find('&') == std::string_view::npos) return std::string(content);
    return DecodeNumericReferences(parseutils::MyHtmlDecode(content));
}

void ReadMeta(const html::THierarchyNode* root, PageDeclarations& page) {
    const html::THierarchyNode* head = html::FindFirst(root, "head");
    if (head == nullptr) return;
    html::TTagNodeList metas;
    html::FindAllByAttribute(head, "meta", metas, "keywords", "name");
    if (metas.Count() == 0) return;
    page.meta = metas.Items(0)->AttributeValue("content");
    page.found.Set(KeywordSource::Meta, true);
}

bool IsElement(const html::THierarchyNode& node, std::string_view name) {
    return node.Name().size() == name.size() && text::SameAsciiNoCase(node.Name(), name);
}

void ReadMetaElement(const html::THierarchyNode& meta, KeywordSources chosen,
                     PageDeclarations& page) {
    if (chosen.Has(KeywordSource::News) && !page.found.Has(KeywordSource::News) &&
        text::SameAsciiNoCase(meta.AttributeValue("name"), "news_keywords")) {
        page.news = Decoded(meta.AttributeValue("content"));
        page.found.Set(KeywordSource::News, true);
    } else if (chosen.Has(KeywordSource::Tags) &&
               text::SameAsciiNoCase(meta.AttributeValue("property"), "article:tag")) {
        page.tags.push_back(Decoded(meta.AttributeValue("content")));
        page.found.Set(KeywordSource::Tags, true);
    }
}

void ReadScriptElement(const html::THierarchyNode& script, std::size_t& budget,
                       PageDeclarations& page) {
    if (!IsStructuredDataType(script.AttributeValue("type"))) return;
    // The parser reads a script's content as text; a JSON-LD block is one text node.
    const std::string json = html::GetText(&script);
    if (json.size() > budget) return;
    budget -= json.size();
    auto keywords = StructuredDataKeywords(json);
    if (!keywords) return;
    page.found.Set(KeywordSource::Data, true);
    for (std::string& k : *keywords) page.data.push_back(std::move(k));
}

// News keywords, article tags and structured data stand anywhere in the page: one walk over
// the whole tree finds them all, as a walk costs about as much as a tenth of the parse.
void ReadWholePage(const html::THierarchyNode* root, KeywordSources chosen,
                   PageDeclarations& page) {
    const bool metas = chosen.Has(KeywordSource::News) || chosen.Has(KeywordSource::Tags);
    const bool scripts = chosen.Has(KeywordSource::Data);
    std::size_t budget = kMaxStructuredDataPerPage;
    std::vector<std::pair<const html::THierarchyNode*, std::size_t>> path{{root, 0}};
    while (!path.empty()) {
        auto& [parent, next] = path.back();
        const html::THierarchyNode* node = parent->GetChild(next++);
        if (node == nullptr) {
            path.pop_back();
            continue;
        }
        if (metas && IsElement(*node, "meta")) {
            ReadMetaElement(*node, chosen, page);
        } else if (scripts && IsElement(*node, "script")) {
            ReadScriptElement(*node, budget, page);
        }
        if (node->ChildCount() > 0) path.emplace_back(node, 0);
    }
}

// Appends whole keywords to a text that already holds the META keywords.
class KeywordJoin {
  public:
    KeywordJoin(std::string_view meta, std::size_t maxChars) : text_(meta), maxChars_(maxChars) {}

    void Add(std::string_view declared) {
        ForEachPageKeywordPiece(declared, [this](std::string_view piece) { AddPiece(piece); });
    }
    std::string Take() { return std::move(text_); }

  private:
    void Start() {
        started_ = true;
        // The reader stops at a NUL: keywords after one would never be read.
        text_.erase(std::min(text_.find('\0'), text_.size()));
        ForEachPageKeywordPiece(text_, [this](std::string_view piece) {
            keys_.insert(text::SortKeyIgnoringCase(piece));
        });
        chars_ = text::CharCount(text_);
    }
    void AddPiece(std::string_view piece) {
        if (full_) return;
        if (!started_) Start();
        if (!keys_.insert(text::SortKeyIgnoringCase(piece)).second) return;
        const std::string_view separator = text_.empty() ? "" : ", ";
        const std::size_t chars = chars_ + separator.size() + text::CharCount(piece);
        if (chars > maxChars_) {
            full_ = true;
            return;
        }
        text_.append(separator).append(piece);
        chars_ = chars;
    }

    std::string text_;
    std::size_t maxChars_;
    std::unordered_set<std::string> keys_;
    std::size_t chars_ = 0;
    bool started_ = false;
    bool full_ = false;
};

}  // namespace

PageDeclarations ReadPageDeclarations(const html::THierarchyNode* root, KeywordSources chosen) {
    PageDeclarations page;
    if (chosen.Has(KeywordSource::Meta)) ReadMeta(root, page);
    if (chosen.Has(KeywordSource::News) || chosen.Has(KeywordSource::Tags) ||
        chosen.Has(KeywordSource::Data))
        ReadWholePage(root, chosen, page);
    return page;
}

std::string JoinDeclaredKeywords(const PageDeclarations& page, std::size_t maxChars) {
    KeywordJoin join(page.meta, maxChars);
    join.Add(page.news);
    for (const std::string& tag : page.tags) join.Add(tag);
    for (const std::string& keywords : page.data) join.Add(keywords);
    return join.Take();
}

}  // namespace kv::detect
