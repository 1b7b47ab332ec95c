// Throughput of the pattern engine next to PCRE2's interpreter (no JIT) and std::regex, on
// the searches the program makes: result links over real pages, result entries over a result
// page repeated to a few MB, and the keywords META element over real pages. Every engine
// finds every match of a repeated search; the match counts are reported and must agree.
// Real pages are the HTML files of the Debian documentation under /usr/share/doc (or the
// folder in KELVANE_BENCH_PAGES), read at start-up; nothing of them is kept.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <benchmark/benchmark.h>
#include <pcre2.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "parseutils/regexpr.h"

namespace {

// Enough pages to be a page set, small enough to read quickly.
constexpr std::size_t kMaxPageSetBytes = 32u << 20;
constexpr std::size_t kResultPageBytes = 4u << 20;

std::vector<std::string> LoadRealPages() {
    const char* folder = std::getenv("KELVANE_BENCH_PAGES");
    const std::filesystem::path root = folder ? folder : "/usr/share/doc";
    std::vector<std::filesystem::path> paths;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(
             root, std::filesystem::directory_options::skip_permission_denied, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) break;
        const auto ext = it->path().extension();
        if ((ext == ".html" || ext == ".htm") && it->is_regular_file(ec))
            paths.push_back(it->path());
    }
    std::sort(paths.begin(), paths.end());
    std::vector<std::string> pages;
    std::size_t total = 0;
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream body;
        body << in.rdbuf();
        if (body.str().empty()) continue;
        total += body.str().size();
        pages.push_back(body.str());
        if (total >= kMaxPageSetBytes) break;
    }
    return pages;
}

std::string MakeResultPage() {
    const std::string entry =
        "<li class=\"result\"><h3><a href=\"http://www.example.com/path/page.html?id=42\">A "
        "result title about the keyword</a></h3>\n<div class=\"snippet\">Some text of the "
        "result with <b>keyword</b> highlighted, and more words that describe the page in "
        "two lines.</div>\n<cite>www.example.com/path/page.html</cite></li>\n"
        "<li class=\"ad\">Sponsored: <a href=\"http://ads.example.net/\">buy</a></li>\n";
    std::string page = "<html><head><title>keyword - Search</title></head><body><ol>\n";
    while (page.size() < kResultPageBytes) page += entry;
    return page + "</ol></body></html>\n";
}

const std::vector<std::string>& RealPages() {
    static const std::vector<std::string> pages = LoadRealPages();
    return pages;
}
const std::vector<std::string>& ResultPage() {
    static const std::vector<std::string> page{MakeResultPage()};
    return page;
}

struct Workload {
    const char* name;
    const char* pattern;     // dialect and PCRE2 (both take "(?i)")
    const char* stdPattern;  // ECMAScript: no inline modifiers, "." stops at line breaks
    bool icase;
    const std::vector<std::string>& (*texts)();
};

const Workload kWorkloads[] = {
    {"links/real_pages", "<a href=\"([^\"]+)\"", "<a href=\"([^\"]+)\"", false, &RealPages},
    {"result_entries/result_page", "<li class=\"result\">(.*?)</li>",
     "<li class=\"result\">([\\s\\S]*?)</li>", false, &ResultPage},
    {"meta_keywords/real_pages", "(?i)<meta[^>]*name=\"?keywords\"?[^>]*>",
     "<meta[^>]*name=\"?keywords\"?[^>]*>", true, &RealPages},
};

std::size_t Bytes(const std::vector<std::string>& texts) {
    std::size_t total = 0;
    for (const auto& t : texts) total += t.size();
    return total;
}

void Report(benchmark::State& state, const std::vector<std::string>& texts, long matches) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Bytes(texts)));
    state.counters["matches"] = static_cast<double>(matches);
    state.counters["pages"] = static_cast<double>(texts.size());
}

void RunOurs(benchmark::State& state, const Workload& w) {
    const auto& texts = w.texts();
    kv::TRegExpr re;
    re.SetExpression(w.pattern);
    long matches = 0;
    for (auto _ : state) {
        matches = 0;
        for (const auto& text : texts)
            for (bool found = re.Exec(text); found; found = re.ExecNext()) ++matches;
    }
    Report(state, texts, matches);
}

void RunPcre2(benchmark::State& state, const Workload& w) {
    const auto& texts = w.texts();
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(w.pattern), PCRE2_ZERO_TERMINATED,
                                     PCRE2_DOTALL, &error, &offset, nullptr);
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    long matches = 0;
    for (auto _ : state) {
        matches = 0;
        for (const auto& text : texts) {
            PCRE2_SIZE start = 0;
            while (start <= text.size()) {
                const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()),
                                           text.size(), start, 0, data, nullptr);
                if (rc < 0) break;
                ++matches;
                const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
                start = ov[1] + (ov[0] == ov[1] ? 1 : 0);
            }
        }
    }
    pcre2_match_data_free(data);
    pcre2_code_free(code);
    Report(state, texts, matches);
}

void RunStdRegex(benchmark::State& state, const Workload& w) {
    const auto& texts = w.texts();
    auto flags = std::regex::ECMAScript | std::regex::optimize;
    if (w.icase) flags |= std::regex::icase;
    const std::regex re(w.stdPattern, flags);
    long matches = 0;
    for (auto _ : state) {
        matches = 0;
        for (const auto& text : texts)
            for (std::sregex_iterator it(text.begin(), text.end(), re), end; it != end; ++it)
                ++matches;
    }
    Report(state, texts, matches);
}

}  // namespace

int main(int argc, char** argv) {
    const auto& pages = RealPages();
    std::printf("real pages: %zu HTML files, %zu bytes%s\n", pages.size(), Bytes(pages),
                pages.size() < 50 ? " (few pages: figures are less representative)" : "");
    for (const Workload& w : kWorkloads) {
        benchmark::RegisterBenchmark((std::string(w.name) + "/TRegExpr").c_str(), RunOurs, w);
        benchmark::RegisterBenchmark((std::string(w.name) + "/PCRE2_interp").c_str(), RunPcre2, w);
        benchmark::RegisterBenchmark((std::string(w.name) + "/std_regex").c_str(), RunStdRegex, w);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
