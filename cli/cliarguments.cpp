#include "cli/cliarguments.h"

#include <algorithm>

#include "detect/keywordrules.h"
#include "text/textcompare.h"

namespace kv::cli {

const char* const kUsage =
    "Usage:\n"
    "  kelvane-cli detect KEYWORD [--engines LIST] [--depth 10|20|30] [--folder DIR]\n"
    "                             [--sources meta,news,tags,data]\n"
    "                             [--pages WORD] [--format txt|csv|htm|rtf|xls] [--output FILE]\n"
    "  kelvane-cli theme KEYWORD [--engines LIST] [--folder DIR]\n"
    "                            [--pages WORD] [--format txt|csv|htm|rtf|xls] [--output FILE]\n"
    "  kelvane-cli detect --keywords-file FILE|- [--skip-cached] [--engines LIST]\n"
    "                             [--depth 10|20|30] [--folder DIR]\n"
    "  kelvane-cli keywords [--folder DIR]\n"
    "  kelvane-cli engines list|check|export|import ... (see below)\n"
    "  kelvane-cli --help | -h | help\n"
    "\n"
    "detect asks the engines for KEYWORD, fetches every result page, saves Word.cds and\n"
    "SECache.cds and prints the theme; theme prints it from the cache without network access;\n"
    "keywords lists the keyword history.\n"
    "\n"
    "Options:\n"
    "  --engines LIST  comma-separated engine names (default: every engine whose definition\n"
    "                  has a query address; kelvane-cli engines list shows them)\n"
    "  --depth N       results to scan per engine: 10 (default), 20 or 30\n"
    "  --folder DIR    the program folder (default: $KELVANE_HOME, else the program's folder)\n"
    "  --pages WORD    the pages that declare WORD instead of the theme\n"
    "  --format F      txt, csv, htm, rtf or xls (xls is never written to a terminal)\n"
    "  --output FILE   write to FILE instead of stdout (the format follows its extension)\n"
    "  --keywords-file FILE  detect each keyword of FILE (one a line, # comments; - is stdin)\n"
    "  --skip-cached   with --keywords-file: skip keywords cached for every chosen engine\n"
    "  --sources LIST  where pages declare keywords (default: the setting, else all four):\n"
    "                  meta (META keywords), news (news keywords), tags (article tags),\n"
    "                  data (structured data)\n"
    "\n"
    "KEYWORD: one line of at most 100 characters; leading and trailing blanks are dropped.\n"
    "Settings: set.ini in the program folder (section [inet]: time-out, retries, User-Agent,\n"
    "proxy, ConnectType 1 direct, 2 given proxy, 3 system proxy from http_proxy and no_proxy).\n"
    "\n"
    "Engine definitions:\n"
    "  kelvane-cli engines list [--folder DIR]\n"
    "  kelvane-cli engines check [NAME...] [--keyword K] [--show] [--folder DIR]\n"
    "                  (exit 3 when some engine does not work)\n"
    "  kelvane-cli engines export [FILE] [--folder DIR]\n"
    "  kelvane-cli engines import FILE [--folder DIR]\n"
    "\n"
    "Exit codes:\n"
    "  0    done (also when some pages failed: they are listed on stderr)\n"
    "  1    failure to start (missing or damaged file, read-only program folder, ...)\n"
    "  2    usage error\n"
    "  4    detect stored not a single page (every engine failed or gave nothing)\n"
    "  130  interrupted by Ctrl-C; 143 by SIGTERM, 129 by SIGHUP (what was stored is saved)\n";

namespace {

// The names as given; the commands check them against the engine definitions.
std::vector<std::string> ParseEngines(const std::string& list) {
    std::vector<std::string> engines;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        std::string name = list.substr(start, end - start);
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
        if (name.empty()) throw UsageError("no engine given");
        engines.push_back(name);
        start = end + 1;
    }
    return engines;
}

}  // namespace

CliArguments ParseArguments(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError("no command given");
    CliArguments a;
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "help") {
        a.command = Command::Help;
        return a;
    }
    if (command == "detect") {
        a.command = Command::Detect;
    } else if (command == "theme") {
        a.command = Command::Theme;
    } else if (command == "keywords") {
        a.command = Command::Keywords;
    } else {
        throw UsageError("unknown command '" + command + "'");
    }
    bool haveKeyword = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        const bool keywordCommand = a.command != Command::Keywords;
        if (arg == "--help" || arg == "-h") {
            a.command = Command::Help;
            return a;
        }
        if (arg == "--folder") {
            a.folder = value();
        } else if (arg == "--engines" && keywordCommand) {
            a.engines = ParseEngines(value());
        } else if (arg == "--depth" && a.command == Command::Detect) {
            const std::string& d = value();
            if (d != "10" && d != "20" && d != "30") throw UsageError("the depth is 10, 20 or 30");
            a.depth = std::stoi(d);
        } else if (arg == "--sources" && a.command == Command::Detect) {
            a.sources = detect::ParseKeywordSources(value());
            if (!a.sources) throw UsageError("unknown keyword sources '" + args[i] + "'");
        } else if (arg == "--keywords-file" && a.command == Command::Detect) {
            a.keywordsFile = value();
        } else if (arg == "--skip-cached" && a.command == Command::Detect) {
            a.skipCached = true;
        } else if (arg == "--pages" && keywordCommand) {
            a.pagesOf = value();
        } else if (arg == "--format" && keywordCommand) {
            a.format = data::ExportFormatFromExtension(value());
            if (!a.format) throw UsageError("unknown format '" + args[i] + "'");
        } else if (arg == "--output" && keywordCommand) {
            a.output = value();
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            throw UsageError("unknown option '" + arg + "'");
        } else if (keywordCommand && !haveKeyword) {
            try {
                a.keyword = detect::CheckedKeyword(arg);
            } catch (const detect::KeywordError& e) {
                throw UsageError(e.what());
            }
            haveKeyword = true;
        } else {
            throw UsageError("unexpected argument '" + arg + "'");
        }
    }
    if (a.keywordsFile) {
        if (haveKeyword) throw UsageError("--keywords-file takes no KEYWORD");
        if (a.pagesOf || a.format || !a.output.empty())
            throw UsageError("--pages, --format and --output need a single KEYWORD");
    } else if (a.command != Command::Keywords && !haveKeyword) {
        throw UsageError("no keyword given");
    }
    if (a.skipCached && !a.keywordsFile) throw UsageError("--skip-cached needs --keywords-file");
    if (!a.output.empty() && !a.format) {
        const std::size_t dot = a.output.rfind('.');
        if (dot != std::string::npos)
            a.format = data::ExportFormatFromExtension(a.output.substr(dot + 1));
        if (!a.format)
            throw UsageError("--output needs --format (or a .txt, .csv, .htm, .rtf or .xls name)");
    }
    return a;
}

}  // namespace kv::cli
