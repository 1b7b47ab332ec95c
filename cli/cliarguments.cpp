#include "cli/cliarguments.h"

#include <algorithm>

#include "cli/clistrings.h"
#include "detect/keywordrules.h"
#include "text/format.h"
#include "text/textcompare.h"

namespace kv::cli {

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
        if (name.empty()) throw UsageError(strings::kNoEngineGiven);
        engines.push_back(name);
        start = end + 1;
    }
    return engines;
}

}  // namespace

CliArguments ParseArguments(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError(strings::kNoCommand);
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
        throw UsageError(text::FormatText(strings::kUnknownCommand, command));
    }
    bool haveKeyword = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(text::FormatText(strings::kNeedsValue, arg));
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
            if (d != "10" && d != "20" && d != "30") throw UsageError(strings::kBadDepth);
            a.depth = std::stoi(d);
        } else if (arg == "--sources" && a.command == Command::Detect) {
            a.sources = detect::ParseKeywordSources(value());
            if (!a.sources) throw UsageError(text::FormatText(strings::kUnknownSources, args[i]));
        } else if (arg == "--keywords-file" && a.command == Command::Detect) {
            a.keywordsFile = value();
        } else if (arg == "--skip-cached" && a.command == Command::Detect) {
            a.skipCached = true;
        } else if (arg == "--pages" && keywordCommand) {
            a.pagesOf = value();
        } else if (arg == "--format" && keywordCommand) {
            a.format = data::ExportFormatFromExtension(value());
            if (!a.format) throw UsageError(text::FormatText(strings::kUnknownFormat, args[i]));
        } else if (arg == "--output" && keywordCommand) {
            a.output = value();
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            throw UsageError(text::FormatText(strings::kUnknownOption, arg));
        } else if (keywordCommand && !haveKeyword) {
            try {
                a.keyword = detect::CheckedKeyword(arg);
            } catch (const detect::KeywordError& e) {
                throw UsageError(e.what());
            }
            haveKeyword = true;
        } else {
            throw UsageError(text::FormatText(strings::kUnexpectedArgument, arg));
        }
    }
    if (a.keywordsFile) {
        if (haveKeyword) throw UsageError(strings::kKeywordsFileTakesNoKeyword);
        if (a.pagesOf || a.format || !a.output.empty())
            throw UsageError(strings::kSingleKeywordNeeded);
    } else if (a.command != Command::Keywords && !haveKeyword) {
        throw UsageError(strings::kNoKeyword);
    }
    if (a.skipCached && !a.keywordsFile) throw UsageError(strings::kSkipCachedNeedsList);
    if (!a.output.empty() && !a.format) {
        const std::size_t dot = a.output.rfind('.');
        if (dot != std::string::npos)
            a.format = data::ExportFormatFromExtension(a.output.substr(dot + 1));
        if (!a.format) throw UsageError(strings::kOutputNeedsFormat);
    }
    return a;
}

}  // namespace kv::cli
