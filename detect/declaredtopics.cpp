#include "detect/declaredtopics.h"

#include <unordered_set>

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

// News keywords and article tags: one walk over every meta element of the page.
void ReadMetaElements(const html::THierarchyNode* root, KeywordSources chosen,
                      PageDeclarations& page) {
    html::TTagNodeList metas;
    html::FindAll(root, "meta", metas);
    const bool news = chosen.Has(KeywordSource::News);
    const bool tags = chosen.Has(KeywordSource::Tags);
    for (std::size_t i = 0; i < metas.Count(); ++i) {
        const html::THierarchyNode* meta = metas.Items(i);
        if (news && !page.found.Has(KeywordSource::News) &&
            text::SameAsciiNoCase(meta->AttributeValue("name"), "news_keywords")) {
            page.news = Decoded(meta->AttributeValue("content"));
            page.found.Set(KeywordSource::News, true);
        } else if (tags && text::SameAsciiNoCase(meta->AttributeValue("property"), "article:tag")) {
            page.tags.push_back(Decoded(meta->AttributeValue("content")));
            page.found.Set(KeywordSource::Tags, true);
        }
    }
}

void ReadStructuredData(const html::THierarchyNode* root, PageDeclarations& page) {
    html::TTagNodeList scripts;
    html::FindAll(root, "script", scripts);
    std::size_t budget = kMaxStructuredDataPerPage;
    for (std::size_t i = 0; i < scripts.Count(); ++i) {
        const html::THierarchyNode* script = scripts.Items(i);
        if (!IsStructuredDataType(script->AttributeValue("type"))) continue;
        // The parser reads a script's content as text; a JSON-LD block is one text node.
        const std::string json = html::GetText(script);
        if (json.size() > budget) continue;
        budget -= json.size();
        auto keywords = StructuredDataKeywords(json);
        if (!keywords) continue;
        page.found.Set(KeywordSource::Data, true);
        for (std::string& k : *keywords) page.data.push_back(std::move(k));
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
    if (chosen.Has(KeywordSource::News) || chosen.Has(KeywordSource::Tags))
        ReadMetaElements(root, chosen, page);
    if (chosen.Has(KeywordSource::Data)) ReadStructuredData(root, page);
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
