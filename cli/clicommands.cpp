#include "cli/clicommands.h"

#include <QTimer>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "cli/keywordlist.h"
#include "cli/progressline.h"
#include "cli/terminalwindow.h"
#include "data/export_tablerows.h"
#include "data/tables.h"
#include "detect/keywordaggregation.h"
#include "detect/programfolder.h"
#include "detect/session.h"
#include "http/httpunit.h"
#include "http/terminalauthdialog.h"

namespace kv::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) {
    g_interrupted = 1;
}

void PrintFrequencies(data::DataTables& tables) {
    auto& res = tables.KeywordResClientDataSet;
    std::string out = "Keyword\tCount\n";
    for (int i = 0; i < res.RecordCount(); ++i)
        out += res.CellText(i, 0) + "\t" + res.CellText(i, 1) + "\n";
    out += "Total:\t" + std::to_string(res.RecordCount()) + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// The per-page rows of one keyword; false when the theme has no such keyword.
bool SelectPagesOf(data::DataTables& tables, const std::string& word) {
    return tables.KeywordResClientDataSet.Locate("Keyword", word);
}

// One line per page: line breaks and tabs inside a page's keyword text become blanks.
std::string OneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return text;
}

void PrintPages(data::DataTables& tables) {
    auto& res2 = tables.KeywordRes2ClientDataSet;
    const int rank = res2.FieldIndex("Rank"), url = res2.FieldIndex("url"),
              keywords = res2.FieldIndex("Keywords");
    std::string out = "Rank\tWeb page\tMETA Keywords\n";
    for (int i = 0; i < res2.RecordCount(); ++i)
        out += res2.CellText(i, rank) + "\t" + OneLine(res2.CellText(i, url)) + "\t" +
               OneLine(res2.CellText(i, keywords)) + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// Prints the theme, or writes it in the chosen format to the output file (or stdout).
int Report(const CliArguments& args, data::DataTables& tables, const TerminalWindow& window) {
    if (args.pagesOf && !SelectPagesOf(tables, *args.pagesOf)) {
        std::fprintf(stderr, "The theme of '%s' has no keyword '%s'\n", args.keyword.c_str(),
                     args.pagesOf->c_str());
        tables.KeywordRes2ClientDataSet.RemoveMasterLink();
        tables.KeywordRes2ClientDataSet.EmptyTable();
    }
    if (!args.format) {
        args.pagesOf ? PrintPages(tables) : PrintFrequencies(tables);
        return kExitOk;
    }
    data::Table& table =
        args.pagesOf ? tables.KeywordRes2ClientDataSet : tables.KeywordResClientDataSet;
    const data::ExportGrid grid = args.pagesOf ? data::DesignedPagesGrid()
                                               : data::DesignedFrequencyGrid(window.CountFooter());
    const data::TableExportRows rows(table);
    if (args.output.empty()) {
        const std::string bytes = data::ExportGridBytes(*args.format, grid, rows);
        std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    } else {
        data::ExportGridToFile(*args.format, grid, rows, args.output);
    }
    return kExitOk;
}

}  // namespace

void InstallInterruptHandler() {
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
}

bool Interrupted() {
    return g_interrupted != 0;
}

namespace {

// How often the run looks for Ctrl-C between the requests' own turns.
constexpr int kInterruptPollMs = 50;

// One keyword's run: the theme stays for Report; the summary line goes to stderr.
detect::RunSummary DetectOne(detect::Session& session, const CliArguments& args,
                             const std::string& keyword) {
    const detect::RunSummary summary = session.Detect({keyword, args.engines, args.depth});
    std::fprintf(stderr, "%s\n", detect::SummaryLine(summary).c_str());
    return summary;
}

}  // namespace

int RunDetect(const CliArguments& args) {
    KeywordList list;
    if (args.keywordsFile) {
        try {
            list = ReadKeywordListFile(*args.keywordsFile);
        } catch (const UsageError& e) {
            std::fprintf(stderr, "kelvane-cli: %s\n", e.what());
            return kExitUsage;  // before any run, nothing to save
        }
        for (const std::string& problem : list.problems)
            std::fprintf(stderr, "kelvane-cli: %s: %s\n", args.keywordsFile->c_str(),
                         problem.c_str());
    }
    TerminalWindow window(args.engines);
    detect::Session session(detect::ResolveProgramFolder(args.folder), window);
    session.LoadFiles();
    http::TerminalAuthDialog dialog;
    session.OpenHttp(&dialog);
    QTimer interrupt;
    QObject::connect(&interrupt, &QTimer::timeout, [&session] {
        if (Interrupted()) session.Stop();
    });
    interrupt.start(kInterruptPollMs);
    window.SetReady(true);

    int code = kExitOk;
    std::vector<KeywordListRow> rows;
    const std::vector<std::string> keywords =
        args.keywordsFile ? list.keywords : std::vector<std::string>{args.keyword};
    for (const std::string& keyword : keywords) {
        if (Interrupted()) break;
        if (args.skipCached && session.HasCachedRows(keyword, args.engines)) {
            rows.push_back({keyword, true, {}});
            continue;
        }
        session.SelectKeyword(keyword, true);
        session.Aggregator().RefreshKeywordTables();
        try {
            rows.push_back({keyword, false, DetectOne(session, args, keyword)});
        } catch (const std::exception& e) {
            // The run ended early; what it stored is still saved, as at shutdown.
            std::fprintf(stderr, "kelvane-cli: %s\n", e.what());
            code = kExitFailure;
        }
        session.SaveFiles();  // after each keyword, so an interrupted list loses nothing
        if (code != kExitOk) break;
    }
    if (code == kExitOk) {
        if (args.keywordsFile) {
            const std::string table = KeywordListTable(rows);
            std::fwrite(table.data(), 1, table.size(), stdout);
        } else {
            code = Report(args, session.Tables(), window);
        }
    }
    return Interrupted() ? kExitInterrupted : code;
}

int RunTheme(const CliArguments& args) {
    TerminalWindow window(args.engines);
    detect::Session session(detect::ResolveProgramFolder(args.folder), window);
    session.LoadFiles();
    if (!session.SelectKeyword(args.keyword, false)) {
        std::fprintf(stderr, "The keyword '%s' is not in the keyword history\n",
                     args.keyword.c_str());
        return kExitFailure;
    }
    window.SetReady(true);
    session.Aggregator().RefreshKeywordTables();
    return Report(args, session.Tables(), window);
}

int RunKeywords(const CliArguments& args) {
    data::DataTables tables;
    tables.LoadFiles(detect::ResolveProgramFolder(args.folder));
    auto& history = tables.WordClientDataSet;
    std::string out;
    for (int i = 0; i < history.RecordCount(); ++i) out += history.CellText(i, 0) + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

}  // namespace kv::cli
