#include "cli/enginescommand.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "cli/cliarguments.h"
#include "cli/clicommands.h"
#include "cli/clistrings.h"
#include "data/datastrings.h"
#include "data/enginefields.h"
#include "data/replacementfile.h"
#include "data/tablefile.h"
#include "data/tables.h"
#include "detect/enginecheck.h"
#include "detect/enginedefinition.h"
#include "detect/enginesql.h"
#include "detect/programfolder.h"
#include "http/httpunit.h"
#include "http/terminalauthdialog.h"
#include "text/format.h"
#include "text/textcompare.h"

namespace kv::cli {

namespace {

struct EnginesArguments {
    std::string command;
    std::vector<std::string> words;  // names, or the file
    std::string keyword = detect::kDefaultCheckKeyword;
    bool show = false;
    std::string folder;
};

EnginesArguments Parse(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError(strings::kEnginesNoCommand);
    EnginesArguments a;
    a.command = args[0];
    if (a.command != "list" && a.command != "check" && a.command != "export" &&
        a.command != "import")
        throw UsageError(text::FormatText(strings::kEnginesUnknownCommand, a.command));
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(text::FormatText(strings::kNeedsValue, arg));
            return args[++i];
        };
        if (arg == "--folder") {
            a.folder = value();
        } else if (arg == "--keyword" && a.command == "check") {
            a.keyword = value();
        } else if (arg == "--show" && a.command == "check") {
            a.show = true;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            throw UsageError(text::FormatText(strings::kUnknownOption, arg));
        } else {
            a.words.push_back(arg);
        }
    }
    const std::size_t most = a.command == "check" ? args.size() : a.command == "list" ? 0 : 1;
    if (a.words.size() > most)
        throw UsageError(text::FormatText(strings::kUnexpectedArgument, a.words[most]));
    if (a.command == "import" && a.words.empty()) throw UsageError(strings::kImportNeedsFile);
    return a;
}

void Print(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

int List(data::Table& se) {
    std::string out;
    for (const auto& engine : detect::ReadEngineDefinitions(se))
        out += engine.name + "\t" + (engine.post ? "POST " : "GET ") +
               (engine.startUrl.empty() ? std::string(strings::kNoQueryAddress) : engine.startUrl) +
               "\n";
    Print(out);
    return kExitOk;
}

int Check(data::Table& se, const EnginesArguments& a, const std::string& folder) {
    std::vector<std::string> names = a.words;
    if (names.empty())
        for (const auto& engine : detect::ReadEngineDefinitions(se)) names.push_back(engine.name);
    names = ResolveEngines(se, names);
    http::HttpUnit http(folder);
    http::TerminalAuthDialog dialog;
    http.SetAuthDialog(&dialog);
    http.SetStopFlag([] { return Interrupted(); });
    bool allWork = true;
    for (const std::string& name : names) {
        if (Interrupted()) return kExitInterrupted;
        se.Locate(data::se_fields::SEName, name);
        const detect::EngineCheck check =
            detect::CheckEngine(http, detect::ReadEngineDefinition(se), a.keyword);
        allWork = allWork && check.reading.verdict == detect::Verdict::Works;
        Print(check.Line() + "\n" + (a.show ? detect::ShowFindings(check.reading) : ""));
    }
    return allWork ? kExitOk : kExitEnginesNotWorking;
}

int Export(data::Table& se, const EnginesArguments& a) {
    const std::string sql = detect::WriteEngineSql(se);
    if (a.words.empty() || a.words[0] == "-") {
        Print(sql);
        return kExitOk;
    }
    // Whole or not at all: a failed write leaves an earlier export as it was.
    data::ReplacementFile out(a.words[0]);
    if (!out.Valid() || !out.Write(sql) || !out.Commit())
        throw detect::EngineDefinitionError(
            text::FormatText(data::strings::kCannotCreateFile, a.words[0]));
    return kExitOk;
}

}  // namespace

std::vector<std::string> ResolveEngines(data::Table& se, const std::vector<std::string>& names) {
    const auto all = detect::ReadEngineDefinitions(se);
    std::vector<std::string> chosen;
    for (const auto& engine : all) {
        const bool named = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
            return text::SameAsciiNoCase(n, engine.name);
        });
        if (names.empty() ? !engine.startUrl.empty() : named) chosen.push_back(engine.name);
    }
    for (const std::string& name : names) {
        const bool known = std::any_of(all.begin(), all.end(), [&](const auto& engine) {
            return text::SameAsciiNoCase(name, engine.name);
        });
        if (!known) throw UsageError(text::FormatText(strings::kUnknownEngine, name));
    }
    return chosen;
}

int RunEngines(const std::vector<std::string>& args) {
    const EnginesArguments a = Parse(args);
    const detect::ProgramFolders folders = detect::OpenProgramFolders(a.folder);
    if (a.command == "import") {
        const std::string target = folders.UserEngineFile();
        // An installed program's first import starts the user's copy from the shipped
        // definitions, so the import adds to them rather than replacing them all.
        if (!std::filesystem::exists(target) && std::filesystem::exists(folders.EngineFile()))
            std::filesystem::copy_file(folders.EngineFile(), target);
        const auto names = detect::ImportEngineFile(a.words[0], target);
        std::string out;
        for (const auto& name : names) out += text::FormatText(strings::kImported, name) + "\n";
        Print(out);
        return kExitOk;
    }
    data::Table se("SE", data::EngineTableFields());
    data::LoadTableFile(se, folders.EngineFile());
    if (a.command == "list") return List(se);
    if (a.command == "export") return Export(se, a);
    return Check(se, a, folders.settings);
}

}  // namespace kv::cli
