#include "cli/clicommands.h"

#include <QTimer>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "cli/clistrings.h"
#include "cli/enginescommand.h"
#include "cli/keywordlist.h"
#include "cli/progressline.h"
#include "cli/terminalwindow.h"
#include "data/datastrings.h"
#include "data/export_tablerows.h"
#include "data/folderaccess.h"
#include "data/folderlock.h"
#include "data/tablefields.h"
#include "data/tablefile.h"
#include "data/tables.h"
#include "detect/keywordaggregation.h"
#include "detect/keywordrules.h"
#include "detect/programfolder.h"
#include "detect/session.h"
#include "http/httpunit.h"
#include "http/terminalauthdialog.h"
#include "text/format.h"
#include "text/terminaltext.h"

namespace kv::cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void OnInterrupt(int signal) {
    g_interrupted = signal;
}

// Loads the tables; a damaged history or cache is reported with what to do about it.
void LoadTables(data::DataTables& tables, const detect::ProgramFolders& folders) {
    try {
        tables.LoadFiles(folders.data, folders.EngineFile());
    } catch (const std::exception& e) {
        ReportLoadFailure(e.what(), tables.FailedFile());
        throw LoadFailureReported();
    }
}

void PrintFrequencies(data::DataTables& tables) {
    auto& res = tables.KeywordResClientDataSet;
    std::string out =
        std::string(data::strings::kKeywordCaption) + "\t" + data::strings::kCountCaption + "\n";
    for (int i = 0; i < res.RecordCount(); ++i)
        out += text::EscapeForTerminal(res.CellText(i, 0)) + "\t" + res.CellText(i, 1) + "\n";
    out += std::string(data::strings::kTotal) + "\t" + std::to_string(res.RecordCount()) + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// The per-page rows of one keyword; false when the theme has no such keyword.
bool SelectPagesOf(data::DataTables& tables, const std::string& word) {
    return tables.KeywordResClientDataSet.Locate(data::keywordres_fields::Keyword, word);
}

// One line per page: line breaks and tabs inside a page's keyword text become blanks, other
// control characters are shown escaped.
std::string OneLine(std::string line) {
    for (char& c : line)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return text::EscapeForTerminal(line);
}

void PrintPages(data::DataTables& tables) {
    auto& res2 = tables.KeywordRes2ClientDataSet;
    namespace f = data::keywordres2_fields;
    const int rank = res2.FieldIndex(f::Rank), url = res2.FieldIndex(f::Url),
              keywords = res2.FieldIndex(f::Keywords), sources = res2.FieldIndex(f::Sources);
    std::string out = std::string(data::strings::kRankCaption) + "\t" +
                      data::strings::kWebPageCaption + "\t" + data::strings::kMetaKeywordsCaption +
                      "\t" + data::strings::kSourcesCaption + "\n";
    for (int i = 0; i < res2.RecordCount(); ++i)
        out += res2.CellText(i, rank) + "\t" + OneLine(res2.CellText(i, url)) + "\t" +
               OneLine(res2.CellText(i, keywords)) + "\t" + res2.CellText(i, sources) + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// Prints the theme, or writes it in the chosen format to the output file (or stdout).
int Report(const CliArguments& args, data::DataTables& tables, const TerminalWindow& window) {
    if (args.pagesOf && !SelectPagesOf(tables, *args.pagesOf)) {
        std::fprintf(
            stderr, "%s\n",
            text::FormatText(strings::kNoSuchThemeKeyword, {args.keyword, *args.pagesOf}).c_str());
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
    // A logout (SIGHUP) or a kill (SIGTERM) stops the run as Ctrl-C does: what was stored is
    // saved and the theme printed.
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &sa, nullptr);
}

bool Interrupted() {
    return g_interrupted != 0;
}

int InterruptedExitCode() {
    return 128 + static_cast<int>(g_interrupted);
}

void ReportLoadFailure(const std::string& message, const std::string& failedFile) {
    std::fprintf(stderr, strings::kErrorLine, message.c_str());
    const std::filesystem::path failed(failedFile);
    const bool setAside =
        (failed.filename() == data::kHistoryFile || failed.filename() == data::kCacheFile) &&
        std::filesystem::exists(failed);
    if (setAside)
        std::fprintf(
            stderr, strings::kErrorLine,
            text::FormatText(strings::kSetDamagedFileAside, {failedFile, failedFile}).c_str());
}

namespace {

// How often the run looks for Ctrl-C between the requests' own turns.
constexpr int kInterruptPollMs = 50;

// One keyword's run: the theme stays for Report; the summary line goes to stderr.
detect::RunSummary DetectOne(detect::Session& session, const CliArguments& args,
                             const std::vector<std::string>& engines, const std::string& keyword) {
    const detect::RunSummary summary = session.Detect({keyword, engines, args.depth});
    std::fprintf(stderr, "%s\n", detect::SummaryLine(summary).c_str());
    return summary;
}

// Not a single page stored by the keywords that were run (skipped ones do not count).
bool NothingStored(const std::vector<KeywordListRow>& rows) {
    bool ran = false;
    for (const KeywordListRow& row : rows) {
        if (row.skipped) continue;
        ran = true;
        if (row.summary.pagesStored > 0) return false;
    }
    return ran;
}

}  // namespace

int RunDetect(const CliArguments& args) {
    KeywordList list;
    if (args.keywordsFile) {
        try {
            list = ReadKeywordListFile(*args.keywordsFile);
        } catch (const UsageError& e) {
            std::fprintf(stderr, strings::kErrorLine, e.what());
            return kExitUsage;  // before any run, nothing to save
        }
        for (const std::string& problem : list.problems)
            std::fprintf(stderr, strings::kErrorLineAt, args.keywordsFile->c_str(),
                         problem.c_str());
    }
    const detect::ProgramFolders folders = detect::OpenProgramFolders(args.folder);
    // Found before any request: a run whose results cannot be saved is work lost.
    if (!data::FolderIsWritable(folders.data)) {
        std::fprintf(stderr, strings::kErrorLine,
                     text::FormatText(strings::kFolderNotWritable, folders.data).c_str());
        return kExitFailure;
    }
    const data::FolderLock folderLock(folders.data);  // held from the load to the save
    if (folderLock.Busy()) {
        std::fprintf(stderr, strings::kErrorLine,
                     text::FormatText(data::strings::kFolderBusy, folders.data).c_str());
        return kExitFailure;
    }
    TerminalWindow window(args.engines);
    window.SetKeywordSources(args.sources ? *args.sources
                                          : detect::ReadKeywordSourcesSetting(folders.settings));
    detect::Session session(folders, window);
    LoadTables(session.Tables(), folders);
    const std::vector<std::string> engines =
        ResolveEngines(session.Tables().SE_ClientDataSet, args.engines);
    window.SetEngines(engines);
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
    for (const std::string& line : keywords) {
        if (Interrupted()) break;
        std::string keyword;
        try {
            keyword = detect::CheckedKeyword(line);
        } catch (const detect::KeywordError& e) {
            std::fprintf(stderr, strings::kErrorLineAt, line.c_str(), e.what());
            continue;
        }
        if (args.skipCached && session.HasCachedRows(keyword, engines)) {
            rows.push_back({keyword, true, {}});
            continue;
        }
        session.SelectKeyword(keyword, true);
        session.Aggregator().RefreshKeywordTables();
        try {
            rows.push_back({keyword, false, DetectOne(session, args, engines, keyword)});
        } catch (const std::exception& e) {
            // The run ended early; what it stored is still saved, as at shutdown.
            std::fprintf(stderr, strings::kErrorLine, text::EscapeForTerminal(e.what()).c_str());
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
    if (Interrupted()) return InterruptedExitCode();
    if (code == kExitOk && NothingStored(rows)) {
        std::fprintf(stderr, strings::kErrorLine, strings::kNothingStored);
        return kExitNothingStored;
    }
    return code;
}

int RunTheme(const CliArguments& args) {
    const detect::ProgramFolders folders = detect::OpenProgramFolders(args.folder);
    TerminalWindow window(args.engines);
    detect::Session session(folders, window);
    LoadTables(session.Tables(), folders);
    window.SetEngines(ResolveEngines(session.Tables().SE_ClientDataSet, args.engines));
    if (!session.SelectKeyword(args.keyword, false)) {
        std::fprintf(stderr, "%s\n",
                     text::FormatText(strings::kNotInHistory, args.keyword).c_str());
        return kExitFailure;
    }
    window.SetReady(true);
    session.Aggregator().RefreshKeywordTables();
    return Report(args, session.Tables(), window);
}

int RunKeywords(const CliArguments& args) {
    const detect::ProgramFolders folders = detect::OpenProgramFolders(args.folder);
    data::DataTables tables;
    // The history alone: listing it needs no engine definitions.
    const std::string history = (std::filesystem::path(folders.data) / data::kHistoryFile).string();
    if (std::filesystem::exists(history)) {
        try {
            data::LoadTableFile(tables.WordClientDataSet, history);
        } catch (const std::exception& e) {
            ReportLoadFailure(e.what(), history);
            throw LoadFailureReported();
        }
    }
    auto& words = tables.WordClientDataSet;
    std::string out;
    for (int i = 0; i < words.RecordCount(); ++i) out += words.CellText(i, 0) + "\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return kExitOk;
}

}  // namespace kv::cli
