#include "tools/demoengine/topic.h"

#include <algorithm>
#include <utility>

#include "tools/demoengine/textcodec.h"

namespace kv::demo {
namespace {

// A few related words so the theme shows more than the keyword's own words.
constexpr std::pair<std::string_view, std::string_view> kSynonyms[] = {
    {"shoes", "footwear|sneakers|boots"},
    {"shoe", "footwear|sneakers"},
    {"red", "crimson|scarlet"},
    {"blue", "navy|azure"},
    {"car", "auto|vehicles"},
    {"cars", "auto|vehicles"},
    {"seo", "search engine optimization|web promotion"},
    {"design", "web design|graphics"},
    {"music", "mp3|songs"},
    {"book", "novels|reading"},
    {"books", "novels|reading"},
    {"phone", "mobile|cell phone"},
    {"travel", "holidays|flights"},
    {"hotel", "accommodation|rooms"},
    {"coffee", "espresso|coffee beans"},
    {"garden", "plants|flowers"},
    {"laptop", "notebook|computers"},
    {"web", "internet|www"},
};

constexpr std::string_view kShopPhrases[] = {"buy %",  "cheap %",   "% online", "% sale",
                                             "best %", "% reviews", "% shop"};
constexpr std::string_view kGeneric[] = {"free shipping", "online shopping", "gift ideas",
                                         "new collection", "deals"};

struct Candidate {
    std::string text;
    int weight;
};

std::string Fill(std::string_view pattern, const std::string& phrase) {
    std::string out(pattern);
    const std::size_t at = out.find('%');
    if (at != std::string::npos) out.replace(at, 1, phrase);
    return out;
}

std::vector<Candidate> Candidates(const Topic& topic) {
    std::vector<Candidate> list;
    auto add = [&list](std::string text, int weight) {
        const bool known = std::any_of(list.begin(), list.end(),
                                       [&](const Candidate& c) { return c.text == text; });
        if (!known && !text.empty()) list.push_back({std::move(text), weight});
    };
    if (topic.words.size() > 1) {
        for (const std::string& word : topic.words) add(word, 6);
    }
    for (const std::string& word : topic.words) {
        for (const auto& [key, synonyms] : kSynonyms) {
            if (key != word) continue;
            std::string_view rest = synonyms;
            while (!rest.empty()) {
                const std::size_t bar = rest.find('|');
                add(std::string(rest.substr(0, bar)), 5);
                rest = bar == std::string_view::npos ? std::string_view() : rest.substr(bar + 1);
            }
        }
    }
    int weight = 4;
    for (std::string_view pattern : kShopPhrases) {
        add(Fill(pattern, topic.phrase), weight);
        weight = std::max(2, weight - 1);
    }
    add("discount " + topic.words.back(), 2);
    add(topic.words.back() + " store", 2);
    for (std::string_view generic : kGeneric) add(std::string(generic), 1);
    return list;
}

}  // namespace

std::string SlugOf(std::string_view keyword) {
    std::string slug;
    bool pendingDash = false;
    for (unsigned char c : keyword) {
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (alnum || c >= 0x80) {
            if (pendingDash && !slug.empty()) slug += '-';
            pendingDash = false;
            if (alnum) {
                slug += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            } else {
                slug += PercentEncode(std::string(1, static_cast<char>(c)), "");
            }
        } else {
            pendingDash = true;
        }
    }
    return slug.empty() ? "query" : slug;
}

Topic TopicOfSlug(std::string_view slug) {
    Topic topic;
    const std::string decoded = PercentDecode(slug);
    std::string_view rest = decoded;
    while (!rest.empty()) {
        const std::size_t dash = rest.find('-');
        const std::string_view word = rest.substr(0, dash);
        if (!word.empty()) topic.words.emplace_back(word);
        rest = dash == std::string_view::npos ? std::string_view() : rest.substr(dash + 1);
    }
    for (const std::string& word : topic.words) {
        if (!topic.phrase.empty()) topic.phrase += ' ';
        topic.phrase += word;
    }
    return topic;
}

std::vector<std::string> SiteKeywords(const Topic& topic, int site) {
    if (topic.words.empty()) return {};
    SeededRandom random(StableHash(topic.phrase) * 1000003ull + static_cast<unsigned>(site));
    std::vector<Candidate> pool = Candidates(topic);
    std::vector<std::string> chosen;
    // Nine sites of ten name the phrase itself, mostly first.
    if (random.Below(10) < 9) chosen.push_back(topic.phrase);
    const int wanted = 3 + random.Below(6);
    while (static_cast<int>(chosen.size()) < wanted + 1 && !pool.empty()) {
        int total = 0;
        for (const Candidate& c : pool) total += c.weight;
        int pick = random.Below(total);
        std::size_t i = 0;
        while (pick >= pool[i].weight) pick -= pool[i++].weight;
        chosen.push_back(pool[i].text);
        pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(i));
    }
    if (chosen.size() > 1 && random.Below(4) == 0) std::swap(chosen[0], chosen[1]);
    return chosen;
}

}  // namespace kv::demo
