// kelvane-cli: the detection run and the theme of cached keywords without a window.
#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/clicommands.h"
#include "cli/clistrings.h"
#include "cli/enginescommand.h"

namespace {

// A binary export on a terminal is noise and can leave the terminal in a strange state.
void RefuseBinaryToTerminal(const kv::cli::CliArguments& args) {
    if (args.format && kv::data::ExportFormatIsBinary(*args.format) && args.output.empty() &&
        isatty(STDOUT_FILENO) != 0)
        throw kv::cli::UsageError(kv::cli::strings::kBinaryToTerminal);
}

void PrintUsageError(const char* message) {
    std::fprintf(stderr, kv::cli::strings::kErrorLine, message);
    std::fprintf(stderr, "%s\n", kv::cli::strings::kTryHelp);
}

}  // namespace

int main(int argc, char** argv) {
    // First of all, so that Ctrl-C is the Stop command from the very start.
    kv::cli::InstallInterruptHandler();
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    // The version the about box shows, compiled in from the build.
    if (args.size() == 1 && args[0] == "--version") {
        std::printf(kv::cli::strings::kVersionLine, KELVANE_VERSION);
        return 0;
    }
    kv::cli::CliArguments parsed;
    try {
        if (!args.empty() && args[0] == "engines") {
            try {
                return kv::cli::RunEngines({args.begin() + 1, args.end()});
            } catch (const kv::cli::UsageError&) {
                throw;
            } catch (const std::exception& e) {
                std::fprintf(stderr, kv::cli::strings::kErrorLine, e.what());
                return kv::cli::kExitFailure;
            }
        }
        parsed = kv::cli::ParseArguments(args);
        RefuseBinaryToTerminal(parsed);
    } catch (const kv::cli::UsageError& e) {
        PrintUsageError(e.what());
        return kv::cli::kExitUsage;
    }
    try {
        switch (parsed.command) {
            case kv::cli::Command::Help:
                std::fputs(kv::cli::strings::kUsage, stdout);
                return kv::cli::kExitOk;
            case kv::cli::Command::Detect:
                return kv::cli::RunDetect(parsed);
            case kv::cli::Command::Theme:
                return kv::cli::RunTheme(parsed);
            case kv::cli::Command::Keywords:
                return kv::cli::RunKeywords(parsed);
        }
    } catch (const kv::cli::LoadFailureReported&) {
        return kv::cli::kExitFailure;
    } catch (const kv::cli::UsageError& e) {  // an engine name the definitions do not know
        PrintUsageError(e.what());
        return kv::cli::kExitUsage;
    } catch (const std::exception& e) {
        std::fprintf(stderr, kv::cli::strings::kErrorLine, e.what());
        return kv::cli::kExitFailure;
    }
    return kv::cli::kExitFailure;
}
