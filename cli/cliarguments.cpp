#include "cli/cliarguments.h"

#include <algorithm>

#include "text/textcompare.h"

namespace kv::cli {

const char* const kUsage =
    "Usage:\n"
    "  kelvane-cli detect KEYWORD [--engines LIST] [--depth 10|20|30] [--folder DIR]\n"
    "                             [--pages WORD] [--format txt|csv|htm|rtf|xls] [--output FILE]\n"
    "  kelvane-cli theme KEYWORD [--engines LIST] [--folder DIR]\n"
    "                            [--pages WORD] [--format txt|csv|htm|rtf|xls] [--output FILE]\n"
    "  kelvane-cli keywords [--folder DIR]\n"
    "  kelvane-cli engines list|check|export|import ... (see below)\n"
    "\n"
    "LIST is a comma-separated list of engine names (default: every engine whose definition\n"
    "has a query address; `kelvane-cli engines list` shows them).\n"
    "\n"
    "Engine definitions:\n"
    "  kelvane-cli engines list [--folder DIR]\n"
    "  kelvane-cli engines check [NAME...] [--keyword K] [--show] [--folder DIR]\n"
    "  kelvane-cli engines export [FILE] [--folder DIR]\n"
    "  kelvane-cli engines import FILE [--folder DIR]\n";

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
        if (arg == "--folder") {
            a.folder = value();
        } else if (arg == "--engines" && keywordCommand) {
            a.engines = ParseEngines(value());
        } else if (arg == "--depth" && a.command == Command::Detect) {
            const std::string& d = value();
            if (d != "10" && d != "20" && d != "30") throw UsageError("the depth is 10, 20 or 30");
            a.depth = std::stoi(d);
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
            a.keyword = arg;
            haveKeyword = true;
        } else {
            throw UsageError("unexpected argument '" + arg + "'");
        }
    }
    if (a.command != Command::Keywords && !haveKeyword) throw UsageError("no keyword given");
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
