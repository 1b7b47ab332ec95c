#include "cli/clicommands.h"

#include <csignal>
#include <cstdio>
#include <iostream>

#include "cli/enginescommand.h"
#include "cli/terminalwindow.h"
#include "data/export_tablerows.h"
#include "data/tables.h"
#include "detect/detectionrun.h"
#include "detect/keywordaggregation.h"
#include "detect/programfolder.h"
#include "http/httpunit.h"
#include "http/terminalauthdialog.h"

namespace kv::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int) {
    g_interrupted = 1;
}

// Makes the keyword the history's current row, adding it when asked; false when missing.
bool SelectKeyword(data::DataTables& tables, const std::string& keyword, bool add) {
    auto& history = tables.WordClientDataSet;
    const std::string word(history.FitText(history.FieldIndex("word"), keyword));
    if (history.Locate("word", word)) return true;
    if (!add) return false;
    history.Append();
    history.SetString("word", word);
    history.Post();
    return history.Locate("word", word);
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

int RunDetect(const CliArguments& args) {
    const std::string folder = detect::ResolveProgramFolder(args.folder);
    data::DataTables tables;
    tables.LoadFiles(folder);
    const auto engines = ResolveEngines(tables.SE_ClientDataSet, args.engines);
    SelectKeyword(tables, args.keyword, true);

    TerminalWindow window(engines, args.keyword, args.depth);
    detect::KeywordAggregator aggregator(tables, window);
    http::HttpUnit http(folder);
    http::TerminalAuthDialog dialog;
    http.SetAuthDialog(&dialog);
    detect::DetectionRun run(tables, aggregator, window, http);
    http.SetStopFlag([&run] {
        if (Interrupted()) run.StopActionExecute();
        return run.StopFlag();
    });
    window.SetReady(true);
    aggregator.RefreshKeywordTables();
    int code = kExitOk;
    try {
        run.FindActionExecute();
    } catch (const std::exception& e) {
        // The run ended early; what it stored is still saved, as at shutdown.
        std::fprintf(stderr, "kelvane-cli: %s\n", e.what());
        code = kExitFailure;
    }
    tables.SaveFiles(folder);
    if (code == kExitOk) code = Report(args, tables, window);
    return Interrupted() ? kExitInterrupted : code;
}

int RunTheme(const CliArguments& args) {
    const std::string folder = detect::ResolveProgramFolder(args.folder);
    data::DataTables tables;
    tables.LoadFiles(folder);
    const auto engines = ResolveEngines(tables.SE_ClientDataSet, args.engines);
    if (!SelectKeyword(tables, args.keyword, false)) {
        std::fprintf(stderr, "The keyword '%s' is not in the keyword history\n",
                     args.keyword.c_str());
        return kExitFailure;
    }
    TerminalWindow window(engines, args.keyword, 10);
    detect::KeywordAggregator aggregator(tables, window);
    window.SetReady(true);
    aggregator.RefreshKeywordTables();
    return Report(args, tables, window);
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
